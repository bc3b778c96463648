// The read-only removal dialog: sorted list, tick commands, the select-all box
// and its state across showings, and how the dialog closes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "editor/dialogs/form2.h"
#include "tests/helpers/window_fixture.h"

namespace {

class Form2Test : public ::testing::Test {
  protected:
    void SetUp() override { form_ = std::make_unique<TForm2>(); }
    void TearDown() override { form_.reset(); }

    void AddThree() {
        form_->Add("/m/c.mp3");
        form_->Add("/m/A.mp3");
        form_->Add("/m/b.mp3");
    }
    std::vector<bool> Ticks() const {
        std::vector<bool> ticks;
        for (int i = 0; i < form_->Count(); ++i) {
            ticks.push_back(form_->Checked(i));
        }
        return ticks;
    }
    void ShowActive() {
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
    // Runs the dialog modally and does `action` once its event loop runs.
    int ExecWith(std::function<void()> action) {
        QTimer::singleShot(0, form_.get(), [this, action] {
            form_->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
            action();
        });
        return form_->exec();
    }

    template <typename T>
    T* Find(const QString& name) const {
        return Control<T>(*form_, name);
    }

    std::unique_ptr<TForm2> form_;
};

TEST_F(Form2Test, StartsWithItsCaptionSizesAndAnUncheckedSelectAllBox) {
    EXPECT_EQ(form_->windowTitle(), "Remove Read Onlys from Files");
    EXPECT_EQ(form_->size(), QSize(400, 407));
    EXPECT_EQ(form_->minimumSize(), QSize(280, 280));
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Select All");
    EXPECT_TRUE(Find<QPushButton>("OkButton")->isDefault());
}

TEST_F(Form2Test, KeepsEntriesInCaseInsensitiveOrderUnticked) {
    form_->Add("/M/b.mp3");
    form_->Add("/M/A.mp3");
    AddThree();
    ASSERT_EQ(form_->Count(), 5);
    EXPECT_EQ(form_->ItemText(0), "/M/A.mp3");
    EXPECT_EQ(form_->ItemText(1), "/m/A.mp3");
    EXPECT_EQ(form_->ItemText(2), "/M/b.mp3");
    EXPECT_EQ(form_->ItemText(3), "/m/b.mp3");
    EXPECT_EQ(form_->ItemText(4), "/m/c.mp3");
    EXPECT_EQ(Ticks(), std::vector<bool>(5, false));
}

TEST_F(Form2Test, GivesBackAPathThatIsNotUtf8ByteForByte) {
    const std::string latin1Name = "/m/\xE4\xE4ni.mp3";
    form_->Add(latin1Name);
    EXPECT_EQ(form_->ItemText(0), latin1Name);
}

TEST_F(Form2Test, ClearEmptiesTheListButKeepsTheSelectAllBox) {
    AddThree();
    form_->Valitsekaikki1Click();
    form_->Clear();
    EXPECT_EQ(form_->Count(), 0);
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
}

TEST_F(Form2Test, MenuCommandsCarryTheirTextsAndShortcutsInOrder) {
    const QList<QAction*> actions = Find<QMenu>("PopupMenu1")->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0], Find<QAction>("Valitsekaikki1"));
    EXPECT_EQ(actions[0]->text(), "Valitse kaikki");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_EQ(actions[1]->text(), QString::fromUtf8("Käänteinen valinta"));
    EXPECT_EQ(actions[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A));
    EXPECT_EQ(actions[2]->text(), "Poista valinnat");
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));

    ShowActive();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(Find<QListWidget>("CheckListBox1")->viewport(), &rightClick);
    EXPECT_TRUE(Find<QMenu>("PopupMenu1")->isVisible())
        << "a right click in the list opens the menu";
    Find<QMenu>("PopupMenu1")->close();
}

TEST_F(Form2Test, SelectAllAndClearAllSetTheBoxAndItsTip) {
    AddThree();
    form_->Valitsekaikki1Click();
    EXPECT_EQ(Ticks(), std::vector<bool>(3, true));
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Deselect All");

    form_->Poistavalinta1Click();
    EXPECT_EQ(Ticks(), std::vector<bool>(3, false));
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Select All");
}

