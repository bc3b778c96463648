// Page arithmetic, the folder-name rule, label and caption texts, whole numbers.
#include <gtest/gtest.h>

#include "editor/model/page_logic.h"

using namespace page_logic;

TEST(PageArithmetic, CountsPagesOfFortyAtLeastOne) {
    EXPECT_EQ(PageCount(0), 1);
    EXPECT_EQ(PageCount(1), 1);
    EXPECT_EQ(PageCount(40), 1);
    EXPECT_EQ(PageCount(41), 2);
    EXPECT_EQ(PageCount(80), 2);
    EXPECT_EQ(PageCount(81), 3);
}

TEST(PageArithmetic, RowsAndButtonsOfAPage) {
    EXPECT_EQ(RowsOnPage(0, 0), 0);
    EXPECT_EQ(RowsOnPage(41, 0), 40);
    EXPECT_EQ(RowsOnPage(41, 1), 1);
    EXPECT_EQ(RowsOnPage(80, 1), 40);
    EXPECT_EQ(RowsOnPage(40, 1), 0);
    EXPECT_EQ(FileIndex(2, 5), 85);
    EXPECT_FALSE(HasNextPage(40, 0));
    EXPECT_TRUE(HasNextPage(41, 0));
    EXPECT_FALSE(HasNextPage(80, 1));
    EXPECT_TRUE(HasNextPage(81, 1));
    EXPECT_FALSE(HasPreviousPage(0));
    EXPECT_TRUE(HasPreviousPage(1));
}

TEST(PageLabelText, ShowsPageAndCount) {
    EXPECT_EQ(PageLabel(0, 0), "Page 1/1");
    EXPECT_EQ(PageLabel(81, 1), "Page 2/3");
}

TEST(FolderNameRule, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(FolderName("/music/Best"), "Best");
    EXPECT_EQ(FolderName("C:\\Music\\Best"), "Best");
    EXPECT_EQ(FolderName("/a\\b/c"), "c");
    // The final character never counts as the separator.
    EXPECT_EQ(FolderName("/music/Best/"), "Best/");
    EXPECT_EQ(FolderName("C:\\"), "");
    EXPECT_EQ(FolderName("/"), "");
    EXPECT_EQ(FolderName("Best"), "");
    EXPECT_EQ(FolderName(""), "");
}

TEST(CaptionText, NamesTheFolder) {
    EXPECT_EQ(TitleText(), "Tagvora v1.4");
    EXPECT_EQ(Caption("/music"), "Tagvora v1.4 - (/music)");
    EXPECT_EQ(Caption("C:\\"), "Tagvora v1.4 - (C:\\)");
}

TEST(WholeNumbers, AcceptOnlySignAndDigits) {
    EXPECT_EQ(WholeNumber("2003"), 2003);
    EXPECT_EQ(WholeNumber("-1"), -1);
    EXPECT_EQ(WholeNumber("+5"), 5);
    EXPECT_EQ(WholeNumber("007"), 7);
    for (const char* text :
         {"", "-", "+", "+-1", "3/12", "2003-05-01", " 5", "5 ", "1.5", "99999999999"}) {
        EXPECT_EQ(WholeNumber(text), std::nullopt) << text;
    }
}
