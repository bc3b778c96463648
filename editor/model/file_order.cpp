// File-manager order through Qt's collation, with a fast path for folders whose
// names are all printable ASCII.
#include "editor/model/file_order.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
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

constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';
// Digit runs longer than this go to the collator, which the one-byte length
// in the fast key could not hold.
constexpr size_t kLongestDigitRun = 200;

// The collator's weight of each printable ASCII character, as ranks from 1:
// characters it finds equal ('a' and 'A') share a rank.
using AsciiRanks = std::array<uint8_t, kLastPrintable - kFirstPrintable + 1>;

AsciiRanks RanksOf(const QCollator& collator) {
    std::array<char, kLastPrintable - kFirstPrintable + 1> characters{};
    std::iota(characters.begin(), characters.end(), kFirstPrintable);
    auto text = [](char c) { return QString(QChar::fromLatin1(c)); };
    std::stable_sort(characters.begin(), characters.end(),
                     [&](char a, char b) { return collator.compare(text(a), text(b)) < 0; });
    AsciiRanks ranks{};
    uint8_t rank = 0;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (i == 0 || collator.compare(text(characters[i - 1]), text(characters[i])) != 0) {
            ++rank;
        }
        ranks[static_cast<size_t>(characters[i] - kFirstPrintable)] = rank;
    }
    return ranks;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A key whose byte order is the collator's order of a printable ASCII name:
// each character as its rank, each digit run as the digit rank, the length of
// the run without leading zeros and its digits, so runs compare by value.
// None for a name the ranks cannot order alone.
std::optional<std::string> AsciiKey(const std::string& name, const AsciiRanks& ranks) {
    std::string key;
    key.reserve(name.size() + 4);
    for (size_t i = 0; i < name.size();) {
        const char c = name[i];
        if (c < kFirstPrintable || c > kLastPrintable) {
            return std::nullopt;
        }
        if (!IsDigit(c)) {
            key.push_back(static_cast<char>(ranks[static_cast<size_t>(c - kFirstPrintable)]));
            ++i;
            continue;
        }
        size_t end = i;
        while (end < name.size() && IsDigit(name[end])) {
            ++end;
        }
        size_t first = i;
        while (first < end && name[first] == '0') {
            ++first;
        }
        if (end - first > kLongestDigitRun) {
            return std::nullopt;
        }
        key.push_back(static_cast<char>(ranks['0' - kFirstPrintable]));
        key.push_back(static_cast<char>(end - first));
        key.append(name, first, end - first);
        i = end;
    }
    return key;
}

// Whether the collation orders ASCII text letter by letter. Some languages
// join ASCII letters into one ("aa" in Danish, "ch" in Czech), which ranks of
// single characters cannot tell; only languages known to have no such pairs
// take the fast keys.
bool OrdersAsciiByCharacter(const QLocale& locale) {
    static constexpr QLocale::Language kLanguages[] = {
        QLocale::English,   QLocale::German,     QLocale::French,  QLocale::Italian,
        QLocale::Spanish,   QLocale::Portuguese, QLocale::Dutch,   QLocale::Russian,
        QLocale::Ukrainian, QLocale::Polish,     QLocale::Swedish, QLocale::Finnish,
        QLocale::Greek,     QLocale::Japanese,   QLocale::Chinese, QLocale::Korean};
    return std::find(std::begin(kLanguages), std::end(kLanguages), locale.language()) !=
           std::end(kLanguages);
}

// The fast keys of all names, or none when one name needs the collator:
// then every name goes to it, so all are compared alike.
std::optional<std::vector<std::string>> AsciiKeys(const std::vector<std::string>& names,
                                                  const QCollator& collator) {
    if (!OrdersAsciiByCharacter(collator.locale())) {
        return std::nullopt;
    }
    const AsciiRanks ranks = RanksOf(collator);
    // The digits must lie together, with no other character between them, for
    // a run to compare against a character as its first digit does.
    if (ranks['9' - kFirstPrintable] - ranks['0' - kFirstPrintable] != 9) {
        return std::nullopt;
    }
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        std::optional<std::string> key = AsciiKey(name, ranks);
        if (!key) {
            return std::nullopt;
        }
        keys.push_back(std::move(*key));
    }
    return keys;
}

std::vector<QCollatorSortKey> CollatorKeys(const std::vector<std::string>& names,
                                           const QCollator& collator) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        keys.push_back(collator.sortKey(QFile::decodeName(QByteArray::fromStdString(name))));
    }
    return keys;
}

int Compare(const std::string& a, const std::string& b) {
    return a.compare(b);
}
int Compare(const QCollatorSortKey& a, const QCollatorSortKey& b) {
    return a.compare(b);
}

// The names sorted by their keys; names with equal keys by their bytes.
template <typename Key>
std::vector<std::string> SortedByKeys(std::vector<std::string> names,
                                      const std::vector<Key>& keys) {
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int compared = Compare(keys[a], keys[b]);
        return compared != 0 ? compared < 0 : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const size_t i : order) {
        sorted.push_back(std::move(names[i]));
    }
    return sorted;
}

}  // namespace

std::vector<std::string> SortedLikeFileManager(std::vector<std::string> names) {
    const QCollator collator = FileManagerCollator();
    // One sort key per name: a folder of thousands sorts by comparing bytes.
    // The collator's keys cost most of a listing; plain ASCII names, the
    // common case, get equivalent keys from the collator's character ranks.
    if (const auto keys = AsciiKeys(names, collator)) {
        return SortedByKeys(std::move(names), *keys);
    }
    const std::vector<QCollatorSortKey> keys = CollatorKeys(names, collator);
    return SortedByKeys(std::move(names), keys);
}

}  // namespace file_order
