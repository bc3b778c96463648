// The saving rules and texts without a window: the nothing-to-write rule, the
// read-only test and its clearing, and the exact message and caption texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <tuple>

#include "editor/model/save_logic.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace save_logic;

TEST(NothingToWriteRule, TaggedRowsAreAlwaysWritten) {
    EXPECT_TRUE(RowToBeWritten(false, "", "", "", ""));
}

TEST(NothingToWriteRule, UntaggedRowNeedsATextBeyondBlanksAndControls) {
    const QString blank = QStringLiteral(" \t\x01\r\n\x7f ");
    EXPECT_FALSE(RowToBeWritten(true, "", "", "", ""));
    EXPECT_FALSE(RowToBeWritten(true, blank, blank, blank, blank));
    EXPECT_TRUE(RowToBeWritten(true, "", "", "", " note "));
    EXPECT_TRUE(RowToBeWritten(true, blank, "", "x", ""));
}

TEST(ReadOnlyTest, ReadOnlyFileIsClearedAndKeepsItsOtherPermissions) {
    testing_mp3::TempDir dir;
    const std::string path = dir.File("a.mp3");
    testing_mp3::WriteMp3(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(FileIsReadOnly(path));

    EXPECT_EQ(ClearReadOnly(path), 0u);
    EXPECT_FALSE(FileIsReadOnly(path));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(ReadOnlyTest, MissingFileCountsAsReadOnlyAndCannotBeCleared) {
    testing_mp3::TempDir dir;
    EXPECT_TRUE(FileIsReadOnly(dir.File("gone.mp3")));
    EXPECT_EQ(ClearReadOnly(dir.File("gone.mp3")), 2u);
}

TEST(SavingTexts, AttributeErrorsCarryNameNumberAndCarriageReturns) {
    EXPECT_EQ(SaveRowAttributeError("a.mp3", 2),
              "File a.mp3 can not be saved, because an error happened of type 2. \r\r This may "
              "result on that the disk is locked (for example CD-ROM or floppy) or network "
              "location is with Read Only type.");
    EXPECT_EQ(SaveAllAttributeError("a.mp3", 1),
              "Read Only attribute of file a.mp3 can not be removed (error #1).\rThis may result "
              "on that the disk is locked (for example CD-ROM or floppy) or you have not "
              "writing access to network location.");
}

TEST(SavingTexts, PercentSignsInNamesAreNotTakenForPlaceholders) {
    EXPECT_EQ(SavingCaption("50%2off.mp3", 7), "Saving 50%2off.mp3 ... (7)");
    EXPECT_EQ(ReadOnlyQuestion("/m/%1.mp3"),
              "Are you sure you want to modify a Read Only file /m/%1.mp3? (the file will be "
              "turn to normal file)");
    EXPECT_TRUE(SaveRowAttributeError("%3%2.mp3", 13).startsWith("File %3%2.mp3 can not"));
    EXPECT_TRUE(FinalMessage(1, "/m/%2", 3, false).contains("directory /m/%2 (on page 3)"));
}

TEST(SavingTexts, FinalMessageJoinsTheKindPrefixToBothForms) {
    EXPECT_EQ(FinalMessage(2, "/music", 1, false),
              "ID3v2ID3-tags saved to the mp3-files of directory /music (on page 1).");
    EXPECT_EQ(FinalMessage(1, "/music", 2, true),
              "ID3v1ID3-tags saved to the mp3-files of directory /music, except to ones you did "
              "not want to remove Read Only -attribute (on page 2).");
    EXPECT_EQ(SavedCaption(35), "35 files saved");
    EXPECT_EQ(SaveAllSummary(1, "/m", 1, false, 1, {}),
              FinalMessage(1, "/m", 1, false) + "\n\n1 file saved.");
    EXPECT_EQ(SavingCaption("a.mp3"), "Saving a.mp3 ...");
}

// A failed save's reason: from the errno behind it if known, else from its error code.
TEST(SavingTexts, FailureReasonsNameTheCause) {
    const std::tuple<uint16_t, int, const char*> cases[] = {
        {4352, 0, "the tag is neither ID3v2.3 nor ID3v2.4 (ID3v2.2 tags cannot be written)"},
        {4096, 0, "the tag header at the start of the file is damaged"},
        {256, EWOULDBLOCK, "the file is in use by another program"},
        {1024 | 0x08, ENOSPC, "the disk is full"},
        {0x7700, 0, "an unknown error happened"},
        {256, EACCES, "permission denied"},
        {0x1300, 0, "the ID3v2.2 tag is compressed, which no program can read"},
    };
    for (const auto& [result, error, reason] : cases) {
        EXPECT_EQ(FailureReason(result, error), reason) << result << " " << error;
    }
}

}  // namespace
