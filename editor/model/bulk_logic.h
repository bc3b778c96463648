// The rules behind the bulk editing commands, kept free of widgets so they can
// be tested alone: trimming, which rows the Shift variant touches, track numbers.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bulk {

// The columns that the seven column boxes fill and clear.
enum class Column { Title, Artist, Album, Year, Comment, Track, Genre };

// Besides an empty text, the text that counts as "nothing" in a column (a
// year of -1, a track of 0, as once shown): with Shift, the fill action sets
// only rows whose trimmed text is empty or equals it. Clearing leaves a column
// empty, since a number shown there would look stored.
QString EmptyText(Column column);

// The text without leading and trailing blanks and control characters.
QString Trimmed(const QString& text);
// The text without the leading and trailing characters that `trimmable` picks.
QString TrimmedWhere(const QString& text, bool (*trimmable)(QChar));

// Whether the fill action sets a row that shows `text`: with Shift, only a row
// whose trimmed text is empty or the column's empty text.
bool FillTakesRow(Column column, const QString& text, bool shift);

// The genre a genre text names: a reference such as "(17)", "(17)Rock" or "17"
// stands for the name of its number; any other text for itself.
QString GenreKey(const QString& genre);

// Whether the clear action clears a row that shows `text`; `top` is the top
// row's exact text, compared with the row's trimmed text. Genres are equal when
// they name the same genre: "(17)", "(17)Rock", "17" and "Rock" are one.
bool ClearTakesRow(Column column, const QString& text, const QString& top, bool shift);

// A text that had to be a whole number and is not; the message names the text.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(const QString& text);
};

// The text read as a whole number the way a spin field reads its value, but
// throwing ConversionError where the field would fall back to its minimum.
int WholeNumber(const QString& text);

// The track number given to the row numbered `offset` places after the first
// numbered row; a top of the "n/total" form numbers from n and keeps "/total".
// Throws ConversionError when `top` is no whole number with or without a total.
QString TrackNumber(const QString& top, int offset);

// The texts the fill action gives the rows that show `texts` (the top row
// first); a row it leaves gets none. Throws ConversionError, before any row
// is given a text, when the track column's top is no track number.
std::vector<std::optional<QString>> FillColumn(Column column, const QStringList& texts, bool shift);

// A file or folder name as text: its bytes decoded as UTF-8, with U+FFFD for
// bytes that are not; `whole` tells whether every byte decoded.
QString DecodedName(const std::string& bytes, bool& whole);

// The title that Names gives a file: its name without the last four
// characters (the ".mp3" of the listed files); empty for shorter names.
QString TitleFromFileName(const QString& fileName);

}  // namespace bulk
