// Undo and redo in the window: each command and each field edit is one step the
// keys take back and give again; undo writes no file; the history goes with the page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

class UndoTest : public WindowFixture {
  protected:
    std::string Values() const {
        QStringList values;
        for (int k = 0; k < Window->RowsInScope(); ++k) {
            for (const QWidget* control : Window->Rows().ValueControls(k)) {
                values << TRowView::ValueText(control);
            }
        }
        return values.join(u'|').toStdString();
    }
    void Type(QWidget* field, const QString& text) {
        field->setFocus();
        TypeText(text);
    }
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(UndoTest, EachCommandIsOneStepTakenBackAndGivenAgain) {
    struct Case {
        const char* step;  // the menu's "Undo <step>"
        std::function<void()> act;
        bool prepared = false;  // act runs a step of its own before the one named
    } cases[] = {
        {"Typing in Title", [this] { Type(Window->Rows().TitleEdit(1), QStringLiteral("ab")); }},
        {"Fill Artist", [this] { Find<QCheckBox>("CheckBox5")->click(); }},
        {"Track Numbering",
         [this] {
             // Typed first, so the numbering starts from it; the click ends that edit.
             Type(Window->Rows().TrackEdit(0), QStringLiteral("7"));
             Find<QCheckBox>("CheckBox9")->click();
         },
         true},
        {"Names", [this] { Find<QToolButton>("SpeedButton6")->click(); }},
        {"Folder Name to Albums", [this] { Find<QCheckBox>("CheckBox1")->click(); }},
        {"Classical", [this] { Find<QToolButton>("SpeedButton5")->click(); }},
        {"Erase All Rows",
         [this] {
             Dialogs.QueueAnswer(TDialogs::Answer::Yes);
             Find<QToolButton>("SpeedButton3")->click();
         }},
        {"Revert to Saved",
         [this] {
             Find<QToolButton>("SpeedButton6")->click();
             Dialogs.QueueAnswer(TDialogs::Answer::Yes);
             Find<QToolButton>("SpeedButton4")->click();
         },
         true},
        {"Tags from File Names", [this] { RunNaming("Tags from File Names", "song%{track}"); }},
    };
    OpenWindow(3, true);
    const std::string loaded = Values();
    for (const Case& c : cases) {
        const std::string before = Values();
        c.act();
        const std::string done = Values();
        EXPECT_EQ(Command("Undo")->text(), QStringLiteral("Undo %1").arg(c.step));
        // The keys reach the window's commands also from inside a field.
        Keys(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Command("Redo")->text(), QStringLiteral("Redo %1").arg(c.step));
        if (!c.prepared) {
            EXPECT_EQ(Values(), before) << c.step;
        }
        Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Values(), done) << c.step;
        while (Command("Undo")->isEnabled()) {
            Command("Undo")->trigger();
        }
        EXPECT_EQ(Values(), loaded) << c.step;
        EXPECT_FALSE(State().PageModified) << c.step;
        Keys(Qt::Key_Y, Qt::ControlModifier);
        Command("Undo")->trigger();
        EXPECT_EQ(Values(), loaded) << c.step;
    }
}

TEST_F(UndoTest, UndoAfterASaveLeavesTheFileAndMarksTheRowUnsaved) {
    OpenWindow(1, true);
    Find<QToolButton>("SpeedButton6")->click();
    Find<QToolButton>("SpeedButton2")->click();
    const std::string path = PathOf("song000.mp3");
    const testing_mp3::Bytes saved = testing_mp3::ReadFile(path);
    const platform::FileTime written = testing_mp3::ModificationTime(path);
    Command("Undo Names")->trigger();
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), QStringLiteral("Title 0"));
    EXPECT_TRUE(Window->RowModel().Unsaved(0));
    EXPECT_TRUE(State().PageModified);
    EXPECT_EQ(testing_mp3::ReadFile(path), saved);
    EXPECT_EQ(testing_mp3::ModificationTime(path), written);
}

TEST_F(UndoTest, TheHistoryGoesWithThePageAndTheStatusBarSaysSo) {
    OpenWindow(41);
    Find<QToolButton>("SpeedButton5")->click();
    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Find<QToolButton>("Oikealle")->click();
    EXPECT_FALSE(Command("Undo")->isEnabled());
    EXPECT_EQ(Window->findChild<QStatusBar*>()->currentMessage(),
              QStringLiteral("Undo history cleared: page changed."));
}

}  // namespace
