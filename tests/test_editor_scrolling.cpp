// The rows area in a real window: wheel scrolling by one row, drag scrolling
// against its edges, and the tab-order box.
#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

class ScrollingTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Window->resize(900, 600);
        // 30 files: the rows overflow the area, and rows 30 to 39 stay hidden.
        OpenWindow(30);
    }

    QScrollBar* Vertical() const { return Find<QScrollArea>("ScrollBox1")->verticalScrollBar(); }
    QScrollBar* Horizontal() const {
        return Find<QScrollArea>("ScrollBox1")->horizontalScrollBar();
    }

    // One wheel notch over `target`: towards the user (down) or away (up); or
    // the given part of a notch, as high-resolution wheels report it.
    static void Wheel(QWidget* target, bool towardsUser, int units = 120) {
        const QPointF pos(5, 5);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(),
                          QPoint(0, towardsUser ? -units : units), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    // The same as the window system delivers it: unhandled, it goes on to
    // the enclosing widgets.
    static void SpontaneousWheel(QWidget* target, bool towardsUser) {
        const QPointF pos(2, 2);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(),
                          QPoint(0, towardsUser ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(target, &event);
    }

    // A point of the rows area's content with no control under it.
    QPoint Background() const {
        QWidget* area = Find<QWidget>("RowsArea");
        for (int y = 0; y < area->height(); y += 5) {
            if (area->childAt(2, y) == nullptr) {
                return {2, y};
            }
        }
        ADD_FAILURE() << "no background in the rows area";
        return {};
    }

    // Moves the held pointer to a point given in the scroll box's coordinates.
    void MoveTo(QPoint inScrollBox) {
        QTest::mouseMove(
            Find<QWidget>("RowsArea"),
            Find<QWidget>("RowsArea")->mapFrom(Find<QScrollArea>("ScrollBox1"), inScrollBox));
    }
};

TEST_F(ScrollingTest, WheelWithTheFocusInATitleMovesOneRow) {
    ASSERT_GT(Vertical()->maximum(), 60);
    Window->Rows().TitleEdit(0)->setFocus();
    Wheel(Window->Rows().TitleEdit(0), true);
    EXPECT_EQ(Vertical()->value(), 20);
    // Over other row controls the same: the wheel is the rows area's, and a
    // genre box without the focus keeps its genre.
    const QString genre = Window->Rows().GenreEdit(3)->currentText();
    const QString year = Window->Rows().YearEdit(3)->text();
    Wheel(Window->Rows().GenreEdit(3), true);
    Wheel(Window->Rows().YearEdit(3), true);
    EXPECT_EQ(Vertical()->value(), 60);
    EXPECT_EQ(Window->Rows().GenreEdit(3)->currentText(), genre);
    EXPECT_EQ(Window->Rows().YearEdit(3)->text(), year);
    Wheel(Find<QScrollArea>("ScrollBox1")->viewport(), false);
    EXPECT_EQ(Vertical()->value(), 40);
}

TEST_F(ScrollingTest, WheelOverAFileLabelScrollsOneRowAndNoMore) {
    Window->Rows().TitleEdit(0)->setFocus();
    SpontaneousWheel(Window->Rows().FileLabel(2), true);
    EXPECT_EQ(Vertical()->value(), 20);
    SpontaneousWheel(Window->Rows().FileLabel(2), false);
    EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(ScrollingTest, WheelInPartsOfANotchMovesOneRowPerWholeNotch) {
    Window->Rows().TitleEdit(0)->setFocus();
    for (int i = 0; i < 3; ++i) {
        Wheel(Window->Rows().TitleEdit(0), true, 30);
    }
    EXPECT_EQ(Vertical()->value(), 0);
    Wheel(Window->Rows().TitleEdit(0), true, 30);
    EXPECT_EQ(Vertical()->value(), 20);
    // A turn the other way does not spend what was gathered downwards.
    Wheel(Window->Rows().TitleEdit(0), true, 60);
    Wheel(Window->Rows().TitleEdit(0), false, 60);
    Wheel(Window->Rows().TitleEdit(0), false, 60);
    EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(ScrollingTest, WheelWithTheFocusInAGenreBoxChangesTheGenreAndDoesNotScroll) {
    QComboBox* genre = Window->Rows().GenreEdit(1);
    genre->setFocus();
    genre->setCurrentIndex(5);
    Wheel(genre, true);
    EXPECT_EQ(genre->currentIndex(), 6);
    // Elsewhere over the rows the wheel still goes to the focused genre box.
    Wheel(Window->Rows().TitleEdit(4), true);
    EXPECT_EQ(genre->currentIndex(), 7);
    EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(ScrollingTest, WheelWithTheFocusInTheFolderTreeDoesNotScroll) {
    auto* tree = Window->findChild<QWidget*>("ShellTreeView1");
    ASSERT_NE(tree, nullptr);
    tree->setFocus();
    Wheel(Window->Rows().TitleEdit(2), true);
    EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(ScrollingTest, DragAgainstTheBottomAndTopEdgesScrollsTenPixelsPerMove) {
    QTest::mousePress(Find<QWidget>("RowsArea"), Qt::LeftButton, {}, Background());
    ASSERT_TRUE(State().DragScrolling);
    const int height = Find<QScrollArea>("ScrollBox1")->height();
    MoveTo({200, height - 39});
    MoveTo({200, height - 30});
    EXPECT_EQ(Vertical()->value(), 20);
    // Just outside the bottom zone nothing moves.
    MoveTo({200, height - 40});
    EXPECT_EQ(Vertical()->value(), 20);
    MoveTo({200, 9});
    EXPECT_EQ(Vertical()->value(), 10);
    MoveTo({200, 9});
    MoveTo({200, 9});
    EXPECT_EQ(Vertical()->value(), 0);
    QTest::mouseRelease(Find<QWidget>("RowsArea"), Qt::LeftButton, {}, Background());
    EXPECT_FALSE(State().DragScrolling);
    MoveTo({200, height - 5});
    EXPECT_EQ(Vertical()->value(), 0);
}

TEST_F(ScrollingTest, DragAgainstTheSideEdgesScrollsSideways) {
    // Rows wider than the view, as a window below its minimum width would show them.
    Window->setMinimumSize(0, 0);
    Window->resize(450, 600);
    QApplication::processEvents();
    ASSERT_GT(Horizontal()->maximum(), 20);
    QTest::mousePress(Find<QWidget>("RowsArea"), Qt::RightButton, {}, Background());
    const int width = Find<QScrollArea>("ScrollBox1")->width();
    MoveTo({width - 9, 100});
    MoveTo({width + 30, 100});
    EXPECT_EQ(Horizontal()->value(), 20);
    MoveTo({9, 100});
    EXPECT_EQ(Horizontal()->value(), 10);
    // A corner moves both ways at once.
    MoveTo({width - 5, Find<QScrollArea>("ScrollBox1")->height() - 5});
    EXPECT_EQ(Horizontal()->value(), 20);
    EXPECT_EQ(Vertical()->value(), 10);
    QTest::mouseRelease(Find<QWidget>("RowsArea"), Qt::RightButton, {}, Background());
}

TEST_F(ScrollingTest, PressOnARowControlDoesNotStartDragScrolling) {
    QTest::mousePress(Window->Rows().TitleEdit(0), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(State().DragScrolling);
    QTest::mouseRelease(Window->Rows().TitleEdit(0), Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ScrollingTest, TabGoesFromArtistToTheNextTitleWhileTheBoxIsChecked) {
    ASSERT_TRUE(Find<QCheckBox>("CheckBox3")->isChecked());
    Window->Rows().TitleEdit(0)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(Window->Rows().ArtistEdit(0)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(Window->Rows().TitleEdit(1)->hasFocus());
}

TEST_F(ScrollingTest, TabVisitsAllSevenFieldsWhileTheBoxIsUnchecked) {
    QTest::mouseClick(Find<QCheckBox>("CheckBox3"), Qt::LeftButton, {},
                      QPoint(6, Find<QCheckBox>("CheckBox3")->height() / 2));
    ASSERT_FALSE(Find<QCheckBox>("CheckBox3")->isChecked());
    Window->Rows().TitleEdit(5)->setFocus();
    for (QWidget* expected : Window->Rows().ValueControls(5)) {
        EXPECT_TRUE(expected->hasFocus()) << expected->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_TRUE(Window->Rows().TitleEdit(6)->hasFocus());
    // Rows the page does not show switch too.
    EXPECT_TRUE(Window->Rows().GenreEdit(39)->focusPolicy() & Qt::TabFocus);

    Find<QCheckBox>("CheckBox3")->click();
    EXPECT_FALSE(Window->Rows().AlbumEdit(39)->focusPolicy() & Qt::TabFocus);
    Window->Rows().ArtistEdit(5)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(Window->Rows().TitleEdit(6)->hasFocus());
}

}  // namespace
