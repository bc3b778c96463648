// The bulk editing commands in a real window: column boxes with and without
// Shift, track numbering, the Album and folder boxes, Classical, Names, Erase
// All Rows and Revert to Saved.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "editor/model/page_logic.h"
#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

class BulkTest : public WindowFixture {
  protected:
    // A folder named `name` inside the temporary folder with `count` untagged
    // files, shown on page 1.
    void OpenNamedFolder(const std::string& name, int count) {
        const std::string folder = Dir.File(name);
        std::filesystem::create_directory(folder);
        for (int i = 0; i < count; ++i) {
            testing_mp3::WriteMp3(folder + "/track" + std::to_string(i) + ".mp3");
        }
        OpenFolder(folder);
        Dialogs.Clear();
    }
    void Open(int count) { OpenNamedFolder("Live", count); }

    QStringList Titles(int rows) const {
        QStringList texts;
        for (int k = 0; k < rows; ++k) {
            texts << Window->Rows().TitleEdit(k)->text();
        }
        return texts;
    }
    QStringList Albums(int rows) const {
        QStringList texts;
        for (int k = 0; k < rows; ++k) {
            texts << Window->Rows().AlbumEdit(k)->text();
        }
        return texts;
    }
    QStringList Tracks(int rows) const {
        QStringList texts;
        for (int k = 0; k < rows; ++k) {
            texts << Window->Rows().TrackEdit(k)->text();
        }
        return texts;
    }
    void SetTitles(const QStringList& texts) {
        for (int k = 0; k < texts.size(); ++k) {
            Window->Rows().TitleEdit(k)->setText(texts[k]);
        }
    }
    void SetAlbums(const QStringList& texts) {
        for (int k = 0; k < texts.size(); ++k) {
            Window->Rows().AlbumEdit(k)->setText(texts[k]);
        }
    }
    void SetTracks(const QStringList& texts) {
        for (int k = 0; k < texts.size(); ++k) {
            Window->Rows().TrackEdit(k)->setText(texts[k]);
        }
    }

    // A click with the mouse, as the user makes it; Shift goes through the
    // boxes' mouse-down handler.
    static void Click(QCheckBox* box, bool shift = false) {
        QTest::mouseClick(box, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          QPoint(6, box->height() / 2));
    }
};

const QString kNoFiles = QStringLiteral("No mp3-files in the folder.");

TEST_F(BulkTest, TitleFillWithShiftSetsOnlyEmptyRows) {
    Open(4);
    SetTitles({"A", "", " ", "B"});
    Click(Find<QCheckBox>("CheckBox4"), true);
    EXPECT_TRUE(Find<QCheckBox>("CheckBox4")->isChecked());
    EXPECT_EQ(Titles(4), QStringList({"A", "A", "A", "B"}));
    EXPECT_FALSE(State().ShiftClick);
    EXPECT_TRUE(State().PageModified);
}

TEST_F(BulkTest, TitleFillWithoutShiftSetsEveryRow) {
    Open(4);
    SetTitles({"A", "", " ", "B"});
    Click(Find<QCheckBox>("CheckBox4"));
    EXPECT_EQ(Titles(4), QStringList({"A", "A", "A", "A"}));
}

TEST_F(BulkTest, TitleClearWithShiftClearsRowsEqualToTheTop) {
    Open(3);
    Find<QCheckBox>("CheckBox4")->setChecked(true);
    SetTitles({"A", "A ", "B"});
    Click(Find<QCheckBox>("CheckBox4"), true);
    EXPECT_FALSE(Find<QCheckBox>("CheckBox4")->isChecked());
    EXPECT_EQ(Titles(3), QStringList({"", "", "B"}));
    EXPECT_FALSE(State().ShiftClick);
}

TEST_F(BulkTest, TitleClearWithoutShiftEmptiesEveryTitle) {
    Open(3);
    Find<QCheckBox>("CheckBox4")->setChecked(true);
    SetTitles({"A", "A ", "B"});
    Click(Find<QCheckBox>("CheckBox4"));
    EXPECT_EQ(Titles(3), QStringList({"", "", ""}));
}

