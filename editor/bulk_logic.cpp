// The rules behind the bulk editing commands.
#include "editor/bulk_logic.h"

#include <limits>

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

QString Trimmed(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlankOrControl(text[first])) {
        ++first;
    }
    while (last > first && IsBlankOrControl(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

bool FillTakesRow(Column column, const QString& text, bool shift) {
    return !shift || Trimmed(text) == EmptyText(column);
}

bool ClearTakesRow(const QString& text, const QString& top, bool shift) {
    return !shift || Trimmed(text) == top;
}

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString()) {}

int WholeNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size()) {
        throw ConversionError(text);
    }
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            throw ConversionError(text);
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit) {
            throw ConversionError(text);
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QString TrackNumber(const QString& top, int offset) {
    // Summed in 64 bits so that a top near the integer limit cannot wrap round.
    return QString::number(static_cast<long long>(WholeNumber(top)) + offset);
}

QString TitleFromFileName(const QString& fileName) {
    return fileName.size() <= 4 ? QString() : fileName.left(fileName.size() - 4);
}

}  // namespace bulk
