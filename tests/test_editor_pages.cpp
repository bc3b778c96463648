// Folder listing and pages of rows: labels, page buttons, shown and hidden
// rows, the modified flag, the save questions, the focused row and the album box.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "editor/model/page_logic.h"
#include "editor/widgets/shell_tree.h"
#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

int ShownRows(const TForm1& window) {
    int shown = 0;
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const bool visible = !window.Rows().TitleEdit(k)->isHidden();
        for (QWidget* control : window.Rows().ValueControls(k)) {
            EXPECT_EQ(!control->isHidden(), visible) << control->objectName().toStdString();
        }
        EXPECT_EQ(!window.Rows().FileLabel(k)->isHidden(), visible);
        shown += visible ? 1 : 0;
    }
    return shown;
}

bool SaveButtonsEnabled(const TForm1& window) {
    const bool enabled = Control<QToolButton>(window, "SpeedButton1")->isEnabled();
    EXPECT_EQ(Control<QToolButton>(window, "SpeedButton2")->isEnabled(), enabled);
    EXPECT_EQ(Control<QToolButton>(window, "SpeedButton4")->isEnabled(), enabled);
    return enabled;
}

}  // namespace

struct PageCase {
    int files;
    int page;  // the page shown after pressing next page-1 times
    const char* label;
    int rows;
    bool next;
    bool previous;
};

class PageLayout : public WindowFixture, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageLayout, ShowsTheFilesOfThePage) {
    const PageCase& c = GetParam();
    OpenWindow(c.files, true);
    for (int page = 0; page < c.page; ++page) {
        QTest::mouseClick(Find<QToolButton>("Oikealle"), Qt::LeftButton);
    }
    EXPECT_EQ(State().PageIndex, c.page);
    EXPECT_EQ(Find<QLabel>("Label9")->text(), c.label);
    EXPECT_FALSE(Find<QLabel>("Label9")->isHidden());
    EXPECT_EQ(ShownRows(*Window), c.rows);
    EXPECT_EQ(Window->RowsInScope(), c.rows);
    EXPECT_EQ(!Find<QToolButton>("Oikealle")->isHidden(), c.next);
    EXPECT_EQ(!Find<QToolButton>("Vasemmalle")->isHidden(), c.previous);
    EXPECT_EQ(!Find<QLabel>("Label8")->isHidden(), c.files == 0);
    for (int k = 0; k < c.rows; ++k) {
        const std::string& name = State().FileList[c.page * 40 + k];
        EXPECT_EQ(Window->Rows().FileLabel(k)->text().toStdString(), name);
        EXPECT_EQ(Window->Rows().FileLabel(k)->toolTip().toStdString(), name);
        // The generated record of file "songNNN.mp3" is titled "Title NNN" (as a number).
        EXPECT_EQ(Window->Rows().TitleEdit(k)->text().toStdString(),
                  "Title " + std::to_string(std::stoi(name.substr(4, 3))));
    }
    EXPECT_FALSE(State().PageModified);
    EXPECT_FALSE(SaveButtonsEnabled(*Window));
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Counts, PageLayout,
                         ::testing::Values(PageCase{0, 0, "Page 1/1", 0, false, false},
                                           PageCase{40, 0, "Page 1/1", 40, false, false},
                                           PageCase{41, 0, "Page 1/2", 40, true, false},
                                           PageCase{41, 1, "Page 2/2", 1, false, true},
                                           PageCase{80, 1, "Page 2/2", 40, false, true},
                                           PageCase{81, 1, "Page 2/3", 40, true, true},
                                           PageCase{81, 2, "Page 3/3", 1, false, true}));

class Pages : public WindowFixture {};

TEST_F(Pages, ListsEveryMp3EntryInFileManagerOrder) {
    // Created in an order that the directory's hash order does not keep either.
    for (const char* name : {"10 - b.mp3", "Loud.MP3", "2 - a.mp3", "song001.mp3", "loud.mp3",
                             "song000.mp3", ".hidden.mp3", "notes.txt"}) {
        testing_mp3::WriteMp3(Dir.File(name));
    }
    std::filesystem::create_directory(Dir.File("folder.mp3"));
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);  // not asked: nothing is modified
    OpenFolder();
    // Digit runs by value, case ignored; names equal but for case in byte order.
    const std::vector<std::string> expected = {".hidden.mp3", "2 - a.mp3",  "10 - b.mp3",
                                               "folder.mp3",  "Loud.MP3",   "loud.mp3",
                                               "song000.mp3", "song001.mp3"};
    EXPECT_EQ(State().FileList, expected);
    for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
        EXPECT_EQ(Window->Rows().FileLabel(k)->text().toStdString(), expected[k]);
    }
    // The folder cannot be read as a file: reported, and the page still ends complete.
    EXPECT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_EQ(ShownRows(*Window), 8);
    EXPECT_FALSE(State().PageModified);
}

