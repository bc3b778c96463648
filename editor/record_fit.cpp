// What an ID3v1 record can hold of a row's values.
#include "editor/record_fit.h"

#include <optional>

#include "editor/latin1_edit.h"
#include "editor/page_logic.h"
#include "id3v1/genres.h"

namespace record_fit {
namespace {

// An empty number field holds no value, which the record can say.
bool NumberFits(const QString& text, int maximum) {
    const QString trimmed = text.trimmed();
    const std::optional<int> number = page_logic::WholeNumber(trimmed.toStdString());
    return trimmed.isEmpty() || (number && *number >= -1 && *number <= maximum);
}

}  // namespace

bool Fits(bulk::Column column, const QString& text) {
    using bulk::Column;
    switch (column) {
        case Column::Year:
            return NumberFits(text, 9999);
        case Column::Track:
            return NumberFits(text, 255);
        case Column::Genre:
            return text.trimmed().isEmpty() ||
                   (TLatin1Edit::IsLatin1(text) && RecordGenreByte(Latin1Part(text)) != 255);
        case Column::Comment:
            return TLatin1Edit::IsLatin1(text) && text.size() <= 28;
        default:
            return TLatin1Edit::IsLatin1(text) && text.size() <= 30;
    }
}

std::string Latin1Part(const QString& text) {
    std::string bytes;
    for (const QChar c : text) {
        if (c.unicode() != 0 && c.unicode() <= 0xFF) {
            bytes.push_back(static_cast<char>(c.unicode()));
        }
    }
    return bytes;
}

std::optional<int> TrackOfTotal(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype slash = trimmed.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        return std::nullopt;
    }
    const QString total = trimmed.mid(slash + 1);
    if (!total.isEmpty() && !page_logic::WholeNumber(total.toStdString())) {
        return std::nullopt;
    }
    return page_logic::WholeNumber(trimmed.left(slash).toStdString());
}

}  // namespace record_fit
