// The pattern language that turns file names into tag fields and tag fields
// into file names: "%{track:2} - %{artist} - %{title}", with folder parts
// ("%{artist}/%{album}/%{track} - %{title}") read from a file's folder names.
#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace naming {

// The seven fields, %{ignore}, and the added columns by their keys
// (frames::StandardColumns): %{albumartist}, %{disc}, %{composer}...
enum class Field {
    Artist,
    Title,
    Album,
    Year,
    Track,
    Genre,
    Comment,
    Ignore,
    AlbumArtist,
    Disc,
    Composer,
    Bpm,
    OriginalYear,
    Grouping,
    Subtitle,
    Lyricist,
    Conductor,
    Publisher,
    Copyright,
    EncodedBy,
};

// Which way a pattern is used: file name to fields, or fields to file name.
enum class Direction { Parse, Format };

// The fields a dialog lists, with the text that writes each ("%{artist}").
// %{ignore} is listed only for parsing; the added columns' fields only with
// `added`, for a page whose rows give their values.
struct FieldHelp {
    Field field;
    QString token;
};
std::vector<FieldHelp> FieldList(Direction direction, bool added = false);
// The key of the added column a field stands for ("albumartist"), or ""
// for the seven fields and %{ignore}.
std::string AddedColumnKey(Field field);

// One piece of a pattern part: a field (with its zero-padded width, 0 for
// none) or literal text.
struct Piece {
    bool isField = false;
    Field field = Field::Ignore;
    int width = 0;
    QString literal;
};

// A compiled pattern: its parts between "/", the last one being the file name
// without ".mp3", the ones before it the nearest folder names.
struct Pattern {
    std::vector<std::vector<Piece>> parts;
};

// A pattern, or the reason the text is not one. Refused are: an empty
// pattern or part, "%{" without "}", a field name outside the list, a width
// that is not 1 to 9 or is on a field other than track and disc. For parsing also two
// fields with no literal text between them (where the first ends would be a
// guess) and a field other than %{ignore} given twice (the two could
// disagree). For formatting also %{ignore} and "/": a rename never moves a
// file to another folder. A "%" not followed by "{" is literal text.
struct Compiled {
    std::optional<Pattern> pattern;
    QString error;
};
Compiled Compile(const QString& text, Direction direction);

// Field values by field; a field the pattern does not hold is absent.
using Values = std::map<Field, QString>;

// The values a parse pattern gives for a file (its name, ".mp3" included or
// not) in the given folders (outermost first, the file's own folder last), or
// nothing when the name does not match. Each field takes at least one
// character, as few as let the rest match; values lose the blanks around
// them; a track, disc, year, original year or BPM must be digits (a track's
// and disc's leading zeros dropped).
// A width changes nothing here.
std::optional<Values> Match(const Pattern& pattern, const QString& fileName,
                            const QStringList& folders = {});

// The file name, without ".mp3", that a format pattern makes of a row's values.
// A missing value gives empty text; a track or disc gives its number without
// any "/total", padded with zeros to the width when it has one.
QString Format(const Pattern& pattern, const Values& values);

}  // namespace naming