TEST_F(Pages, FileGoneBeforeItsRowIsFilledIsReportedAndShown) {
    MakeFiles(2);
    OpenFolder();
    std::filesystem::remove(Dir.File(State().FileList[1]));
    Find<QPushButton>("Button2")->click();
    EXPECT_EQ(Dialogs.Messages(), QStringList{QString::fromStdString(State().FileList[1]) +
                                              " could not be found for some reason..."});
    EXPECT_EQ(ShownRows(*Window), 2);
    EXPECT_TRUE(Window->Rows().FileLabel(1)->toolTip().endsWith("\nThe file could not be found."));

    Dialogs.Clear();
    Window->SpeedButton7Click();  // the ID3v2 kind finds the file gone too
    EXPECT_EQ(Dialogs.Messages(), QStringList{QString::fromStdString(State().FileList[1]) +
                                              " could not be found for some reason..."});
    EXPECT_EQ(ShownRows(*Window), 2);
}

TEST_F(Pages, OneTypedCharacterMarksThePageModified) {
    OpenWindow(2, true);
    ASSERT_EQ(QApplication::focusWidget(), Window->Rows().TitleEdit(0));
    // The page builder leaves the cursor at the start of the text.
    const QString edited = "x" + Window->Rows().TitleEdit(0)->text();
    QTest::keyClicks(QApplication::focusWidget(), "x");
    EXPECT_TRUE(State().PageModified);
    EXPECT_TRUE(SaveButtonsEnabled(*Window));
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited);
}

TEST_F(Pages, EveryValueControlReportsChanges) {
    OpenWindow(1, true);
    for (QWidget* control : Window->Rows().ValueControls(0)) {
        Find<QPushButton>("Button2")->click();
        ASSERT_FALSE(State().PageModified);
        control->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "7");
        EXPECT_TRUE(State().PageModified) << control->objectName().toStdString();
        EXPECT_TRUE(SaveButtonsEnabled(*Window));
    }
}

TEST_F(Pages, BuildingAPageFocusesTheFirstTitle) {
    OpenWindow(3);
    Window->Rows().ArtistEdit(2)->setFocus();
    Find<QPushButton>("Button2")->click();
    EXPECT_EQ(QApplication::focusWidget(), Window->Rows().TitleEdit(0));
}

TEST_F(Pages, PageQuestionAnswersOnNextPage) {
    OpenWindow(41, true);
    const QString question =
        "Do you want to save the changes made to this page?\n\n"
        "No = the changes on this page will lose\n"
        "Cancel = keep on this page";

    const QString edited = "x" + Window->Rows().TitleEdit(0)->text();
    QTest::keyClicks(QApplication::focusWidget(), "x");
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    QTest::mouseClick(Find<QToolButton>("Oikealle"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Questions(), QStringList{question});
    EXPECT_EQ(Dialogs.Messages(), QStringList{"No changes is saved."});
    EXPECT_EQ(State().PageIndex, 0);
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited);
    EXPECT_TRUE(State().PageModified);

    Dialogs.Clear();
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    QTest::mouseClick(Find<QToolButton>("Oikealle"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Questions().size(), 1);
    EXPECT_EQ(State().PageIndex, 1);
    EXPECT_FALSE(State().PageModified);
    EXPECT_FALSE(SaveButtonsEnabled(*Window));
}

TEST_F(Pages, PageQuestionAnswersOnPreviousPage) {
    OpenWindow(41, true);
    QTest::mouseClick(Find<QToolButton>("Oikealle"), Qt::LeftButton);
    const QString edited = "x" + Window->Rows().TitleEdit(0)->text();
    QTest::keyClicks(QApplication::focusWidget(), "x");

    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    QTest::mouseClick(Find<QToolButton>("Vasemmalle"), Qt::LeftButton);
    EXPECT_EQ(State().PageIndex, 1);
    EXPECT_TRUE(Dialogs.Messages().isEmpty());
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited);

    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    QTest::mouseClick(Find<QToolButton>("Vasemmalle"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Questions().size(), 2);
    EXPECT_EQ(State().PageIndex, 0);
    EXPECT_FALSE(State().PageModified);
}

class FolderChange : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        other_ = Dir.File("other");
        std::filesystem::create_directory(other_);
        testing_mp3::WriteMp3(other_ + "/x.mp3", {}, 2,
                              testing_mp3::V1Record("Other", "", "", "1999", "", 1, 0));
        OpenWindow(2, true);
        edited_ = "x" + Window->Rows().TitleEdit(0)->text();
        QTest::keyClicks(QApplication::focusWidget(), "x");
    }
    std::string other_;
    QString edited_;
    const QString question_ =
        "Do you want to save the changes made on this page before changing the directory?\n\n"
        "No = changes will lose\n"
        "Cancel = keep on this directory";
};

