// Working in the rows: fields show the start of their text, Up and Down move
// between the rows' text fields, and rows with unsaved changes are marked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "editor/model/page_logic.h"
#include "editor/widgets/file_label.h"
#include "editor/widgets/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

QLineEdit* TextOf(QWidget* control) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    return edit != nullptr ? edit : control->findChild<QLineEdit*>();
}

}  // namespace

class RowFields : public WindowFixture {
  protected:
    // One character a row: '*' for a row marked unsaved, '-' for the others.
    std::string Marked() const {
        std::string marked;
        for (int k = 0; k < Window->RowsInScope(); ++k) {
            marked += Window->RowModel().Unsaved(k) ? '*' : '-';
        }
        return marked;
    }
    void TypeInto(QWidget* field, const char* text) {
        field->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
};

TEST_F(RowFields, ShowTheStartOfTheirTextAfterABuildAndAfterCommands) {
    // Setting a text leaves the cursor, and so the view, at its end.
    OpenWindow(2, true);
    for (int k = 0; k < 2; ++k) {
        for (QWidget* control : Window->Rows().ValueControls(k)) {
            EXPECT_EQ(TextOf(control)->cursorPosition(), 0) << control->objectName().toStdString();
        }
    }
    Find<QToolButton>("SpeedButton6")->click();  // Names
    EXPECT_EQ(Window->Rows().TitleEdit(1)->text(), "song001");
    EXPECT_EQ(Window->Rows().TitleEdit(1)->cursorPosition(), 0);
}

TEST_F(RowFields, UpAndDownMoveBetweenRowsInTheTextFieldsOnly) {
    OpenWindow(40, true);
    auto* area = Find<QScrollArea>("ScrollBox1");
    for (auto field : {&TRowView::TitleEdit, &TRowView::ArtistEdit, &TRowView::AlbumEdit,
                       &TRowView::CommentEdit}) {
        const auto at = [&](int k) { return static_cast<QWidget*>((Window->Rows().*field)(k)); };
        at(0)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), at(0));
        for (int k = 1; k < 40; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            ASSERT_EQ(QApplication::focusWidget(), at(k)) << k;
            const auto* edit = static_cast<QLineEdit*>(at(k));
            EXPECT_EQ(edit->selectedText(), edit->text());
            EXPECT_EQ(edit->cursorPosition(), 0);
            const QRect shown(at(k)->mapTo(area->viewport(), QPoint()), at(k)->size());
            EXPECT_TRUE(area->viewport()->rect().contains(shown)) << k;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), at(39));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), at(38));
    }
    // The spin fields and the genre box step their values and keep the focus.
    Window->Rows().YearEdit(5)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(Window->Rows().YearEdit(5)->text(), "2002");
    EXPECT_TRUE(Window->Rows().YearEdit(5)->hasFocus());
    Window->Rows().GenreEdit(5)->setFocus();
    const QString genre = Window->Rows().GenreEdit(5)->currentText();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_NE(Window->Rows().GenreEdit(5)->currentText(), genre);
    EXPECT_TRUE(Window->Rows().GenreEdit(5)->hasFocus());
}

TEST_F(RowFields, UnsavedRowsAreMarkedUntilSavedOrReverted) {
    OpenWindow(3, true);
    EXPECT_EQ(Marked(), "---");
    TypeInto(Window->Rows().ArtistEdit(1), "x");
    EXPECT_EQ(Marked(), "-*-");
    const auto* label = Find<TFileLabel>("FileLabel1");
    EXPECT_TRUE(label->shownFont().bold());
    EXPECT_TRUE(label->shownText().startsWith(QChar(0x25CF)));
    EXPECT_EQ(label->text().toStdString(), State().FileList[1]);

    // Save Row clears its own row and says which file it wrote.
    TypeInto(Window->Rows().TitleEdit(2), "y");
    Window->Rows().ArtistEdit(1)->setFocus();
    Find<QToolButton>("SpeedButton1")->click();
    EXPECT_EQ(Marked(), "--*");
    EXPECT_FALSE(label->shownFont().bold());
    EXPECT_EQ(Find<QStatusBar>("StatusBar1")->currentMessage(), "song001.mp3 saved");
    EXPECT_EQ(Window->windowTitle().toStdString(), page_logic::Caption(State().FolderPath));

    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Find<QToolButton>("SpeedButton4")->click();  // Revert to Saved
    EXPECT_EQ(Marked(), "---");

    for (int k = 0; k < 3; ++k) {
        TypeInto(Window->Rows().TitleEdit(k), "z");
    }
    Find<QToolButton>("SpeedButton2")->click();  // Save All Rows
    EXPECT_EQ(Marked(), "---");
    EXPECT_EQ(Find<QStatusBar>("StatusBar1")->currentMessage(), "3 files saved");

    // Copied into the other kind, every row is still to be written.
    Window->SpeedButton8Click();
    EXPECT_EQ(Marked(), "***");
}
