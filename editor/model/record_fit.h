// What an ID3v1 record can hold of a row's values: texts of ISO-8859-1
// characters up to their field's width, a year of 1 to 9999, a track of 1 to
// 255 without a total, a genre of the genre table; and what is stored instead
// when the user asks for it. Also the texts of the checks a save makes before
// it writes.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "editor/model/bulk_logic.h"
#include "editor/model/code_page.h"

namespace record_fit {

// True when the record holds the column's text exactly as shown; with a
// legacy code page its texts are that page's bytes up to the field's width.
bool Fits(bulk::Column column, const QString& text);
bool Fits(bulk::Column column, const QString& text, const code_page::TCodePage& page);
// The characters of the text that a record can hold, as ISO-8859-1 bytes; the
// others are left out.
std::string Latin1Part(const QString& text);
// The track of the "track/total" form that ID3v2 tags use ("2/8" gives 2);
// none for any other text.
std::optional<int> TrackOfTotal(const QString& text);

// What a record stores of a text it cannot hold, shown before it is written:
// characters beyond ISO-8859-1 transliterated to Latin letters (the others
// stay), what has no Latin form left out, the rest cut to the field's width;
// a genre that still names no genre of the table gives none; a track with a
// total gives the track alone.
QString Transliterated(bulk::Column column, const QString& text);
// The same for a record written in that code page: the characters it cannot
// hold are transliterated, and the text is cut to the field's width in bytes.
QString Transliterated(bulk::Column column, const QString& text, const code_page::TCodePage& page);

// The column's name in messages: "Title", "Year"...
QString ColumnName(bulk::Column column);
// The question before an ID3v1 save that meets values a record cannot hold;
// each line names a file and its fields.
QString UnstorableQuestion(const QStringList& lines);
// The refusal of a save that meets a year or track outside its range; each
// line names a row, its file and the value.
QString OutOfRangeMessage(const QStringList& lines);

}  // namespace record_fit
