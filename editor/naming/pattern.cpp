// Compiling, matching and formatting of name patterns.
#include "editor/naming/pattern.h"

#include <algorithm>
#include <array>

namespace naming {
namespace {

struct FieldName {
    Field field;
    const char* name;
};
constexpr std::array<FieldName, 20> kFieldNames{{
    {Field::Artist, "artist"},
    {Field::Title, "title"},
    {Field::Album, "album"},
    {Field::Year, "year"},
    {Field::Track, "track"},
    {Field::Genre, "genre"},
    {Field::Comment, "comment"},
    {Field::Ignore, "ignore"},
    // The added columns, named by their keys.
    {Field::AlbumArtist, "albumartist"},
    {Field::Disc, "disc"},
    {Field::Composer, "composer"},
    {Field::Bpm, "bpm"},
    {Field::OriginalYear, "originalyear"},
    {Field::Grouping, "grouping"},
    {Field::Subtitle, "subtitle"},
    {Field::Lyricist, "lyricist"},
    {Field::Conductor, "conductor"},
    {Field::Publisher, "publisher"},
    {Field::Copyright, "copyright"},
    {Field::EncodedBy, "encodedby"},
}};

bool IsAdded(Field field) {
    return field > Field::Ignore;
}

// A number of the file's position in a set, written without its total.
bool IsPosition(Field field) {
    return field == Field::Track || field == Field::Disc;
}

bool IsNumber(Field field) {
    return IsPosition(field) || field == Field::Year || field == Field::OriginalYear ||
           field == Field::Bpm;
}

std::optional<Field> FieldNamed(const QString& name) {
    for (const FieldName& known : kFieldNames) {
        if (name == QLatin1String(known.name)) {
            return known.field;
        }
    }
    return std::nullopt;
}

bool AllDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

// Reads the field of "%{name}" or "%{name:width}" (the text between the braces).
std::optional<Piece> FieldPiece(const QString& inside, QString& error) {
    const qsizetype colon = inside.indexOf(':');
    const QString name = colon < 0 ? inside : inside.left(colon);
    const std::optional<Field> field = FieldNamed(name);
    if (!field) {
        error = QStringLiteral("Unknown field \"%1\".").arg(name);
        return std::nullopt;
    }
    Piece piece;
    piece.isField = true;
    piece.field = *field;
    if (colon >= 0) {
        const QString width = inside.mid(colon + 1);
        if (!IsPosition(*field)) {
            error = QStringLiteral("Only %{track} and %{disc} take a width.");
            return std::nullopt;
        }
        if (width.size() != 1 || !AllDigits(width) || width == QLatin1String("0")) {
            error = QStringLiteral("The width of %{%1} must be 1 to 9.").arg(name);
            return std::nullopt;
        }
        piece.width = width.toInt();
    }
    return piece;
}

// The pieces of one part (text without "/"); false with `error` on a fault.
bool ReadPart(const QString& text, std::vector<Piece>& pieces, QString& error) {
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(QLatin1String("%{"), at);
        const qsizetype literalEnd = open < 0 ? text.size() : open;
        if (literalEnd > at) {
            Piece literal;
            literal.literal = text.mid(at, literalEnd - at);
            pieces.push_back(literal);
        }
        if (open < 0) {
            break;
        }
        const qsizetype close = text.indexOf('}', open + 2);
        if (close < 0) {
            error = QStringLiteral("\"%{\" at position %1 has no closing \"}\".").arg(open + 1);
            return false;
        }
        std::optional<Piece> field = FieldPiece(text.mid(open + 2, close - open - 2), error);
        if (!field) {
            return false;
        }
        pieces.push_back(*field);
        at = close + 1;
    }
    return true;
}

QString ParseRule(const Pattern& pattern) {
    std::vector<Field> seen;
    for (const std::vector<Piece>& part : pattern.parts) {
        for (size_t i = 0; i < part.size(); ++i) {
            if (!part[i].isField) {
                continue;
            }
            if (i > 0 && part[i - 1].isField) {
                return QStringLiteral(
                    "Two fields need text between them, or where the first ends is a guess.");
            }
            if (part[i].field != Field::Ignore &&
                std::find(seen.begin(), seen.end(), part[i].field) != seen.end()) {
                return QStringLiteral("A field may appear only once when reading file names.");
            }
            seen.push_back(part[i].field);
        }
    }
    return {};
}

QString FormatRule(const Pattern& pattern) {
    if (pattern.parts.size() > 1) {
        return QStringLiteral("A file name cannot hold \"/\": renaming never moves a file.");
    }
    for (const Piece& piece : pattern.parts.front()) {
        if (piece.isField && piece.field == Field::Ignore) {
            return QStringLiteral("%{ignore} is only for reading file names.");
        }
    }
    return {};
}

// The value a field takes from matched text, or nothing when the text cannot be one.
std::optional<QString> FieldValue(Field field, const QString& text) {
    QString value = text.trimmed();
    if (value.isEmpty()) {
        return std::nullopt;
    }
    if (IsNumber(field)) {
        if (!AllDigits(value)) {
            return std::nullopt;
        }
        if (IsPosition(field)) {
            while (value.size() > 1 && value.front() == '0') {
                value.remove(0, 1);
            }
        }
    }
    return value;
}

// Matches pieces[index...] against text[at...], each field as short as lets the rest match.
bool MatchFrom(const std::vector<Piece>& pieces, size_t index, const QString& text, qsizetype at,
               Values& values) {
    if (index == pieces.size()) {
        return at == text.size();
    }
    const Piece& piece = pieces[index];
    if (!piece.isField) {
        return QStringView(text).mid(at).startsWith(piece.literal) &&
               MatchFrom(pieces, index + 1, text, at + piece.literal.size(), values);
    }
    const bool last = index + 1 == pieces.size();
    for (qsizetype end = last ? text.size() : at + 1; end <= text.size(); ++end) {
        const std::optional<QString> value = FieldValue(piece.field, text.mid(at, end - at));
        if (value && MatchFrom(pieces, index + 1, text, end, values)) {
            if (piece.field != Field::Ignore) {
                values[piece.field] = *value;
            }
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<FieldHelp> FieldList(Direction direction, bool added) {
    std::vector<FieldHelp> list;
    for (const FieldName& known : kFieldNames) {
        if ((known.field != Field::Ignore || direction == Direction::Parse) &&
            (added || !IsAdded(known.field))) {
            list.push_back({known.field, QStringLiteral("%{%1}").arg(QLatin1String(known.name))});
        }
    }
    list.push_back({Field::Track, QStringLiteral("%{track:2}")});
    return list;
}

std::string AddedColumnKey(Field field) {
    for (const FieldName& known : kFieldNames) {
        if (known.field == field && IsAdded(field)) {
            return known.name;
        }
    }
    return {};
}

Compiled Compile(const QString& text, Direction direction) {
    Compiled compiled;
    if (text.isEmpty()) {
        compiled.error = QStringLiteral("The pattern is empty.");
        return compiled;
    }
    Pattern pattern;
    for (const QString& partText : text.split('/')) {
        if (partText.isEmpty()) {
            compiled.error = QStringLiteral("A part between \"/\" is empty.");
            return compiled;
        }
        std::vector<Piece>& part = pattern.parts.emplace_back();
        if (!ReadPart(partText, part, compiled.error)) {
            return compiled;
        }
    }
    compiled.error = direction == Direction::Parse ? ParseRule(pattern) : FormatRule(pattern);
    if (compiled.error.isEmpty()) {
        compiled.pattern = std::move(pattern);
    }
    return compiled;
}

std::optional<Values> Match(const Pattern& pattern, const QString& fileName,
                            const QStringList& folders) {
    const qsizetype folderParts = static_cast<qsizetype>(pattern.parts.size()) - 1;
    if (folders.size() < folderParts) {
        return std::nullopt;
    }
    QString stem = fileName;
    if (stem.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)) {
        stem.chop(4);
    }
    Values values;
    for (size_t i = 0; i < pattern.parts.size(); ++i) {
        const bool namePart = i + 1 == pattern.parts.size();
        const QString& text =
            namePart ? stem : folders[folders.size() - folderParts + static_cast<qsizetype>(i)];
        if (!MatchFrom(pattern.parts[i], 0, text, 0, values)) {
            return std::nullopt;
        }
    }
    return values;
}

QString Format(const Pattern& pattern, const Values& values) {
    QString name;
    for (const Piece& piece : pattern.parts.back()) {
        if (!piece.isField) {
            name += piece.literal;
            continue;
        }
        const auto found = values.find(piece.field);
        QString value = found == values.end() ? QString() : found->second.trimmed();
        if (IsPosition(piece.field)) {
            value = value.section('/', 0, 0).trimmed();
            if (AllDigits(value)) {
                value = value.rightJustified(piece.width, '0');
            }
        }
        name += value;
    }
    return name;
}

}  // namespace naming
