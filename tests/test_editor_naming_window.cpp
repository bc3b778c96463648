// Tags from file names and file names from tags through their dialogs, a rename
// failing part way (renameat2 is wrapped), and the undo of the last rename.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
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

class NamingWindowTest : public WindowFixture {
  protected:
    void Run(const char* command, const QString& pattern, bool underscores = false) {
        Dialogs.QueueModal([pattern, underscores](QDialog* dialog) {
            dialog->findChild<QComboBox*>("PatternBox")->setEditText(pattern);
            if (auto* box = dialog->findChild<QCheckBox*>("UnderscoresBox")) {
                box->setChecked(underscores);
            }
            return QDialog::Accepted;
        });
        Trigger(command);
    }
    void Trigger(const char* command) {
        for (QAction* action : Find<QMenu>("CommandMenu")->actions()) {
            if (action->text().startsWith(command)) {
                action->trigger();
            }
        }
    }
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
    const QString untouched = Window->TrackEdit(2)->text();
    for (const Case& c : cases) {
        Dialogs.QueueAnswer(TDialogs::Answer::Yes);
        Find<QToolButton>("SpeedButton4")->click();  // back to the files' values
        Run("Tags from File Names", c.pattern, c.underscores);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(Window->TitleEdit(k)->text(), c.titles[k]) << c.pattern << k;
            EXPECT_EQ(Window->TrackEdit(k)->text(), c.tracks[k].isEmpty() ? untouched : c.tracks[k])
                << c.pattern << k;
            EXPECT_EQ(Window->RowModified(k), !c.titles[k].isEmpty()) << c.pattern << k;
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
        {"Same", {"song000.mp3", "song001.mp3", "song002.mp3"}, "No file gets a new name."},
    };
    OpenWindow(3, true);
    for (const Case& c : cases) {
        Window->TitleEdit(1)->setFocus();
        Run("File Names from Tags", c.pattern);
        EXPECT_EQ(OnDisk(), c.names) << c.pattern;
        EXPECT_EQ(State().FileList, c.names) << c.pattern;
        EXPECT_EQ(QApplication::focusWidget(), Window->TitleEdit(1)) << c.pattern;
        EXPECT_EQ(Dialogs.Messages().value(0), c.message) << c.pattern;
        Dialogs.Clear();
        if (c.message.isEmpty()) {
            Trigger("Undo Last Rename");
            EXPECT_EQ(State().FileList,
                      (std::vector<std::string>{"song000.mp3", "song001.mp3", "song002.mp3"}));
        }
    }
}

TEST_F(NamingWindowTest, ARenameFailingPartWayLeavesEveryOldNameAndSaysWhich) {
    OpenWindow(3, true);
    renameCalls = 0;
    failingCall = 2;
    Run("File Names from Tags", "%{title}");
    failingCall = 0;
    const std::vector<std::string> old{"song000.mp3", "song001.mp3", "song002.mp3"};
    EXPECT_EQ(OnDisk(), old);
    EXPECT_EQ(State().FileList, old);
    ASSERT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_TRUE(
        Dialogs.Errors()[0].startsWith("Cannot rename \"song001.mp3\" to \"Title 1.mp3\": "
                                       "Permission denied.\nNo file was renamed"))
        << Dialogs.Errors()[0].toStdString();
    EXPECT_FALSE(Find<QMenu>("CommandMenu")->actions().last()->isEnabled());
}

TEST_F(NamingWindowTest, UndoLastRenameNamesTheFileThatChangedSinceAndRenamesNothing) {
    OpenWindow(2, true);
    Run("File Names from Tags", "%{title}");
    std::filesystem::rename(PathOf("Title 1.mp3"), PathOf("moved.mp3"));
    Trigger("Undo Last Rename");
    ASSERT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_TRUE(Dialogs.Errors()[0].contains("Title 1.mp3: The file no longer has this name."));
    EXPECT_EQ(OnDisk(), (std::vector<std::string>{"Title 0.mp3", "moved.mp3"}));
}

TEST_F(NamingWindowTest, UnsavedEditsAreSavedBeforeRenamingOnlyWhenTheUserAgrees) {
    OpenWindow(1, true);
    Window->TitleEdit(0)->setFocus();
    TypeText(QStringLiteral("X"));
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Run("File Names from Tags", "%{title}");
    EXPECT_EQ(OnDisk(), std::vector<std::string>{"song000.mp3"});
    EXPECT_TRUE(State().PageModified);
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Run("File Names from Tags", "%{title}");
    EXPECT_EQ(OnDisk(), std::vector<std::string>{"XTitle 0.mp3"});
    EXPECT_FALSE(State().PageModified);
}

}  // namespace
