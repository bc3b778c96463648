// The rows' columns at two window widths: the normal width keeps the drawn
// layout, a wider window gives its extra width to the file-name and text
// columns with the boxes above their columns, and every row can be reached.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

#include "editor/widgets/file_label.h"
#include "editor/widgets/spin_edit.h"
#include "id3v1/genres.h"
#include "tests/helpers/window_fixture.h"

struct WidthCase {
    int windowWidth;
    int grownBy;  // what each of the file-name, text and genre columns gained
    bool nameElided;
};

class ColumnWidths : public WindowFixture, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(ColumnWidths, ShareTheExtraWidthWithTheBoxesAboveTheirColumns) {
    const WidthCase& c = GetParam();
    const std::string name = "07 - A rather long name.mp3";
    testing_mp3::WriteMp3(PathOf(name));
    MakeFiles(1);
    Window->resize(c.windowWidth, 600);
    OpenFolder();

    const int g = c.grownBy;
    EXPECT_EQ(Window->Rows().FileLabel(1)->geometry(), QRect(10, 30, 88 + g, 20));
    const int widths[] = {108 + g, 120 + g, 120 + g, 50, 120 + g, 50, 96 + g};
    // Each box keeps its distance from its column's left edge.
    const char* boxes[] = {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7",
                           "CheckBox8", "CheckBox9", "CheckBox10"};
    const int offsets[] = {4, 6, 6, 2, 4, 1, 4};
    const std::vector<QWidget*> values = Window->Rows().ValueControls(1);
    int left = 100 + g;
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i]->geometry(), QRect(left, 30, widths[i], 20)) << i;
        EXPECT_EQ(Find<QCheckBox>(boxes[i])->x() - left, offsets[i]) << boxes[i];
        left += widths[i] + 2;
    }
    EXPECT_EQ(Find<QScrollArea>("ScrollBox1")->horizontalScrollBar()->maximum(), 0);

    const auto* label = Find<TFileLabel>("FileLabel0");
    EXPECT_EQ(label->toolTip().toStdString(), name);
    const QString shown = label->shownText();
    EXPECT_EQ(shown.contains(QChar(0x2026)), c.nameElided) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("07") && shown.endsWith(c.nameElided ? "name" : ".mp3"))
        << shown.toStdString();
    // Every standard genre name shows whole in the genre box.
    for (const std::string& genre : GenreList()) {
        Window->Rows().GenreEdit(1)->setEditText(QString::fromLatin1(genre));
        const QLineEdit* text = Window->Rows().GenreEdit(1)->lineEdit();
        EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->width() - 4) << genre;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, ColumnWidths,
                         ::testing::Values(WidthCase{806, 0, true},
                                           // The cover pane beside the rows takes 356.
                                           WidthCase{1606, 74, false}));

using SmallScreen = WindowFixture;

TEST_F(SmallScreen, EveryRowIsReachableAt1024By768) {
    Window->resize(1024, 768);
    OpenWindow(40);
    auto* area = Find<QScrollArea>("ScrollBox1");
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    for (QWidget* control : Window->Rows().ValueControls(39)) {
        const QRect inViewport(control->mapTo(area->viewport(), QPoint()), control->size());
        EXPECT_TRUE(area->viewport()->rect().contains(inViewport))
            << control->objectName().toStdString();
    }
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
}
