// The genre table and the lookups between genre bytes and names.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "id3v1/genres.h"

namespace {

void ExpectGenreBytes(std::initializer_list<std::pair<const char*, int>> cases) {
    for (const auto& [text, byte] : cases) {
        EXPECT_EQ(GenreByte(text), byte) << text;
    }
}

}  // namespace

TEST(Id3v1Genres, TableFollowsTheCommonNumbering) {
    const TGenreList& list = GenreList();
    ASSERT_EQ(list.size(), 193u);
    // clang-format off
    const std::pair<int, const char*> names[] = {{0, "Blues"}, {17, "Rock"}, {43, "Punk"},
        {121, "Punk Rock"}, {122, "Drum Solo"}, {137, "Heavy Metal"}, {147, "Synthpop"},
        {191, "Psybient"}, {192, " "}};
    // clang-format on
    for (const auto& [position, name] : names) {
        EXPECT_EQ(list[position], name);
    }
}

TEST(Id3v1Genres, ByteToNameGivesTheBlankPastTheTable) {
    for (int genre = 0; genre < 192; ++genre) {
        EXPECT_EQ(GenreName(static_cast<uint8_t>(genre)), GenreList()[genre]);
    }
    EXPECT_EQ(GenreName(192), " ");
    EXPECT_EQ(GenreName(255), " ");
}

TEST(Id3v1Genres, NameToByteFindsEachNameAtItsOwnPosition) {
    for (int genre = 0; genre < 192; ++genre) {
        EXPECT_EQ(GenreByte(GenreList()[genre]), genre) << GenreList()[genre];
    }
    EXPECT_EQ(GenreByte(" "), 255);
}

TEST(Id3v1Genres, NameToByteIgnoresCase) {
    ExpectGenreBytes(
        {{"rock", 17}, {"PUNK", 43}, {"hIP-hOP", 7}, {"jpop", 146}, {"DRUM & BASS", 127}});
}

TEST(Id3v1Genres, NoMatchIs255) {
    ExpectGenreBytes({{"", 255}, {"Rocks", 255}, {"Rock ", 255}, {"  ", 255}, {"Polka\xE9", 255}});
}

TEST(Id3v1Genres, CaseFoldingCoversLatin1Letters) {
    EXPECT_TRUE(EqualIgnoringCase("\xC0\xC9\xD6\xD8\xDE", "\xE0\xE9\xF6\xF8\xFE"));
    EXPECT_TRUE(EqualIgnoringCase("\xE9T\xC9", "\xC9t\xE9"));
    // The multiplication and division signs, and the bytes beside A-Z, are not letters.
    EXPECT_FALSE(EqualIgnoringCase("\xD7", "\xF7"));
    EXPECT_FALSE(EqualIgnoringCase("\xDF", "\xFF"));
    EXPECT_FALSE(EqualIgnoringCase("@[", "`{"));
    EXPECT_FALSE(EqualIgnoringCase("\xBF", "\xDF"));
    EXPECT_FALSE(EqualIgnoringCase("ab", "abc"));
}

TEST(Id3v1Genres, ReferencesAsId3v2WritesThemAreStoredAsTheirNumber) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"(17)", 17},   {"(17)Rock", 17}, {"17", 17},     {"(0)", 0},      {"(121)", 121},
        {"(255)", 255}, {"Jazz", 8},      {"(256)", 255}, {"(RX)", 255},   {"(17", 255},
        {"17 ", 255},   {"1x", 255},      {"()", 255},    {"(0017)", 255}, {"", 255},
        {"(192)", 255}, {"bebop", 85},    {"Disco-ish, Rock, Jazz", 17}};
    // clang-format on
    for (const auto& [text, byte] : cases) {
        EXPECT_EQ(RecordGenreByte(text), byte) << text;
    }
}

TEST(Id3v1Genres, StoredGenreShowsByName) {
    using namespace std::string_literals;
    // clang-format off
    const std::pair<std::string, const char*> cases[] = {
        {"(17)", "Rock"}, {"(17)Rock", "Rock"}, {"(4)(17)Disco-ish", "Disco, Rock, Disco-ish"},
        {"52", "Electronic"}, {"Rock\0Jazz\0" "17"s, "Rock, Jazz"}, {"RX\0(CR)"s, "Remix, Cover"},
        {"((Live)", "(Live)"}, {"(200)", "(200)"}, {"(17)((Live)", "Rock, (Live)"}, {"", ""}};
    // clang-format on
    for (const auto& [tcon, shown] : cases) {
        EXPECT_EQ(ShownGenre(tcon), shown) << tcon;
    }
}
