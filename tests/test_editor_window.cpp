// The main window right after start: captions, disabled buttons, the tag kind,
// the caption rule and the logo clicks.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

#include "editor/dialogs/about_dialog.h"
#include "editor/dialogs/form2.h"
#include "editor/model/page_logic.h"
#include "editor/startup/application.h"
#include "editor/widgets/colours.h"
#include "editor/widgets/fonts.h"
#include "editor/widgets/shell_tree.h"
#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

using WindowStart = WindowFixture;

TEST_F(WindowStart, ShowsTheFirstKindWithSaveButtonsDisabled) {
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "ID3v1.1");
    EXPECT_EQ(Find<QToolButton>("SpeedButton7")->text(), "&Modify ID3v2.3.0-tags");
    EXPECT_EQ(Find<QToolButton>("SpeedButton8")->text(), "&Copy tags to Id3v2");
    EXPECT_FALSE(Find<QToolButton>("SpeedButton1")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>("SpeedButton2")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>("SpeedButton4")->isEnabled());
    EXPECT_TRUE(Find<QToolButton>("SpeedButton3")->isEnabled());
    EXPECT_EQ(State().TagKind, 1);
    EXPECT_EQ(State().PageIndex, 0);
    EXPECT_FALSE(State().PageModified);
    EXPECT_TRUE(State().FileList.empty());
    EXPECT_EQ(Window->windowTitle(), "Tagvora v1.4");
    EXPECT_EQ(Window->TitleText(), "Tagvora v1.4");
}

TEST_F(WindowStart, HidesPagingAndEveryRow) {
    EXPECT_TRUE(Find<QLabel>("Label9")->isHidden());
    EXPECT_TRUE(Find<QToolButton>("Vasemmalle")->isHidden());
    EXPECT_TRUE(Find<QToolButton>("Oikealle")->isHidden());
    EXPECT_TRUE(Find<QPushButton>("Button2")->isHidden());
    EXPECT_TRUE(Find<QLabel>("Label8")->isHidden());
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        ASSERT_NE(Window->Rows().FileLabel(k), nullptr) << k;
        EXPECT_TRUE(Window->Rows().FileLabel(k)->isHidden());
        for (QWidget* control : Window->Rows().ValueControls(k)) {
            ASSERT_NE(control, nullptr) << k;
            EXPECT_TRUE(control->isHidden()) << control->objectName().toStdString();
        }
    }
    EXPECT_TRUE(Find<TShellTreeView>("ShellTreeView1")->Path().isEmpty());
}

