// The window's file order: names of plain ASCII sort as the collator sorts them.
#include <gtest/gtest.h>

#include <QLocale>
#include <random>

#include "editor/model/file_order.h"
#include "tests/helpers/seeds.h"

TEST(FileOrder, AsciiNamesSortAsTheCollatorSortsThem) {
    // A name that is not ASCII sends the whole folder to the collator; without
    // it the same names take the fast keys. Both orders must agree.
    // "aa" and "ch" are single letters in some languages.
    const std::string alphabet = " !#$%&'()+,-.00123456789;=@ABZ[]^_`aabchyz{}~";
    const std::string accented = "\xC3\xA9t\xC3\xA9.mp3";
    const QLocale previous;
    for (const auto language : {QLocale::English, QLocale::Danish, QLocale::Czech}) {
        QLocale::setDefault(QLocale(language));
        testing_mp3::ForEachSeed(10, [&](uint32_t seed) {
            std::mt19937 random(seed);
            std::vector<std::string> names;
            for (int i = 0; i < 300; ++i) {
                std::string name;
                for (size_t n = 1 + random() % 8; n > 0; --n) {
                    name.push_back(alphabet[random() % alphabet.size()]);
                }
                names.push_back(name + (random() % 2 != 0 ? ".mp3" : ".MP3"));
            }
            std::vector<std::string> withCollator = names;
            withCollator.push_back(accented);
            withCollator = file_order::SortedLikeFileManager(withCollator);
            std::erase(withCollator, accented);
            ASSERT_EQ(file_order::SortedLikeFileManager(names), withCollator) << language;
        });
    }
    QLocale::setDefault(previous);
}