TEST_F(BulkTest, KeyboardToggleActsWithoutShift) {
    Open(3);
    SetTitles({"A", "", "B"});
    Find<QCheckBox>("CheckBox4")->setFocus();
    QTest::keyClick(Find<QCheckBox>("CheckBox4"), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_TRUE(Find<QCheckBox>("CheckBox4")->isChecked());
    EXPECT_EQ(Titles(3), QStringList({"A", "A", "A"}));
}

TEST_F(BulkTest, TrackFillNumbersTheRowsFromTheTop) {
    Open(5);
    SetTracks({"5", "1", "0", "2", "0"});
    Click(Find<QCheckBox>("CheckBox9"));
    EXPECT_EQ(Tracks(5), QStringList({"5", "6", "7", "8", "9"}));
    SetTracks({"1/60", "1", "0", "2", "0"});
    Find<QCheckBox>("CheckBox9")->setChecked(false);
    Click(Find<QCheckBox>("CheckBox9"));
    EXPECT_EQ(Tracks(5), QStringList({"1/60", "2/60", "3/60", "4/60", "5/60"}));
}

TEST_F(BulkTest, TrackFillWithShiftNumbersOnlyRowsShowingZero) {
    Open(4);
    SetTracks({"5", "0", "3", "0"});
    Click(Find<QCheckBox>("CheckBox9"), true);
    EXPECT_EQ(Tracks(4), QStringList({"5", "5", "3", "6"}));
}

TEST_F(BulkTest, TrackClearEmptiesTheTracks) {
    Open(3);
    Find<QCheckBox>("CheckBox9")->setChecked(true);
    SetTracks({"5", "6", "7"});
    Click(Find<QCheckBox>("CheckBox9"));
    EXPECT_EQ(Tracks(3), QStringList({"", "", ""}));
}

TEST_F(BulkTest, TrackFillWithATopThatIsNoNumberGoesToTheErrorReport) {
    Open(3);
    SetTracks({"", "0", "4"});
    Click(Find<QCheckBox>("CheckBox9"), true);
    EXPECT_EQ(Dialogs.Errors(), QStringList({"'' is not a valid integer value"}));
    EXPECT_EQ(Tracks(3), QStringList({"", "0", "4"}));
    // Refused as a whole: the box shows that nothing was done.
    EXPECT_FALSE(Find<QCheckBox>("CheckBox9")->isChecked());
    EXPECT_FALSE(State().ShiftClick);
}

TEST_F(BulkTest, YearFillWithShiftSetsOnlyRowsShowingMinusOne) {
    Open(3);
    Window->Rows().YearEdit(0)->setText("1999");
    Window->Rows().YearEdit(1)->setText("-1");
    Window->Rows().YearEdit(2)->setText("2004");
    Click(Find<QCheckBox>("CheckBox7"), true);
    EXPECT_EQ(Window->Rows().YearEdit(1)->text(), "1999");
    EXPECT_EQ(Window->Rows().YearEdit(2)->text(), "2004");
    Click(Find<QCheckBox>("CheckBox7"));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Window->Rows().YearEdit(k)->text(), "") << k;
    }
}

TEST_F(BulkTest, GenreFillWithShiftTreatsOneBlankAsEmpty) {
    Open(3);
    Window->Rows().GenreEdit(0)->setEditText("Rock");
    Window->Rows().GenreEdit(1)->setEditText(" ");
    Window->Rows().GenreEdit(2)->setEditText("Jazz");
    Click(Find<QCheckBox>("CheckBox10"), true);
    EXPECT_EQ(Window->Rows().GenreEdit(1)->currentText(), "Rock");
    EXPECT_EQ(Window->Rows().GenreEdit(2)->currentText(), "Jazz");
}

TEST_F(BulkTest, ColumnBoxWithAnEmptyFolderOnlyChangesItsMark) {
    Open(0);
    Click(Find<QCheckBox>("CheckBox4"));
    EXPECT_TRUE(Find<QCheckBox>("CheckBox4")->isChecked());
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
    EXPECT_FALSE(State().PageModified);
}