TEST_F(FolderChange, CancelKeepsTheFolderAndTheRows) {
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    EXPECT_FALSE(Window->SelectFolder(QString::fromStdString(other_)));
    EXPECT_EQ(Dialogs.Questions(), QStringList{question_});
    EXPECT_EQ(Find<TShellTreeView>("ShellTreeView1")->Path().toStdString(), Dir.Path());
    EXPECT_EQ(State().FolderPath, Dir.Path());
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited_);
    EXPECT_TRUE(State().PageModified);
}

TEST_F(FolderChange, NoDropsTheEditsAndOpensTheFolder) {
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    EXPECT_TRUE(Window->SelectFolder(QString::fromStdString(other_)));
    EXPECT_EQ(State().FolderPath, other_);
    EXPECT_EQ(State().FileList, std::vector<std::string>{"x.mp3"});
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "Other");
    EXPECT_FALSE(State().PageModified);
    EXPECT_EQ(Find<QComboBox>("ShellComboBox1")->currentData().toString().toStdString(), other_);
}

TEST_F(FolderChange, YesSavesThenOpensTheFolder) {
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    EXPECT_TRUE(Window->SelectFolder(QString::fromStdString(other_)));
    EXPECT_EQ(Dialogs.Questions().size(), 1);
    EXPECT_EQ(State().FolderPath, other_);
}

TEST_F(FolderChange, FailedSaveAfterYesKeepsTheFolderAndLaterQuestionsAsk) {
    // The edited row's file turns into a folder, so writing its record fails.
    const std::string edited = Window->FilePath(0);
    std::filesystem::remove(edited);
    std::filesystem::create_directory(edited);
    const QString other = QString::fromStdString(other_);
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    EXPECT_FALSE(Window->SelectFolder(other));
    // The save's error box first; the page built after it tells the unreadable file too.
    EXPECT_TRUE(Dialogs.Errors().value(0).startsWith("Error #"));
    EXPECT_EQ(State().FolderPath, Dir.Path());
    EXPECT_TRUE(State().PageModified);
    // No answer outlives the failed change: each later change asks again.
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    EXPECT_FALSE(Window->SelectFolder(other));
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    EXPECT_TRUE(Window->SelectFolder(other));
    EXPECT_EQ(Dialogs.Questions().size(), 3);
    EXPECT_EQ(State().FolderPath, other_);
}

TEST_F(FolderChange, ClickOnTheSameFolderAsksBeforeDroppingEdits) {
    const QString folder = QString::fromStdString(Dir.Path());
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    EXPECT_TRUE(Window->SelectFolder(folder));
    EXPECT_EQ(Dialogs.Questions(), QStringList{question_});
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited_);
    EXPECT_TRUE(State().PageModified);

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    EXPECT_TRUE(Window->SelectFolder(folder));
    EXPECT_EQ("x" + Window->Rows().TitleEdit(0)->text(), edited_);
    EXPECT_FALSE(State().PageModified);

    Dialogs.Clear();
    EXPECT_TRUE(Window->SelectFolder(folder));  // nothing to lose: no question
    EXPECT_TRUE(Dialogs.Questions().isEmpty());
}

