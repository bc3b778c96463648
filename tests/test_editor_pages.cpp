// Folder listing and pages of rows: labels, page buttons, shown and hidden
// rows, the modified flag, the save questions, the focused row and the album box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "editor/page_logic.h"
#include "editor/shell_tree.h"
#include "editor/spin_edit.h"
#include "tests/helpers/window_fixture.h"

namespace {

int ShownRows(const TForm1& window) {
    int shown = 0;
    for (int k = 0; k < TForm1::kRowsPerPage; ++k) {
        const bool visible = !window.TitleEdit(k)->isHidden();
        for (QWidget* control : window.RowValueControls(k)) {
            EXPECT_EQ(!control->isHidden(), visible) << control->objectName().toStdString();
        }
        EXPECT_EQ(!window.FileLabel(k)->isHidden(), visible);
        shown += visible ? 1 : 0;
    }
    return shown;
}

}  // namespace

class Pages : public WindowFixture {};

TEST_F(Pages, FortyOneFilesMakeTwoPages) {
    OpenWindow(41, true);
    ASSERT_EQ(Window->FileList.size(), 41u);
    EXPECT_EQ(Window->Label9->text(), "Page 1/2");
    EXPECT_FALSE(Window->Label9->isHidden());
    EXPECT_FALSE(Window->Oikealle->isHidden());
    EXPECT_TRUE(Window->Vasemmalle->isHidden());
    EXPECT_EQ(ShownRows(*Window), 40);
    EXPECT_EQ(Window->FileLabel(39)->text().toStdString(), Window->FileList[39]);

    QTest::mouseClick(Window->Oikealle, Qt::LeftButton);
    EXPECT_EQ(Window->PageIndex, 1);
    EXPECT_EQ(Window->Label9->text(), "Page 2/2");
    EXPECT_TRUE(Window->Oikealle->isHidden());
    EXPECT_FALSE(Window->Vasemmalle->isHidden());
    EXPECT_EQ(ShownRows(*Window), 1);
    EXPECT_EQ(Window->FileLabel(0)->text().toStdString(), Window->FileList[40]);
    EXPECT_EQ(Window->RowsInScope(), 1);

    QTest::mouseClick(Window->Vasemmalle, Qt::LeftButton);
    EXPECT_EQ(Window->PageIndex, 0);
    EXPECT_EQ(ShownRows(*Window), 40);
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
}
