// Bulk editing commands: the column boxes with their Shift variant, the folder
// box for albums, Classical, Names, Erase All Rows and Revert to Saved. They
// change controls of the current page only; the saves write the files.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringList>
#include <QToolButton>
#include <iterator>
#include <optional>
#include <vector>

#include "editor/dialogs/dialogs.h"
#include "editor/model/bulk_logic.h"
#include "editor/model/record_fit.h"
#include "editor/model/save_logic.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"

#include "editor/model/page_logic.h"
#include "editor/startup/application.h"
#include "editor/widgets/spin_edit.h"

using bulk::Column;

namespace {

// On an album field: its file and its album before the folder box set it.

// Row k's control of the column, in column order.
QWidget* ColumnControl(const TForm1& form, Column column, int k) {
    switch (column) {
        case Column::Title:
            return form.Rows().TitleEdit(k);
        case Column::Artist:
            return form.Rows().ArtistEdit(k);
        case Column::Album:
            return form.Rows().AlbumEdit(k);
        case Column::Year:
            return form.Rows().YearEdit(k);
        case Column::Comment:
            return form.Rows().CommentEdit(k);
        case Column::Track:
            return form.Rows().TrackEdit(k);
        case Column::Genre:
            return form.Rows().GenreEdit(k);
    }
    return nullptr;
}

QString ColumnText(const TForm1& form, Column column, int k) {
    return TRowView::ValueText(ColumnControl(form, column, k));
}

void SetColumnText(const TForm1& form, Column column, int k, const QString& text) {
    TRowView::SetValueText(ColumnControl(form, column, k), text);
}

// How undo names a column box's command.
QString ColumnStepName(Column column, bool fill) {
    if (column == Column::Track && fill) {
        return QStringLiteral("Track Numbering");
    }
    return (fill ? QStringLiteral("Fill %1") : QStringLiteral("Clear %1"))
        .arg(record_fit::ColumnName(column));
}

}  // namespace

std::optional<Column> TForm1::ColumnOf(const QObject* box) const {
    const QCheckBox* const boxes[] = {CheckBox4, CheckBox5, CheckBox6, CheckBox7,
                                      CheckBox8, CheckBox9, CheckBox10};
    const Column columns[] = {Column::Title,   Column::Artist, Column::Album, Column::Year,
                              Column::Comment, Column::Track,  Column::Genre};
    for (size_t i = 0; i < std::size(boxes); ++i) {
        if (boxes[i] == box) {
            return columns[i];
        }
    }
    return std::nullopt;
}

void TForm1::ConnectBulk() {
    // The boxes' mouse presses arrive through FilterBulkEvent.
    // Each command is one undo step, named as the menu's Undo and Redo show it.
    const auto step = [this](const QString& what, void (TForm1::*command)()) {
        return Guarded(
            [this, what, command] { page_.RunAsOneStep(what, [&] { (this->*command)(); }); });
    };
    for (QCheckBox* box :
         {CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9, CheckBox10}) {
        connect(box, &QCheckBox::clicked, this, Guarded([this, box] {
                    page_.RunAsOneStep(ColumnStepName(*ColumnOf(box), box->isChecked()),
                                       [&] { ColumnBoxClick(box); });
                }));
    }
    // clicked, not toggled: the page builder sets and clears this box's mark
    // without running its album action.
    connect(CheckBox1, &QCheckBox::clicked, this, Guarded([this] {
                page_.RunAsOneStep(CheckBox1->isChecked() ? QStringLiteral("Folder Name to Albums")
                                                          : QStringLiteral("Albums Given Back"),
                                   [&] { CheckBox1Click(); });
            }));
    connect(SpeedButton5, &QToolButton::clicked, this,
            step(QStringLiteral("Classical"), &TForm1::SpeedButton5Click));
    connect(SpeedButton6, &QToolButton::clicked, this,
            step(QStringLiteral("Names"), &TForm1::SpeedButton6Click));
    connect(SpeedButton3, &QToolButton::clicked, this,
            step(QStringLiteral("Erase All Rows"), &TForm1::SpeedButton3Click));
    connect(SpeedButton4, &QToolButton::clicked, this,
            step(QStringLiteral("Revert to Saved"), &TForm1::SpeedButton4Click));
}

bool TForm1::FilterBulkEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = static_cast<QMouseEvent*>(event)->modifiers();
    if (watched == CheckBox1) {
        CheckBox1MouseDown(modifiers);
    } else if (ColumnOf(watched)) {
        ShiftiMouseDown(modifiers);
    }
    return false;
}

void TForm1::ShiftiMouseDown(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier) {
        ShiftClick = true;
    }
}