TEST_F(Form2Test, InvertingLeavesOnlyTheEntryTheUserUnticked) {
    AddThree();
    form_->Valitsekaikki1Click();
    form_->SetChecked(1, false);
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked()) << "a single tick never moves the box";

    form_->Knteinenvalinta1Click();
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Select All");
}

TEST_F(Form2Test, InvertingIntoAllTickedChecksTheBox) {
    AddThree();
    form_->Knteinenvalinta1Click();
    EXPECT_EQ(Ticks(), std::vector<bool>(3, true));
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Deselect All");
}

TEST_F(Form2Test, ShortcutsWorkWhileTheListHasTheFocus) {
    AddThree();
    ShowActive();
    ASSERT_EQ(QApplication::focusWidget(), Find<QListWidget>("CheckListBox1"))
        << "activation focuses the list";

    QTest::keyClick(Find<QListWidget>("CheckListBox1"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Ticks(), std::vector<bool>(3, true));
    form_->SetChecked(0, false);
    QTest::keyClick(Find<QListWidget>("CheckListBox1"), Qt::Key_A,
                    Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false}));
    QTest::keyClick(Find<QListWidget>("CheckListBox1"), Qt::Key_A,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Ticks(), std::vector<bool>(3, false));
    EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
}

TEST_F(Form2Test, ClickingTheBoxTicksOrClearsEverythingAndFocusesTheList) {
    AddThree();
    ShowActive();
    Find<QPushButton>("OkButton")->setFocus();

    QTest::mouseClick(Find<QCheckBox>("CheckBox1"), Qt::LeftButton);
    EXPECT_EQ(Ticks(), std::vector<bool>(3, true));
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Deselect All");
    EXPECT_EQ(QApplication::focusWidget(), Find<QListWidget>("CheckListBox1"));

    QTest::mouseClick(Find<QCheckBox>("CheckBox1"), Qt::LeftButton);
    EXPECT_EQ(Ticks(), std::vector<bool>(3, false));
    EXPECT_EQ(Find<QCheckBox>("CheckBox1")->toolTip(), "Select All");
}

TEST_F(Form2Test, TheBoxKeepsItsStateForTheNextShowing) {
    AddThree();
    EXPECT_EQ(ExecWith([this] {
                  QTest::mouseClick(Find<QCheckBox>("CheckBox1"), Qt::LeftButton);
                  QTest::mouseClick(Find<QPushButton>("OkButton"), Qt::LeftButton);
              }),
              QDialog::Accepted);

    form_->Clear();
    form_->Add("/n/x.mp3");
    form_->Add("/n/y.mp3");
    EXPECT_TRUE(Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_EQ(Ticks(), std::vector<bool>(2, false));
    ExecWith([this] {
        QTest::mouseClick(Find<QCheckBox>("CheckBox1"), Qt::LeftButton);
        EXPECT_FALSE(Find<QCheckBox>("CheckBox1")->isChecked());
        EXPECT_EQ(Ticks(), std::vector<bool>(2, false));
        QTest::mouseClick(Find<QCheckBox>("CheckBox1"), Qt::LeftButton);
        EXPECT_EQ(Ticks(), std::vector<bool>(2, true));
        form_->accept();
    });
}

TEST_F(Form2Test, CloseBoxEscAndCancelGiveCancelWhileEnterGivesOk) {
    AddThree();
    EXPECT_EQ(ExecWith([this] { form_->close(); }), QDialog::Rejected);
    EXPECT_EQ(ExecWith([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }),
              QDialog::Rejected);
    EXPECT_EQ(
        ExecWith([this] { QTest::mouseClick(Find<QPushButton>("CancelButton"), Qt::LeftButton); }),
        QDialog::Rejected);
    EXPECT_EQ(ExecWith([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }),
              QDialog::Accepted);
}

}  // namespace
