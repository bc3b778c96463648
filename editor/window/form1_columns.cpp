// The rows' columns follow the window's width: the extra width of a wider
// window goes to the file-name and text columns, and the column boxes and
// buttons above the rows move with their columns.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "editor/model/column_layout.h"
#include "editor/model/page_logic.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"

using column_layout::Column;

void TForm1::PlaceColumns() {
    const column_layout::Columns columns = column_layout::ForWindowWidth(Panel2->width());
    if (columns.contentWidth == RowsArea->width()) {
        return;
    }
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const int top = kFirstRowTop + kRowHeight * k;
        const auto place = [&](QWidget* control, int column) {
            const column_layout::Span span = columns.spans[column];
            control->setGeometry(span.left, top, span.width, kRowHeight);
        };
        place(rowView_->FileLabel(k), column_layout::kFile);
        int column = column_layout::kTitle;
        for (QWidget* control : rowView_->ValueControls(k)) {
            place(control, column++);
        }
        rowView_->PaintField(k, bulk::Column::Genre, rowView_->GenreEdit(k));
    }
    RowsArea->resize(columns.contentWidth, RowsArea->height());

    // Each box keeps its distance from its column's left edge; Names stays at
    // the right end of the title column.
    const struct {
        QWidget* control;
        Column column;
        int offset;
        bool fromRight;
    } above[] = {
        {CheckBox4, column_layout::kTitle, 4, false},
        {SpeedButton6, column_layout::kTitle, -38, true},
        {CheckBox5, column_layout::kArtist, 6, false},
        {CheckBox6, column_layout::kAlbum, 6, false},
        {CheckBox7, column_layout::kYear, 2, false},
        {CheckBox8, column_layout::kComment, 4, false},
        {CheckBox9, column_layout::kTrack, 1, false},
        {CheckBox10, column_layout::kGenre, 4, false},
        {SpeedButton5, column_layout::kGenre, 60, false},
    };
    for (const auto& box : above) {
        const column_layout::Span span = columns.spans[box.column];
        box.control->move((box.fromRight ? span.right() : span.left) + box.offset,
                          box.control->y());
    }
}
