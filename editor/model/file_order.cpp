// File-manager order through Qt's collation.
#include "editor/model/file_order.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <utility>

namespace file_order {

namespace {

QCollator FileManagerCollator() {
    // The C locale (no LANG, as under CI or a bare service) compares code
    // points and ignores numeric mode; a file manager sorts digit runs by value
    // there too, so the collation falls back to English rules.
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

}  // namespace

std::vector<std::string> SortedLikeFileManager(std::vector<std::string> names) {
    const QCollator collator = FileManagerCollator();
    // One sort key per name: a folder of thousands sorts by comparing bytes.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        keys.push_back(collator.sortKey(QFile::decodeName(QByteArray::fromStdString(name))));
    }
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int compared = keys[a].compare(keys[b]);
        return compared != 0 ? compared < 0 : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const size_t i : order) {
        sorted.push_back(std::move(names[i]));
    }
    return sorted;
}

}  // namespace file_order