TEST_F(WindowStart, PlacesRowsAndTheirLimits) {
    EXPECT_EQ(Window->Rows().TitleEdit(0)->geometry(), QRect(100, 10, 108, 20));
    EXPECT_EQ(Window->Rows().ArtistEdit(39)->geometry(), QRect(210, 10 + 20 * 39, 120, 20));
    EXPECT_EQ(Window->Rows().AlbumEdit(1)->x(), 332);
    EXPECT_EQ(Window->Rows().YearEdit(1)->geometry(), QRect(454, 30, 50, 20));
    EXPECT_EQ(Window->Rows().CommentEdit(1)->x(), 506);
    EXPECT_EQ(Window->Rows().TrackEdit(1)->x(), 628);
    EXPECT_EQ(Window->Rows().GenreEdit(1)->geometry(), QRect(680, 30, 96, 20));
    EXPECT_EQ(Window->Rows().FileLabel(2)->pos(), QPoint(10, 50));
    EXPECT_EQ(Window->Rows().YearEdit(0)->minimum(), -1);
    EXPECT_EQ(Window->Rows().YearEdit(0)->maximum(), 9999);
    EXPECT_EQ(Window->Rows().TrackEdit(0)->maximum(), 255);
    EXPECT_EQ(Window->Rows().GenreEdit(0)->count(), 193);
    EXPECT_EQ(Window->Rows().GenreEdit(0)->maxVisibleItems(), 20);
    // Title and artist are the only tab stops at start.
    EXPECT_EQ(Window->Rows().TitleEdit(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    EXPECT_EQ(Window->Rows().ArtistEdit(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    EXPECT_NE(Window->Rows().AlbumEdit(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    EXPECT_NE(Window->Rows().GenreEdit(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST_F(WindowStart, GenreItemsAreSortedWithoutRegardToCase) {
    QComboBox* genre = Window->Rows().GenreEdit(0);
    for (int i = 1; i < genre->count(); ++i) {
        EXPECT_LE(QString::compare(genre->itemText(i - 1), genre->itemText(i), Qt::CaseInsensitive),
                  0);
    }
}

TEST_F(WindowStart, FlatButtonsNeverTakeTheFocus) {
    for (QToolButton* button :
         {Find<QToolButton>("SpeedButton1"), Find<QToolButton>("SpeedButton2"),
          Find<QToolButton>("SpeedButton3"), Find<QToolButton>("SpeedButton4"),
          Find<QToolButton>("SpeedButton5"), Find<QToolButton>("SpeedButton6"),
          Find<QToolButton>("SpeedButton7"), Find<QToolButton>("SpeedButton8"),
          Find<QToolButton>("Vasemmalle"), Find<QToolButton>("Oikealle"),
          Find<QToolButton>("PlayButton")}) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
    }
}

TEST_F(WindowStart, CaptionNamesTheChosenFolder) {
    OpenWindow(1);
    EXPECT_EQ(Window->windowTitle().toStdString(), "Tagvora v1.4 - (" + Dir.Path() + ")");
    OpenFolder("/");
    EXPECT_EQ(Window->windowTitle(), "Tagvora v1.4 - (/)");
}

TEST_F(WindowStart, OpensTheNamedFolderInViewAndNextTimeTheFolderOfTheLastRun) {
    MakeFiles(2);
    Window->show();
    // "Open with" passes a file: its folder opens, selected in the tree and in view.
    Window->OpenStartFolder(QString::fromStdString(PathOf("song001.mp3")));
    EXPECT_EQ(State().FolderPath, Dir.Path());
    EXPECT_EQ(Window->RowsInScope(), 2);
    auto* tree = Find<TShellTreeView>("ShellTreeView1");
    EXPECT_EQ(tree->Path().toStdString(), Dir.Path());
    QApplication::processEvents();
    EXPECT_TRUE(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));

    Window = std::make_unique<TForm1>(Tag, Dialogs, Media);
    Window->show();
    Window->OpenStartFolder({});
    EXPECT_EQ(State().FolderPath, Dir.Path());
}

TEST_F(WindowStart, LogoAndItsLabelsAndTheMenuOpenTheAboutBox) {
    Window->show();
    for (const char* target : {"Image1", "Label1", "Label3", "Label4", ""}) {
        Dialogs.QueueModal([](QDialog* dialog) {
            auto* about = static_cast<TAboutDlg*>(dialog);
            EXPECT_EQ(about->windowTitle(), "About Tagvora...");
            EXPECT_EQ(Control<QLabel>(*about, "Label1")->text(), "Tagvora v1.4");
            EXPECT_TRUE(Control<QPushButton>(*about, "OKButton")->isDefault());
            // The logo carries a note and the program's name in the logo green.
            const QImage logo = Control<QLabel>(*about, "Image1")->pixmap().toImage();
            EXPECT_EQ(logo.pixelColor(22, 62), colours::kLogoGreen);
            return int(QDialog::Accepted);
        });
        *target ? QTest::mouseClick(Find<QLabel>(target), Qt::LeftButton)
                : Command("About Tagvora")->trigger();
    }
    EXPECT_EQ(Dialogs.Texts(ScriptedDialogs::Kind::Modal).size(), 5);
    QTest::mouseClick(Find<QLabel>("Label11"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Messages(), QStringList{"Hello!"});
}

TEST_F(WindowStart, FontsAreTheDesktopsFontsOfTheirRole) {
    // The layouts name fonts that Linux does not have; each stands for a role.
    const auto family = [](const QFont& font) { return QFontInfo(font).family().toStdString(); };
    const std::string sans = family(fonts::PixelFont(fonts::Role::Sans, 11));
    const std::string serif = family(fonts::PixelFont(fonts::Role::Serif, 13));
    ASSERT_TRUE(QFontDatabase::families().contains(QString::fromStdString(serif))) << serif;
    TForm2 dialog;
    const struct {
        const QWidget* widget;
        const std::string& family;
    } cases[] = {{Window.get(), sans},
                 {Find<QLabel>("Label4"), sans},
                 {Find<QLabel>("Label8"), serif},
                 {Window->Rows().YearEdit(0), serif},
                 {&dialog, sans},
                 {Control<QListWidget>(dialog, "CheckListBox1"), serif}};
    for (const auto& each : cases) {
        EXPECT_EQ(family(each.widget->font()), each.family)
            << each.widget->objectName().toStdString();
    }
}

TEST(AboutBox, OkAndEnterClose) {
    TAboutDlg about;
    EXPECT_EQ(about.size(), QSize(470, 215));
    about.show();
    QTest::mouseClick(Control<QPushButton>(about, "OKButton"), Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
    about.show();
    about.setResult(QDialog::Rejected);
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(Application, HintTimingsReachTheStyle) {
    auto* application = static_cast<TApplication*>(qApp);
    application->SetHintTimings(10, 5000);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 10);
}

TEST(Application, ExceptionLeavingAHandlerIsReportedInAnErrorBox) {
    ScriptedDialogs dialogs;
    auto* application = static_cast<TApplication*>(qApp);
    application->SetDialogs(&dialogs);
    QObject thrower;
    QObject::connect(&thrower, &QObject::objectNameChanged,
                     [] { throw std::runtime_error("disk gone"); });
    QTimer::singleShot(0, &thrower, [&thrower] { thrower.setObjectName("x"); });
    QTest::qWait(20);
    application->SetDialogs(nullptr);
    EXPECT_EQ(dialogs.Errors(), QStringList{"disk gone"});
}

TEST_F(WindowStart, AltLettersRunTheirCommandsEvenWhereCaptionsShareThem) {
    OpenWindow(2);
    Window->Rows().TitleEdit(0)->setFocus();
    struct {
        Qt::Key key;
        QToolButton* runs;
    } cases[] = {{Qt::Key_S, Find<QToolButton>("SpeedButton1")},
                 {Qt::Key_C, Find<QToolButton>("SpeedButton8")},
                 {Qt::Key_N, Find<QToolButton>("SpeedButton6")},
                 {Qt::Key_E, Find<QToolButton>("SpeedButton3")}};
    for (const auto& each : cases) {
        each.runs->setEnabled(true);
        // Keep the commands from running: only the routing of the key is tested.
        QObject::disconnect(each.runs, &QToolButton::clicked, nullptr, nullptr);
        QSignalSpy clicked(each.runs, &QToolButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), each.key, Qt::AltModifier);
        EXPECT_TRUE(clicked.wait(1000)) << each.runs->objectName().toStdString();
    }
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
}

TEST_F(WindowStart, CaptionsFitInsideTheWindowAtItsNormalSize) {
    Window->show();
    ASSERT_EQ(Window->width(), 806);
    const QWidget* panel = Find<QWidget>("Panel2");
    for (const QAbstractButton* button : panel->findChildren<QAbstractButton*>()) {
        EXPECT_LE(button->x() + button->sizeHint().width(), Window->width())
            << button->objectName().toStdString();
    }
}

TEST_F(WindowStart, PagesTurnByKeysAndTheStartFocusesANamedFileOrReportsItGone) {
    MakeFiles(45);
    Window->show();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    // "Open with" on a file of the second page shows that page, its row focused.
    Window->OpenStartFolder(QString::fromStdString(PathOf("song041.mp3")));
    EXPECT_EQ(QApplication::focusWidget(), Window->Rows().TitleEdit(1));
    for (const auto& [key, page] : {std::pair{Qt::Key_PageDown, 1},
                                    {Qt::Key_PageUp, 0},
                                    {Qt::Key_PageUp, 0},
                                    {Qt::Key_PageDown, 1}}) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        EXPECT_EQ(State().PageIndex, page) << key;
    }
    Window->OpenStartFolder(QString::fromStdString(PathOf("gone.mp3")));
    EXPECT_TRUE(Dialogs.Errors().value(0).contains(QString::fromStdString(PathOf("gone.mp3"))));
}

TEST_F(WindowStart, AtItsMinimumSizeTheCommandPanelAndTwoRowsStayInView) {
    OpenWindow(3);
    Window->showNormal();
    Window->resize(1, 1);
    QApplication::processEvents();
    const QWidget* panel = Find<QWidget>("Panel2");
    EXPECT_EQ(panel->height(), 216);
    for (const QWidget* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_LE(control->geometry().right(), panel->width())
            << control->objectName().toStdString();
    }
    EXPECT_GE(Find<QScrollArea>("ScrollBox1")->viewport()->height(),
              Window->Rows().TitleEdit(1)->geometry().bottom());
}
