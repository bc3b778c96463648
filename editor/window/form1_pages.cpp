// The page of rows: the page builder, the modified flag with the save question
// before leaving the page, the rows' own modified flags, the page buttons and
// the focused row.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "editor/cover/cover_pane.h"
#include "editor/dialogs/dialogs.h"
#include "editor/model/page_logic.h"
#include "editor/startup/application.h"
#include "editor/widgets/file_label.h"
#include "editor/widgets/genre_drop_down.h"
#include "editor/widgets/spin_edit.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"

void TForm1::Button2Click() {
    genreDropDown_->Close();
    const int n = static_cast<int>(FileList.size());
    const int p = PageIndex;
    Oikealle->setVisible(page_logic::HasNextPage(n, p));
    Vasemmalle->setVisible(page_logic::HasPreviousPage(p));
    Label9->setText(QString::fromStdString(page_logic::PageLabel(n, p)));
    Label9->show();

    const int shown = page_logic::RowsOnPage(n, p);
    for (int k = shown; k < page_logic::kRowsPerPage; ++k) {
        rowView_->FileLabel(k)->hide();
        for (QWidget* control : rowView_->ValueControls(k)) {
            control->hide();
        }
    }
    for (int k = 0; k < shown; ++k) {
        rowView_->FileLabel(k)->show();
        for (QWidget* control : rowView_->ValueControls(k)) {
            control->show();
        }
    }
    RowsArea->resize(RowsArea->width(), std::max(kFirstRowTop + kRowHeight * shown + 10,
                                                 Label8->geometry().bottom() + 10));

    const QString folderName = QString::fromStdString(page_logic::FolderName(FolderPath));
    // Files that could not be read are told in one message once the page stands.
    QStringList problems;
    bool unreadable = false;
    for (int k = 0; k < shown; ++k) {
        const int f = page_logic::FileIndex(p, k);
        const QString name = QString::fromStdString(FileList[f]);
        bool missing = false;
        try {
            missing = FillRow(k, FilePath(f));
        } catch (const std::exception& error) {
            // The row stays shown, empty and marked untagged, and the page goes on.
            row_codec::TLoadedRow empty;
            empty.problem = QString::fromLocal8Bit(error.what());
            ShowLoadedRow(k, empty);
        }
        // A failed save, or the build before a save, told the row's problem already.
        const bool told = std::ranges::count(problemsTold_, k) != 0;
        if (missing) {
            row_codec::TLoadedRow gone;
            gone.problem = QStringLiteral("The file could not be found.");
            ShowLoadedRow(k, gone);
            if (!told) {
                problems << QStringLiteral("%1 could not be found for some reason...").arg(name);
            }
        } else if (!rowModel_.Problem(k).isEmpty() && !told) {
            unreadable = true;
            problems << QStringLiteral("The tags of %1 could not be read: %2")
                            .arg(name, rowModel_.Problem(k));
        }
        rowView_->FileLabel(k)->setText(name);
        rowView_->FileLabel(k)->setToolTip(
            rowModel_.Problem(k).isEmpty() ? name : name + u'\n' + rowModel_.Problem(k));
        // Also the field the focus stays in shows the start of its new text.
        for (QWidget* control : rowView_->ValueControls(k)) {
            TRowView::ShowTextStart(control);
        }
        if (!folderName.isEmpty() && rowView_->AlbumEdit(k)->text() == folderName) {
            const QSignalBlocker blocker(CheckBox1);
            CheckBox1->setChecked(true);
        }
    }
    QLineEdit* first = rowView_->TitleEdit(0);
    if (first->isVisible() && first->isEnabled() && first->focusPolicy() != Qt::NoFocus) {
        first->setFocus();
    }
    PageModified = false;
    ShowSaveButtons();
    for (int k = shown; k < page_logic::kRowsPerPage; ++k) {
        static_cast<TFileLabel*>(rowView_->FileLabel(k))->setModified(false);
    }
    captions_->FollowRow(FindFocusedRow());
    captions_->ShowWrittenVersion(TagKind, RowsInScope());
    notices_.NoticePageShown();
    if (unreadable) {
        dialogs_.Error(this, problems.join(u'\n'));
    } else if (!problems.isEmpty()) {
        dialogs_.Message(this, problems.join(u'\n'));
    }
}

void TForm1::ReadPageKeepingEdits(bool failuresTold) {
    struct Edit {
        int k;
        unsigned changed;
        rows::Values values;
        int targetVersion;
        rows::Pictures pictures;
        unsigned toUnicode;
        rows::FrameChanges frames;
        std::vector<std::pair<std::string, QString>> added;
    };
    std::vector<Edit> edits;
    for (const int k : rowModel_.UnsavedRows(RowsInScope())) {
        rows::Values values;
        unsigned toUnicode = 0;
        for (int f = 0; f < rows::kFieldCount; ++f) {
            const auto column = static_cast<bulk::Column>(f);
            values[static_cast<size_t>(f)] = rowModel_.Shown(k, column);
            toUnicode |= rowModel_.Marked(k, column, rows::kToUnicode) ? rows::FieldBit(column) : 0;
        }
        std::vector<std::pair<std::string, QString>> added;
        for (const std::string& key : rowModel_.ChangedAddedColumns(k)) {
            added.emplace_back(key, rowModel_.AddedShown(k, key));
        }
        edits.push_back({k, rowModel_.ChangedFields(k), values, rowModel_.TargetVersion(k),
                         rowModel_.ShownPictures(k), toUnicode, rowModel_.FrameChangesOf(k),
                         std::move(added)});
    }
    if (failuresTold) {
        for (int k = 0; k < RowsInScope(); ++k) {
            if (rowModel_.Unsaved(k) || !rowModel_.Problem(k).isEmpty()) {
                problemsTold_.push_back(k);
            }
        }
    }
    {
        const auto forget = qScopeGuard([this] { problemsTold_.clear(); });
        Button2Click();
    }
    for (const Edit& edit : edits) {
        for (int f = 0; f < rows::kFieldCount; ++f) {
            const auto column = static_cast<bulk::Column>(f);
            if ((edit.changed & rows::FieldBit(column)) != 0) {
                SetValue(edit.k, column, edit.values[static_cast<size_t>(f)]);
            }
        }
        rowModel_.SetTargetVersion(edit.k, edit.targetVersion);
        rowModel_.SetPictures(edit.k, edit.pictures);
        // Text still shown as read, and chosen to be stored in Unicode, stays chosen.
        rowModel_.StoreInUnicode(edit.k, edit.toUnicode);
        // The file was not written, so its frames stand where the changes name them.
        rowModel_.SetFrameChanges(edit.k, edit.frames);
        for (const auto& [key, text] : edit.added) {
            rowModel_.SetAddedValue(edit.k, key, text);
        }
        rowView_->PaintRow(edit.k);
        RowChanged(edit.k);
        notices_.NoticePicturesChanged(edit.k, false);  // the pane showed those read from the file
    }
}