TEST_F(BulkTest, FolderBoxSetsAlbumsAndGivesThemBack) {
    Open(3);
    SetAlbums({"X", "", "Y"});
    Click(Find<QCheckBox>("CheckBox1"));
    EXPECT_EQ(Albums(3), QStringList({"Live", "Live", "Live"}));
    Click(Find<QCheckBox>("CheckBox1"));
    EXPECT_EQ(Albums(3), QStringList({"X", "", "Y"}));
}

TEST_F(BulkTest, FolderBoxWithShiftFillsEmptyAlbumsAndGivesBackOnlyTheFolderName) {
    Open(3);
    SetAlbums({"X", " ", "Y"});
    Click(Find<QCheckBox>("CheckBox1"), true);
    EXPECT_EQ(Albums(3), QStringList({"X", "Live", "Y"}));
    SetAlbums({"Live", "Live ", "Z"});
    Click(Find<QCheckBox>("CheckBox1"), true);
    EXPECT_EQ(Albums(3), QStringList({"Live", " ", "Z"}));
    EXPECT_FALSE(State().ShiftClick);
}

TEST_F(BulkTest, AlbumBoxAfterFolderBoxKeepsTheTopAlbum) {
    Open(3);
    Click(Find<QCheckBox>("CheckBox1"));
    SetAlbums({"Top", "Live", "Live"});
    Click(Find<QCheckBox>("CheckBox6"));
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("CheckBox6")->isChecked());
    EXPECT_EQ(Albums(3), QStringList({"Top", "Top", "Top"}));
}

TEST_F(BulkTest, FolderBoxAfterAlbumBoxSetsTheFolderNameAndUnchecksBoth) {
    for (bool shift : {false, true}) {
        const QString folder = shift ? "Best" : "Live";
        if (shift) {
            Dialogs.QueueAnswer(TDialogs::Answer::No);  // drop the first round's edits
        }
        OpenNamedFolder(folder.toStdString(), 3);
        Click(Find<QCheckBox>("CheckBox6"));
        SetAlbums({"Top", "Other", ""});
        Click(Find<QCheckBox>("CheckBox1"), shift);
        EXPECT_EQ(Albums(3), QStringList({folder, folder, folder})) << shift;
        EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked()) << shift;
        EXPECT_FALSE(Find<QCheckBox>("CheckBox6")->isChecked()) << shift;
        EXPECT_FALSE(State().ShiftClick);
    }
}

TEST_F(BulkTest, NamesSetsTitlesFromFileNames) {
    const std::string folder = Dir.File("Names");
    std::filesystem::create_directory(folder);
    for (const char* name : {"Song.mp3", "a.mp3", ".mp3"}) {
        testing_mp3::WriteMp3(folder + "/" + name);
    }
    OpenFolder(folder);
    Find<QToolButton>("SpeedButton6")->click();
    for (int k = 0; k < 3; ++k) {
        const std::string& name = State().FileList[k];
        const QString expected = name == "Song.mp3" ? "Song" : name == "a.mp3" ? "a" : "";
        EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), expected) << name;
    }
}

TEST_F(BulkTest, NamesKeepCharactersARecordCannotHoldAndMarkThem) {
    const std::string folder = Dir.File("Wide");
    std::filesystem::create_directory(folder);
    testing_mp3::WriteMp3(folder + "/Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.mp3");
    OpenFolder(folder);
    Find<QToolButton>("SpeedButton6")->click();
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(),
              QString::fromUtf8("Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"));
    EXPECT_TRUE(Window->Rows().NotStorable(Window->Rows().TitleEdit(0)));
}

TEST_F(BulkTest, PageCommandsTouchExactlyTheRowsOfTheCurrentPage) {
    Open(45);
    // Untagged rows show Classical; start from another genre.
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        Window->Rows().GenreEdit(k)->setEditText("Rock");
    }
    Find<QToolButton>("SpeedButton5")->click();
    Find<QToolButton>("SpeedButton6")->click();
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        EXPECT_EQ(Window->Rows().GenreEdit(k)->currentText(), "Classical") << k;
        EXPECT_EQ(Window->Rows().TitleEdit(k)->text(),
                  QString::fromStdString(State().FileList[k]).chopped(4))
            << k;
    }
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Find<QToolButton>("SpeedButton3")->click();
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), "") << k;
        EXPECT_EQ(Window->Rows().GenreEdit(k)->currentText(), "") << k;
    }
}

