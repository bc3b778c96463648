// What an ID3v1 record can hold of a row's values: texts of ISO-8859-1
// characters up to their field's width, a year of -1 to 9999, a track of -1 to
// 255, a genre of the genre table.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "editor/bulk_logic.h"

namespace record_fit {

// True when the record holds the column's text exactly as shown.
bool Fits(bulk::Column column, const QString& text);
// The characters of the text that a record can hold, as ISO-8859-1 bytes; the
// others are left out.
std::string Latin1Part(const QString& text);
// The track of the "track/total" form that ID3v2 tags use ("2/8" gives 2);
// none for any other text.
std::optional<int> TrackOfTotal(const QString& text);

}  // namespace record_fit
