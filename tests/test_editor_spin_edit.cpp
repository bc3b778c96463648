// The numeric spin field: value from text, stepping, clamping, the key filter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <memory>

#include "editor/widgets/spin_edit.h"

class SpinEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        spin_ = std::make_unique<TSpinEdit>();
        spin_->setRange(-1, 9999);
        spin_->resize(80, 24);
        spin_->show();
        spin_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(spin_.get()));
        spin_->setFocus();
    }
    void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    std::unique_ptr<TSpinEdit> spin_;
};

TEST_F(SpinEdit, ValueIsTheTextAsAWholeNumberOrMinusOne) {
    spin_->setText("42");
    EXPECT_EQ(spin_->value(), 42);
    spin_->setText("");
    EXPECT_EQ(spin_->value(), -1);
    EXPECT_EQ(spin_->text(), "");
    spin_->setText("3/12");
    EXPECT_EQ(spin_->value(), -1);
    spin_->setText("+7");
    EXPECT_EQ(spin_->value(), 7);
}

TEST_F(SpinEdit, ArrowKeysStepByOneAndClampIntoTheRange) {
    spin_->setText("9998");
    Key(Qt::Key_Up);
    EXPECT_EQ(spin_->text(), "9999");
    Key(Qt::Key_Up);
    EXPECT_EQ(spin_->text(), "9999");
    spin_->setText("");
    Key(Qt::Key_Down);
    EXPECT_EQ(spin_->text(), "-1");
    spin_->setStartValue(2026);
    spin_->setText("");
    Key(Qt::Key_Up);
    EXPECT_EQ(spin_->text(), "2026");
    spin_->setText("3/12");
    Key(Qt::Key_Up);
    EXPECT_EQ(spin_->text(), "4/12");
    spin_->setText("-1");
    Key(Qt::Key_Up);
    EXPECT_EQ(spin_->text(), "0");
    Key(Qt::Key_PageUp);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(spin_->text(), "0");
}

TEST_F(SpinEdit, UpButtonSteps) {
    spin_->setText("5");
    QStyleOptionSpinBox option;
    option.initFrom(spin_.get());
    option.subControls = QStyle::SC_All;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = spin_->hasFrame();
    const QRect up = spin_->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                    QStyle::SC_SpinBoxUp, spin_.get());
    QTest::mouseClick(spin_.get(), Qt::LeftButton, {}, up.center());
    EXPECT_EQ(spin_->text(), "6");
}

TEST_F(SpinEdit, EqualMinimumAndMaximumMeanNoRange) {
    spin_->setRange(-1, -1);
    spin_->setText("-1");
    Key(Qt::Key_Down);
    EXPECT_EQ(spin_->text(), "-2");
    spin_->setValue(123456);
    EXPECT_EQ(spin_->text(), "123456");
    spin_->clearFocus();
    EXPECT_EQ(spin_->text(), "123456");
}

TEST_F(SpinEdit, LeavingKeepsAValueOutsideTheRangeForTheWindowToMark) {
    spin_->setText("12345");
    spin_->clearFocus();
    EXPECT_EQ(spin_->text(), "12345");
    spin_->setFocus();
    spin_->setText("");
    spin_->clearFocus();
    EXPECT_EQ(spin_->text(), "");
}

TEST_F(SpinEdit, KeyFilterTakesDigitsAndSignsOnly) {
    spin_->setText("");
    QTest::keyClicks(QApplication::focusWidget(), "-1a2+ ");
    EXPECT_EQ(spin_->text(), "-12+");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(spin_->text(), "-12");
    QSignalSpy edited(spin_.get(), &QAbstractSpinBox::editingFinished);
    Key(Qt::Key_Return);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(spin_->text(), "-12");
}

TEST_F(SpinEdit, ReportsEveryTextChange) {
    QSignalSpy changed(spin_.get(), &TSpinEdit::textChanged);
    spin_->setText("");
    spin_->setValue(3);
    QTest::keyClicks(QApplication::focusWidget(), "1");
    Key(Qt::Key_Up);
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.back().front().toString(), "32");
}

TEST_F(SpinEdit, WheelLeavesTheValue) {
    spin_->setText("5");
    QWheelEvent wheel(QPointF(10, 10), spin_->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin_.get(), &wheel);
    EXPECT_EQ(spin_->text(), "5");
}
