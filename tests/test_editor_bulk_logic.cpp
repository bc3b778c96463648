// The bulk editing rules without a window: trimming, the Shift rules, track
// numbers and the Names rule.
#include <gtest/gtest.h>

#include "editor/model/bulk_logic.h"

using bulk::Column;

TEST(BulkTrimmed, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
    EXPECT_EQ(bulk::Trimmed(QStringLiteral(" \t A b\r\n ")), QStringLiteral("A b"));
    EXPECT_EQ(bulk::Trimmed(QStringLiteral("   ")), QString());
    EXPECT_EQ(bulk::Trimmed(QString()), QString());
    // Characters above the blank, a no-break space included, are kept.
    EXPECT_EQ(bulk::Trimmed(QString(QChar(0xA0)) + "x"), QString(QChar(0xA0)) + "x");
}

TEST(BulkFill, WithoutShiftTakesEveryRow) {
    EXPECT_TRUE(bulk::FillTakesRow(Column::Title, QStringLiteral("B"), false));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Year, QStringLiteral("1999"), false));
}

TEST(BulkFill, WithShiftTakesOnlyRowsThatShowTheColumnsEmptyText) {
    EXPECT_TRUE(bulk::FillTakesRow(Column::Title, QString(), true));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Title, QStringLiteral(" "), true));
    EXPECT_FALSE(bulk::FillTakesRow(Column::Title, QStringLiteral("B"), true));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Genre, QStringLiteral(" "), true));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Year, QStringLiteral("-1"), true));
    EXPECT_FALSE(bulk::FillTakesRow(Column::Year, QStringLiteral("1999"), true));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Track, QStringLiteral(" 0"), true));
    // Empty number fields, as ID3v2 rows without a year or track show them.
    EXPECT_TRUE(bulk::FillTakesRow(Column::Year, QString(), true));
    EXPECT_TRUE(bulk::FillTakesRow(Column::Track, QStringLiteral(" "), true));
    EXPECT_FALSE(bulk::FillTakesRow(Column::Track, QStringLiteral("3"), true));
}

TEST(BulkClear, WithShiftTakesRowsWhoseTrimmedTextEqualsTheExactTop) {
    EXPECT_TRUE(
        bulk::ClearTakesRow(Column::Title, QStringLiteral("A "), QStringLiteral("A"), true));
    EXPECT_FALSE(
        bulk::ClearTakesRow(Column::Title, QStringLiteral("B"), QStringLiteral("A"), true));
    EXPECT_FALSE(
        bulk::ClearTakesRow(Column::Title, QStringLiteral("a"), QStringLiteral("A"), true));
    // A top with a trailing blank never equals a trimmed text.
    EXPECT_FALSE(
        bulk::ClearTakesRow(Column::Title, QStringLiteral("A "), QStringLiteral("A "), true));
    EXPECT_TRUE(
        bulk::ClearTakesRow(Column::Title, QStringLiteral("B"), QStringLiteral("A"), false));
}

TEST(BulkClear, GenresThatNameTheSameGenreAreEqual) {
    for (const char* genre : {"(17)", "(17)Rock", "17", "Rock"}) {
        EXPECT_TRUE(bulk::ClearTakesRow(Column::Genre, genre, QStringLiteral("Rock"), true));
        EXPECT_TRUE(bulk::ClearTakesRow(Column::Genre, QStringLiteral("Rock"), genre, true));
    }
    EXPECT_TRUE(bulk::ClearTakesRow(Column::Genre, QStringLiteral(" (17) "), "Rock", true));
    EXPECT_FALSE(bulk::ClearTakesRow(Column::Genre, QStringLiteral("(18)"), "Rock", true));
    EXPECT_FALSE(bulk::ClearTakesRow(Column::Genre, QStringLiteral("(121)"), "Rock", true));
    EXPECT_FALSE(bulk::ClearTakesRow(Column::Genre, QStringLiteral("rock"), "Rock", true));
    // Outside the genre column "(17)" is a text like any other.
    EXPECT_FALSE(bulk::ClearTakesRow(Column::Title, QStringLiteral("(17)"), "Rock", true));
}

TEST(BulkEmptyText, YearAndTrackHaveNumbersTheOthersNothing) {
    EXPECT_EQ(bulk::EmptyText(Column::Year), QStringLiteral("-1"));
    EXPECT_EQ(bulk::EmptyText(Column::Track), QStringLiteral("0"));
    EXPECT_EQ(bulk::EmptyText(Column::Genre), QString());
    EXPECT_EQ(bulk::EmptyText(Column::Comment), QString());
}

TEST(BulkTrackNumber, AddsTheOffsetToTheTop) {
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral("5"), 0), QStringLiteral("5"));
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral("5"), 4), QStringLiteral("9"));
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral("-1"), 1), QStringLiteral("0"));
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral("+7"), 1), QStringLiteral("8"));
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral(" 12 "), 0), QStringLiteral("12"));
}

TEST(BulkTrackNumber, DoesNotWrapRoundNearTheIntegerLimit) {
    EXPECT_EQ(bulk::TrackNumber(QStringLiteral("2147483647"), 1), QStringLiteral("2147483648"));
    EXPECT_EQ(bulk::WholeNumber(QStringLiteral("-2147483648")), -2147483647 - 1);
}

TEST(BulkTrackNumber, RefusesTextThatIsNotAWholeNumber) {
    for (const char* text : {"", "abc", "5x", "1.5", "-", " ", "+-5", "2147483648"}) {
        EXPECT_THROW(bulk::TrackNumber(QString::fromLatin1(text), 0), bulk::ConversionError)
            << text;
    }
}

TEST(BulkTrackNumber, ConversionMessageNamesTheText) {
    try {
        bulk::TrackNumber(QStringLiteral("abc"), 0);
        FAIL() << "no conversion error";
    } catch (const bulk::ConversionError& error) {
        EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
    }
}

TEST(BulkNames, DropsTheLastFourCharacters) {
    EXPECT_EQ(bulk::TitleFromFileName(QStringLiteral("Song.mp3")), QStringLiteral("Song"));
    EXPECT_EQ(bulk::TitleFromFileName(QStringLiteral("a.mp3")), QStringLiteral("a"));
    EXPECT_EQ(bulk::TitleFromFileName(QStringLiteral(".mp3")), QString());
    EXPECT_EQ(bulk::TitleFromFileName(QStringLiteral("mp3")), QString());
    EXPECT_EQ(bulk::TitleFromFileName(QStringLiteral("Song.MP3")), QStringLiteral("Song"));
}
