// The rules behind the bulk editing commands.
#include "editor/model/bulk_logic.h"

#include <optional>

#include "editor/model/page_logic.h"
#include "id3v1/genres.h"

namespace bulk {

namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= 0x20;
}

}  // namespace

QString EmptyText(Column column) {
    switch (column) {
        case Column::Year:
            return QStringLiteral("-1");
        case Column::Track:
            return QStringLiteral("0");
        default:
            return QString();
    }
}

QString TrimmedWhere(const QString& text, bool (*trimmable)(QChar)) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && trimmable(text[first])) {
        ++first;
    }
    while (last > first && trimmable(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

QString Trimmed(const QString& text) {
    return TrimmedWhere(text, IsBlankOrControl);
}

bool FillTakesRow(Column column, const QString& text, bool shift) {
    // An empty year or track field holds nothing as well: ID3v2 rows without
    // those frames show it so, and its value is the field's minimum.
    const QString trimmed = Trimmed(text);
    return !shift || trimmed.isEmpty() || trimmed == EmptyText(column);
}

QString GenreKey(const QString& genre) {
    const std::optional<uint8_t> number = GenreReference(genre.toStdString());
    return number ? QString::fromLatin1(GenreName(*number)) : genre;
}

bool ClearTakesRow(Column column, const QString& text, const QString& top, bool shift) {
    if (!shift) {
        return true;
    }
    if (column == Column::Genre) {
        return GenreKey(Trimmed(text)) == GenreKey(top);
    }
    return Trimmed(text) == top;
}

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString()) {}

int WholeNumber(const QString& text) {
    const std::optional<int> number = page_logic::WholeNumber(text.trimmed().toStdString());
    if (!number) {
        throw ConversionError(text);
    }
    return *number;
}

QString TrackNumber(const QString& top, int offset) {
    const QString trimmed = top.trimmed();
    const qsizetype slash = trimmed.indexOf(QLatin1Char('/'));
    const QString total = slash < 0 ? QString() : trimmed.mid(slash);
    if (total.size() > 1 && !page_logic::WholeNumber(total.mid(1).trimmed().toStdString())) {
        throw ConversionError(top);
    }
    const std::optional<int> first =
        page_logic::WholeNumber(trimmed.left(slash).trimmed().toStdString());
    if (!first) {
        throw ConversionError(top);
    }
    // Summed in 64 bits so that a top near the integer limit cannot wrap round.
    return QString::number(static_cast<long long>(*first) + offset) + total;
}

std::vector<std::optional<QString>> FillColumn(Column column, const QStringList& texts,
                                               bool shift) {
    std::vector<std::optional<QString>> filled(static_cast<size_t>(texts.size()));
    const QString top = texts.value(0);
    int numbered = 0;
    for (qsizetype k = 0; k < texts.size(); ++k) {
        if (FillTakesRow(column, texts[k], shift)) {
            filled[k] = column == Column::Track ? TrackNumber(top, numbered++) : top;
        }
    }
    return filled;
}

QString DecodedName(const std::string& bytes, bool& whole) {
    QString name = QString::fromStdString(bytes);
    whole = name.toStdString() == bytes;
    return name;
}

QString TitleFromFileName(const QString& fileName) {
    return fileName.size() <= 4 ? QString() : fileName.left(fileName.size() - 4);
}

}  // namespace bulk