TEST_F(FolderChange, KeyboardMovesAskBuildTheNewPageAndKeepTheFocusInTheTree) {
    const std::string next = Dir.File("other2");
    std::filesystem::create_directory(next);
    testing_mp3::WriteMp3(next + "/y.mp3", {}, 2,
                          testing_mp3::V1Record("Next", "", "", "1999", "", 1, 0));
    TShellTreeView* tree = Find<TShellTreeView>("ShellTreeView1");
    const QModelIndex folder = tree->currentIndex();
    tree->expand(folder);
    // The model lists and sorts folders in the background.
    QTRY_COMPARE(tree->model()->rowCount(folder), 2);
    QTRY_COMPARE(tree->model()->index(0, 0, folder).data().toString(), "other");
    tree->setFocus();
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(tree->Path(), QString::fromStdString(other_));
    EXPECT_EQ(Dialogs.Questions(), QStringList{question_});
    EXPECT_EQ(State().FolderPath, other_);
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "Other");
    EXPECT_FALSE(State().PageModified);
    // The next key goes on through the folders, not into the rows.
    EXPECT_EQ(QApplication::focusWidget(), tree);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(State().FolderPath, next);
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "Next");
}

TEST_F(FolderChange, RefusedMouseClickLeavesTheRowsAlone) {
    TShellTreeView* tree = Find<TShellTreeView>("ShellTreeView1");
    tree->expand(tree->currentIndex());
    QTRY_COMPARE(tree->model()->rowCount(tree->currentIndex()), 1);
    const QModelIndex target = tree->model()->index(0, 0, tree->currentIndex());
    tree->scrollTo(target);
    const QRect cell = tree->visualRect(target);
    ASSERT_TRUE(tree->viewport()->rect().contains(cell.center()));
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(Dialogs.Questions().size(), 1);
    EXPECT_EQ(State().FolderPath, Dir.Path());
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited_);
    EXPECT_TRUE(State().PageModified);

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(State().FolderPath, other_);
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "Other");
    EXPECT_FALSE(State().PageModified);
}

TEST_F(FolderChange, ComboHoldsThePathAndItsAncestorsAndSelectsInTheTree) {
    QComboBox* combo = Find<QComboBox>("ShellComboBox1");
    ASSERT_GE(combo->count(), 2);
    EXPECT_EQ(combo->itemData(0).toString(), "/");
    EXPECT_EQ(combo->currentData().toString().toStdString(), Dir.Path());
    const int parent = combo->count() - 2;
    const std::string parentPath = combo->itemData(parent).toString().toStdString();

    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    combo->setCurrentIndex(parent);
    emit combo->activated(parent);
    EXPECT_EQ(State().FolderPath, Dir.Path());
    EXPECT_EQ(combo->currentData().toString().toStdString(), Dir.Path());
    EXPECT_TRUE(State().PageModified);

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    combo->setCurrentIndex(parent);
    emit combo->activated(parent);
    EXPECT_EQ(Find<TShellTreeView>("ShellTreeView1")->Path().toStdString(), parentPath);
    EXPECT_EQ(State().FolderPath, parentPath);
    EXPECT_FALSE(State().PageModified);
    EXPECT_EQ(Dialogs.Questions().size(), 2);
}

TEST_F(Pages, FindFocusedRowNamesTheRowWithTheFocus) {
    OpenWindow(3);
    EXPECT_EQ(Window->FindFocusedRow(), 0);
    Window->Rows().GenreEdit(2)->setFocus();
    EXPECT_EQ(Window->FindFocusedRow(), 2);
    Window->Rows().YearEdit(1)->setFocus();
    EXPECT_EQ(Window->FindFocusedRow(), 1);
    Find<TShellTreeView>("ShellTreeView1")->setFocus();
    EXPECT_EQ(Window->FindFocusedRow(), std::nullopt);
    // A hidden row beyond the list never counts.
    Window->Rows().TitleEdit(1)->setFocus();
    State().FileList.resize(1);
    EXPECT_EQ(Window->FindFocusedRow(), std::nullopt);
}

TEST_F(Pages, AlbumNamedLikeTheFolderChecksTheFolderBox) {
    const std::string best = Dir.File("Best");
    std::filesystem::create_directory(best);
    testing_mp3::WriteMp3(best + "/a.mp3", {}, 2,
                          testing_mp3::V1Record("A", "", "Best", "", "", 1, 0));
    testing_mp3::WriteMp3(best + "/b.mp3", {}, 2,
                          testing_mp3::V1Record("B", "", "Other", "", "", 2, 0));
    OpenFolder(best);
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
    QStringList albums = {Window->Rows().AlbumEdit(0)->text(), Window->Rows().AlbumEdit(1)->text()};
    albums.sort();
    EXPECT_EQ(albums, (QStringList{"Best", "Other"}));

    OpenFolder(Dir.Path());
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
}