TEST_F(BulkTest, PageCommandsOnTheLastPageLeaveTheHiddenRowsAlone) {
    Open(42);
    Window->OikealleClick();
    ASSERT_EQ(State().PageIndex, 1);
    Window->Rows().TitleEdit(2)->setText("hidden");
    Window->Rows().GenreEdit(2)->setEditText("Rock");
    Find<QToolButton>("SpeedButton6")->click();
    Find<QToolButton>("SpeedButton5")->click();
    EXPECT_EQ(Window->Rows().TitleEdit(1)->text(),
              QString::fromStdString(State().FileList[41]).chopped(4));
    EXPECT_EQ(Window->Rows().TitleEdit(2)->text(), "hidden");
    EXPECT_NE(Window->Rows().GenreEdit(2)->currentText(), "Classical");
}

TEST_F(BulkTest, EraseAllRowsAsksAndEmptiesEveryValue) {
    Open(2);
    SetTitles({"A", "B"});
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Find<QToolButton>("SpeedButton3")->click();
    EXPECT_EQ(Dialogs.Questions(), QStringList({"Are you sure you want to erase all?"}));
    EXPECT_EQ(Titles(2), QStringList({"A", "B"}));

    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Find<QToolButton>("SpeedButton3")->click();
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().ArtistEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().AlbumEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().CommentEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().YearEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().TrackEdit(k)->text(), "");
        EXPECT_EQ(Window->Rows().GenreEdit(k)->currentText(), "");
        EXPECT_EQ(Window->Rows().FileLabel(k)->text(), QString::fromStdString(State().FileList[k]));
    }
    // The files are untagged: every value stands as loaded again, nothing is unsaved.
    EXPECT_FALSE(State().PageModified);
}

TEST_F(BulkTest, RevertWithoutEditsAsksNothing) {
    Open(2);
    const QStringList titles = Titles(2);
    Find<QToolButton>("SpeedButton4")->click();
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
    EXPECT_EQ(Titles(2), titles);
}

TEST_F(BulkTest, RevertReloadsTheEditedPageOnYesOnly) {
    Open(2);
    const QStringList titles = Titles(2);
    Window->Rows().TitleEdit(1)->setText("edited");
    ASSERT_TRUE(Find<QToolButton>("SpeedButton4")->isEnabled());

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Find<QToolButton>("SpeedButton4")->click();
    EXPECT_EQ(Window->Rows().TitleEdit(1)->text(), "edited");
    EXPECT_TRUE(State().PageModified);

    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Find<QToolButton>("SpeedButton4")->click();
    EXPECT_EQ(Dialogs.Questions().size(), 2);
    EXPECT_EQ(Dialogs.Questions().back(),
              "If you will revert to last saved version, all modifications after your last "
              "saving, will lose. Continue?");
    EXPECT_EQ(Titles(2), titles);
    EXPECT_FALSE(State().PageModified);
    EXPECT_FALSE(Find<QToolButton>("SpeedButton4")->isEnabled());
}

TEST_F(BulkTest, PageCommandsWithAnEmptyFolderSayThereAreNoFiles) {
    Open(0);
    for (QToolButton* button :
         {Find<QToolButton>("SpeedButton5"), Find<QToolButton>("SpeedButton6"),
          Find<QToolButton>("SpeedButton3"), Find<QToolButton>("SpeedButton4")}) {
        button->setEnabled(true);
        button->click();
    }
    EXPECT_EQ(Dialogs.Messages(), QStringList({kNoFiles, kNoFiles, kNoFiles, kNoFiles}));
    EXPECT_TRUE(Dialogs.Questions().isEmpty());
}

}  // namespace