void TForm1::CheckBox1MouseDown(Qt::KeyboardModifiers modifiers) {
    ShiftiMouseDown(modifiers);
}

// CheckBox4Click .. CheckBox10Click: checking fills the column from the top
// row, unchecking clears it; with Shift only the empty rows, or the rows
// equal to the top, are touched.
void TForm1::ColumnBoxClick(QCheckBox* box) {
    const Column column = ColumnOf(box).value();
    const bool fill = box->isChecked();
    if (column == Column::Album) {
        // The folder box's clear action may blank the top album; keep it.
        const QString top = rowView_->AlbumEdit(0)->text();
        if (CheckBox1->isChecked()) {
            CheckBox1->setChecked(false);
            CheckBox1Click();
        }
        rowView_->AlbumEdit(0)->setText(top);
    }
    const QString top = ColumnText(*this, column, 0);
    const int rows = RowsInScope();
    QStringList texts;
    for (int k = 0; k < rows; ++k) {
        texts << ColumnText(*this, column, k);
    }
    if (fill) {
        std::vector<std::optional<QString>> filled;
        try {
            filled = bulk::FillColumn(column, texts, ShiftClick);
        } catch (const bulk::ConversionError&) {
            // Refused before any row changed; the box shows that nothing was done.
            box->setChecked(false);
            ShiftClick = false;
            throw;
        }
        for (int k = 0; k < rows; ++k) {
            if (filled[k]) {
                SetColumnText(*this, column, k, *filled[k]);
            }
        }
    } else {
        for (int k = 0; k < rows; ++k) {
            if (bulk::ClearTakesRow(column, texts[k], top, ShiftClick)) {
                SetColumnText(*this, column, k, QString());
            }
        }
    }
    ShiftClick = false;
}

// The folder box: checking puts the folder's name into the albums,
// unchecking gives each album back as it was before (with Shift only those
// still equal to the name). The row model forgets the album when the row is
// filled again, so an album of another page or folder is never given back.
void TForm1::CheckBox1Click() {
    const bool fill = CheckBox1->isChecked();
    bool whole = true;
    const QString folder = bulk::DecodedName(page_logic::FolderName(FolderPath), whole);
    if (fill && CheckBox6->isChecked()) {
        CheckBox6->setChecked(false);
        ColumnBoxClick(CheckBox6);
    }
    const int rows = RowsInScope();
    for (int k = 0; k < rows; ++k) {
        const QString album = rowView_->AlbumEdit(k)->text();
        if (fill && bulk::FillTakesRow(Column::Album, album, ShiftClick)) {
            rowModel_.KeepAlbumBeforeFolder(k, album);
            SetValue(k, Column::Album, folder, !whole);
            continue;
        }
        const QString* before = rowModel_.AlbumBeforeFolder(k);
        if (!fill && before != nullptr &&
            bulk::ClearTakesRow(Column::Album, album, folder, ShiftClick)) {
            const QString given = *before;
            rowModel_.ForgetAlbumBeforeFolder(k);
            SetValue(k, Column::Album, given);
        }
    }
    ShiftClick = false;
}

// Classical: every genre of the page becomes Classical.
void TForm1::SpeedButton5Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    const int rows = RowsInScope();
    for (int k = 0; k < rows; ++k) {
        rowView_->GenreEdit(k)->setEditText(QStringLiteral("Classical"));
    }
}

// Names: every title of the page becomes its file's name without ".mp3".
void TForm1::SpeedButton6Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    const int rows = RowsInScope();
    for (int k = 0; k < rows; ++k) {
        bool whole = true;
        const QString name =
            bulk::DecodedName(FileList[page_logic::FileIndex(PageIndex, k)], whole);
        SetValue(k, Column::Title, bulk::TitleFromFileName(name), !whole);
    }
}

// Erase All Rows: every value of the page back to nothing, after a question.
void TForm1::SpeedButton3Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    if (dialogs_.ConfirmYesNo(this, QStringLiteral("Are you sure you want to erase all?")) !=
        TDialogs::Answer::Yes) {
        return;
    }
    const int rows = RowsInScope();
    for (int k = 0; k < rows; ++k) {
        for (Column column : {Column::Title, Column::Artist, Column::Album, Column::Comment,
                              Column::Year, Column::Track, Column::Genre}) {
            SetColumnText(*this, column, k, QString());
        }
    }
}

// Revert to Saved: rebuild the page from the files when it holds edits.
void TForm1::SpeedButton4Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    if (PageModified &&
        dialogs_.ConfirmYesNo(this, QStringLiteral("If you will revert to last saved version, all "
                                                   "modifications after your last saving, will "
                                                   "lose. Continue?")) == TDialogs::Answer::Yes) {
        Button2Click();
    }
}
