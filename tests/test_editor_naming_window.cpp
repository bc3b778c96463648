// Tags from file names and file names from tags through their dialogs, a rename
// failing part way (renameat2 is wrapped), and the undo of the last rename.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <cerrno>
#include <filesystem>

#include "editor/widgets/spin_edit.h"
#include "platform/directory.h"
#include "tests/helpers/window_fixture.h"

extern "C" int __real_renameat2(int, const char*, int, const char*, unsigned);

namespace {
int renameCalls = 0;
int failingCall = 0;  // the 1-based number of the rename that fails with EACCES
}  // namespace

extern "C" int __wrap_renameat2(int fromDir, const char* from, int toDir, const char* to,
                                unsigned flags) {
    if (++renameCalls == failingCall) {
        errno = EACCES;
        return -1;
    }
    return __real_renameat2(fromDir, from, toDir, to, flags);
}

namespace {

const std::vector<std::string> kSongs{"song000.mp3", "song001.mp3", "song002.mp3"};

class NamingWindowTest : public WindowFixture {
  protected:
    std::vector<std::string> OnDisk() const {
        std::vector<std::string> names = platform::ListMp3(Dir.File(""));
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(NamingWindowTest, TagsFromNamesSetMatchingRowsAsUnsavedEdits) {
    struct Case {
        const char* pattern;
        bool underscores;
        QStringList titles;
        QStringList tracks;
    } cases[] = {
        {"%{track} - %{title}", false, {"Alpha", "Beta_Song", ""}, {"1", "2", ""}},
        {"%{track} - %{title}", true, {"Alpha", "Beta Song", ""}, {"1", "2", ""}},
        {"%{title}", false, {"01 - Alpha", "02 - Beta_Song", "junk"}, {"", "", ""}},
    };
    for (const char* name : {"01 - Alpha.mp3", "02 - Beta_Song.mp3", "junk.mp3"}) {
        testing_mp3::WriteMp3(PathOf(name));
    }
    OpenFolder();
    const QString untouched = Window->Rows().TrackEdit(2)->text();
    for (const Case& c : cases) {
        Dialogs.QueueAnswer(TDialogs::Answer::Yes);
        Find<QToolButton>("SpeedButton4")->click();  // back to the files' values
        RunNaming("Tags from File Names", c.pattern, c.underscores);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(testing::Message() << c.pattern << c.underscores << k);
            EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), c.titles[k]);
            EXPECT_EQ(Window->Rows().TrackEdit(k)->text(),
                      c.tracks[k].isEmpty() ? untouched : c.tracks[k]);
            EXPECT_EQ(Window->RowModel().Unsaved(k), !c.titles[k].isEmpty());
        }
    }
}

TEST_F(NamingWindowTest, NamesFromTagsRenameInNaturalOrderAndKeepTheFocusedFile) {
    struct Case {
        const char* pattern;
        std::vector<std::string> names;  // on disk afterwards, sorted
        QString message;                 // a box shown, "" for none
    } cases[] = {
        {"%{track:2} - %{title}", {"01 - Title 0.mp3", "02 - Title 1.mp3", "03 - Title 2.mp3"}, ""},
        {"%{artist}: %{track}", {"Artist 0- 1.mp3", "Artist 1- 2.mp3", "Artist 2- 3.mp3"}, ""},
        {"Same", kSongs, "No file gets a new name."},
    };
    OpenWindow(3, true);
    for (const Case& c : cases) {
        Window->Rows().TitleEdit(1)->setFocus();
        RunNaming("File Names from Tags", c.pattern);
        EXPECT_EQ(OnDisk(), c.names) << c.pattern;
        EXPECT_EQ(State().FileList, c.names) << c.pattern;
        EXPECT_EQ(QApplication::focusWidget(), Window->Rows().TitleEdit(1)) << c.pattern;
        EXPECT_EQ(Dialogs.Messages().value(0), c.message) << c.pattern;
        Dialogs.Clear();
        if (c.message.isEmpty()) {
            Command("Undo Last Rename")->trigger();
            EXPECT_EQ(State().FileList, kSongs);
        }
    }
}

TEST_F(NamingWindowTest, FailedRenamesAndUndosLeaveEveryNameAndSayWhich) {
    OpenWindow(3, true);
    renameCalls = 0;
    failingCall = 2;
    RunNaming("File Names from Tags", "%{title}");
    failingCall = 0;
    EXPECT_EQ(OnDisk(), kSongs);
    EXPECT_EQ(State().FileList, kSongs);
    ASSERT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_TRUE(
        Dialogs.Errors()[0].startsWith("Cannot rename \"song001.mp3\" to \"Title 1.mp3\": "
                                       "Permission denied.\nNo file was renamed"));
    EXPECT_FALSE(Command("Undo Last Rename")->isEnabled());
    // An undo finding a file renamed since renames nothing.
    RunNaming("File Names from Tags", "%{title}");
    std::filesystem::rename(PathOf("Title 1.mp3"), PathOf("moved.mp3"));
    Command("Undo Last Rename")->trigger();
    ASSERT_EQ(Dialogs.Errors().size(), 2);
    EXPECT_TRUE(Dialogs.Errors()[1].contains("Title 1.mp3: The file no longer has this name."));
    EXPECT_EQ(OnDisk(), (std::vector<std::string>{"Title 0.mp3", "Title 2.mp3", "moved.mp3"}));
}

TEST_F(NamingWindowTest, UnsavedEditsAreSavedBeforeRenamingOnlyWhenTheUserAgrees) {
    OpenWindow(1, true);
    Window->Rows().TitleEdit(0)->setFocus();
    TypeText(QStringLiteral("X"));
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    RunNaming("File Names from Tags", "%{title}");
    EXPECT_EQ(OnDisk(), std::vector<std::string>{"song000.mp3"});
    EXPECT_TRUE(State().PageModified);
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    RunNaming("File Names from Tags", "%{title}");
    EXPECT_EQ(OnDisk(), std::vector<std::string>{"XTitle 0.mp3"});
    EXPECT_FALSE(State().PageModified);
}

}  // namespace
