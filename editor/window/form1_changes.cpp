// The window's side of the row model: a row filled from its file, a value set
// by a command, a row saved, and what follows for the row's label and the
// page's modified flag. The values and why they are marked live in the model.
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QToolButton>

#include "editor/model/chosen_preferences.h"
#include "editor/model/tag_values.h"
#include "editor/widgets/file_label.h"
#include "editor/widgets/latin1_edit.h"
#include "editor/widgets/spin_edit.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"
#include "platform/clock.h"

void TForm1::ShowLoadedRow(int k, const row_codec::TLoadedRow& row) {
    // The model first: the fields' change signals then find nothing changed,
    // so the row and the page are never marked modified while they fill.
    rowModel_.LoadRow(k, row.values, row.unshown, row.untagged, row.problem);
    const std::vector<QWidget*> controls = rowView_->ValueControls(k);
    for (size_t f = 0; f < controls.size(); ++f) {
        TRowView::SetValueText(controls[f], row.values[f]);
    }
    // After the texts, so that no limit cuts a value as loaded.
    SetRowLimits(k, TagKind);
    // Changes are measured from the values as the fields show them.
    rows::Values shown;
    for (size_t f = 0; f < controls.size(); ++f) {
        shown[f] = TRowView::ValueText(controls[f]);
    }
    if (shown != row.values) {
        rowModel_.LoadRow(k, shown, row.unshown, row.untagged, row.problem);
    }
    rowModel_.LoadPictures(k, row.pictures);
    rowModel_.NoteStoredForm(k, row.legacy, row.version);
    rowView_->PaintRow(k);
}

void TForm1::SetValue(int k, bulk::Column column, const QString& text, bool nameNotDecoded) {
    rowModel_.SetField(k, column, text, nameNotDecoded);
    QWidget* control = rowView_->ValueControls(k)[static_cast<size_t>(column)];
    TRowView::SetValueText(control, text);
    rowView_->PaintField(k, column, control);
    RowChanged(k);
}

void TForm1::MarkRowSaved(int k) {
    if (TagKind == 2) {
        // The file's tag now has the version the save wrote, also a new tag's.
        rowModel_.SetTargetVersion(
            k, row_codec::VersionWritten(rowModel_.StoredVersion(k), rowModel_.TargetVersion(k),
                                         chosen_.V2Versions()));
    }
    rowModel_.MarkSaved(k);
    rowView_->PaintRow(k);
    RowChanged(k);
}

void TForm1::RowChanged(int k) {
    static_cast<TFileLabel*>(rowView_->FileLabel(k))->setModified(rowModel_.Unsaved(k));
    // A convert, an undo or a save changes the version the row's save writes.
    captions_->ShowWrittenVersion(TagKind, RowsInScope());
    // The page holds unsaved edits exactly while one of its rows does.
    if (rowModel_.Unsaved(k)) {
        TietojaModifoitu();
    } else if (PageModified && rowModel_.UnsavedRows(RowsInScope()).empty()) {
        PageModified = false;
        ShowSaveButtons();
    }
    notices_.NoticeRowChanged(k);
}

void TForm1::SetRowLimits(int k, int kind) {
    const bool v1 = kind == 1;
    // ID3v1 holds ISO-8859-1 only; ID3v2 takes every script.
    for (QLineEdit* edit : {rowView_->TitleEdit(k), rowView_->ArtistEdit(k), rowView_->AlbumEdit(k),
                            rowView_->CommentEdit(k)}) {
        static_cast<TLatin1Edit*>(edit)->setCharLimit(
            v1 ? (edit == rowView_->CommentEdit(k) ? 28 : 30) : 0);
    }
    rowView_->YearEdit(k)->setRange(1, tag_values::kMaxYear);
    rowView_->YearEdit(k)->setStartValue(platform::CurrentYear());
    rowView_->TrackEdit(k)->setRange(1, v1 ? tag_values::kMaxRecordTrack : tag_values::kMaxTrack);
    QComboBox* genre = rowView_->GenreEdit(k);
    auto* completer = genre->findChild<QCompleter*>(QStringLiteral("GenreCompleter"));
    genre->lineEdit()->setCompleter(v1 ? completer : nullptr);
}
