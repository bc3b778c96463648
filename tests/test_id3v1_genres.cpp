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

TEST(Id3v1Genres, TableKeepsItsOwnNumberingFrom123On) {
    const TGenreList& list = GenreList();
    ASSERT_EQ(list.size(), 150u);
    EXPECT_EQ(list[0], "Blues");
    EXPECT_EQ(list[17], "Rock");
    EXPECT_EQ(list[43], "Punk");
    EXPECT_EQ(list[121], "Rock");
    EXPECT_EQ(list[122], "Punk");
    EXPECT_EQ(list[123], "Drum Solo");
    EXPECT_EQ(list[137], "Christian Gangsta Rap");
    EXPECT_EQ(list[148], "Synthpop");
    EXPECT_EQ(list[149], " ");
    for (size_t i = 0; i < 149; ++i) {
        EXPECT_FALSE(list[i].empty() || list[i] == " ") << "position " << i;
    }
}

TEST(Id3v1Genres, ByteToNameGivesTheBlankPastTheTable) {
    for (int genre = 0; genre < 150; ++genre) {
        EXPECT_EQ(GenreName(static_cast<uint8_t>(genre)), GenreList()[genre]);
    }
    EXPECT_EQ(GenreName(150), " ");
    EXPECT_EQ(GenreName(255), " ");
}

TEST(Id3v1Genres, NameToByteFindsTheFirstEntry) {
    // Every name comes back to its own position except the repeated Rock and Punk.
    for (int genre = 0; genre < 150; ++genre) {
        const uint8_t expected = genre == 121 ? 17 : genre == 122 ? 43 : genre;
        EXPECT_EQ(GenreByte(GenreList()[genre]), expected) << GenreList()[genre];
    }
    EXPECT_EQ(GenreByte(GenreName(121)), 17);
    EXPECT_EQ(GenreByte(" "), 149);
}

TEST(Id3v1Genres, NameToByteIgnoresCase) {
    ExpectGenreBytes(
        {{"rock", 17}, {"PUNK", 43}, {"hIP-hOP", 7}, {"jpop", 147}, {"DRUM & BASS", 128}});
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
    const std::pair<const char*, int> cases[] = {
        {"(17)", 17},   {"(17)Rock", 17}, {"17", 17},     {"(0)", 0},      {"(121)", 121},
        {"(255)", 255}, {"Jazz", 8},      {"(256)", 255}, {"(RX)", 255},   {"(17", 255},
        {"17 ", 255},   {"1x", 255},      {"()", 255},    {"(0017)", 255}, {"", 255}};
    for (const auto& [text, byte] : cases) {
        EXPECT_EQ(RecordGenreByte(text), byte) << text;
    }
}
