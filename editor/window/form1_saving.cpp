// Save Row, Save All Rows and the close query: write the page's rows into
// their MP3 files in the current tag kind, with playback suspended meanwhile.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QToolButton>
#include <cerrno>
#include <exception>
#include <iterator>
#include <map>
#include <vector>

#include "editor/dialogs/dialogs.h"
#include "editor/model/chosen_preferences.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"

#include "editor/dialogs/form2.h"
#include "editor/model/counted.h"
#include "editor/model/page_logic.h"
#include "editor/model/record_fit.h"
#include "editor/model/save_logic.h"
#include "editor/startup/application.h"
#include "editor/widgets/spin_edit.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "platform/attributes.h"

namespace {

const QString kPageQuestion = QStringLiteral(
    "Do you want to save the changes made to this page?\n\n"
    "No = the changes on this page will lose\n"
    "Cancel = keep on this page");

// Why Save All Rows left a read-only file the user did not tick unwritten.
const QString kUnticked = QStringLiteral("read-only, and not ticked to be made writable");

// Why a row's file is still read-only when Save All Rows comes to write it:
// the reason kept when the user answered the read-only dialog, or what
// happened to the file since.
QString ReadOnlyReason(const std::map<std::string, QString>& kept, const std::string& path) {
    if (const auto reason = kept.find(path); reason != kept.end()) {
        return reason->second;
    }
    return platform::FileExists(path) ? QStringLiteral("read-only")
                                      : save_logic::FailureReason(0, ENOENT);
}

// `unsaved`: the row holds changed values or pictures (TRowModel::Unsaved).
bool RowToBeWritten(const TForm1& form, int k, bool unsaved) {
    // A row whose values and pictures all stand as shown is not written: its
    // file keeps its bytes and its modification time.
    if (!unsaved) {
        return false;
    }
    // Controls are found by name, so a tagged row skips looking up its texts.
    if (!form.RowModel().Untagged(k) || form.RowModel().PicturesChanged(k)) {
        return true;
    }
    return save_logic::RowToBeWritten(
        true, form.Rows().TitleEdit(k)->text(), form.Rows().ArtistEdit(k)->text(),
        form.Rows().AlbumEdit(k)->text(), form.Rows().CommentEdit(k)->text());
}

}  // namespace

// Writes row k in the current kind; a failure of either kind is reported in
// an error box and its reason returned, so Save All Rows goes on to the next row.
QString TForm1::WriteRow(int k, const std::string& path) {
    const bool pictures = rowModel_.PicturesChanged(k);
    if (QString failure = writer_->Write(TagKind, path, k); !failure.isEmpty()) {
        return failure;
    }
    // Later changes of the row are measured from what it now holds.
    MarkRowSaved(k);
    if (pictures) {
        // The tag object holds the tag just saved: descriptions as made unique
        // and MIME types as told from the bytes.
        rowModel_.LoadPictures(k, tag_.ListPictures());
        notices_.NoticePicturesChanged(k, true);
    }
    return {};
}

// Runs a save's writes while playback is suspended. A failed write ends the
// command without resuming playback, but stops it: a window left "playing"
// with no device open would fail every later save at its suspend step. The
// caption keeps naming the file that failed.
void TForm1::WriteWhileSuspended(const std::function<void()>& writes) {
    try {
        writes();
    } catch (...) {
        if (Playing) {
            const QString caption = windowTitle();
            StopPlayback();
            setWindowTitle(caption);
        }
        throw;
    }
}

void TForm1::SpeedButton1Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    const int64_t position = SuspendPlayback();
    const std::optional<int> row = FindFocusedRow();
    if (!row) {
        ResumePlayback(position);
        dialogs_.Message(this, save_logic::NoFocusedRowMessage());
        return;
    }
    const int k = *row;
    const bool changed = rowModel_.Unsaved(k);
    if (!changed) {
        ResumePlayback(position);
        return;
    }
    const int fileIndex = page_logic::FileIndex(PageIndex, k);
    const std::string path = FilePath(fileIndex);
    const QString fileName = save_logic::DisplayName(FileList[fileIndex]);
    if (save_logic::FileIsReadOnly(path)) {
        const QString question = save_logic::ReadOnlyQuestion(save_logic::DisplayName(path));
        if (dialogs_.ConfirmYesNo(this, question) != TDialogs::Answer::Yes) {
            ResumePlayback(position);
            dialogs_.Message(this, save_logic::NotSavedMessage());
            return;
        }
        if (const uint32_t error = save_logic::ClearReadOnly(path); error != 0) {
            ResumePlayback(position);
            dialogs_.Error(this, save_logic::SaveRowAttributeError(
                                     fileName, error, save_logic::ErrorReason(error, path)));
            return;
        }
    }
    if (!RowToBeWritten(*this, k, changed)) {
        ResumePlayback(position);
        return;
    }
    if (!SettleValuesToSave({k})) {
        ResumePlayback(position);
        return;
    }
    setWindowTitle(save_logic::SavingCaption(fileName));
    QString failure;
    WriteWhileSuspended([&] { failure = WriteRow(k, path); });
    ResumePlayback(position);
    RestoreCaption();
    if (!failure.isEmpty()) {
        ShowStatus(QStringLiteral("%1 not saved: %2").arg(fileName, failure));
        return;
    }
    ShowStatus(QStringLiteral("%1 saved").arg(fileName));
}

bool TForm1::SpeedButton2Click() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return true;
    }
    if (Form2 == nullptr) {
        Form2 = new TForm2(this);
    }
    const int64_t position = SuspendPlayback();
    const int rows = RowsInScope();
    // Before anything is asked or written: settling may set fields back to
    // the values stored, so the changes are measured after it.
    std::vector<int> changedRows;
    for (int k = 0; k < rows; ++k) {
        if (rowModel_.Unsaved(k)) {
            changedRows.push_back(k);
        }
    }
    // A question the user cancelled keeps the page, and any command that
    // asked to save before leaving it stays where it is.
    if (!SettleValuesToSave(changedRows)) {
        ResumePlayback(position);
        return false;
    }
    std::vector<bool> changed(static_cast<size_t>(rows));
    for (int k = 0; k < rows; ++k) {
        changed[k] = rowModel_.Unsaved(k);
    }

    // Only the files of rows that hold changes are asked about.
    Form2->Clear();
    for (int k = 0; k < rows; ++k) {
        if (const std::string path = FilePath(page_logic::FileIndex(PageIndex, k));
            changed[k] && save_logic::FileIsReadOnly(path)) {
            Form2->Add(path);
        }
    }
    bool leftUnticked = false;
    // Why a file the user wanted written stays read-only, by path.
    std::map<std::string, QString> kept;
    if (Form2->Count() > 0) {
        if (dialogs_.ShowModal(Form2) != QDialog::Accepted) {
            ResumePlayback(position);
            return false;
        }
        for (int i = 0; i < Form2->Count(); ++i) {
            const std::string path = Form2->ItemText(i);
            if (!Form2->Checked(i)) {
                leftUnticked = true;
                kept[path] = kUnticked;
                continue;
            }
            if (const uint32_t error = save_logic::ClearReadOnly(path); error != 0) {
                const QString reason = save_logic::ErrorReason(static_cast<int>(error), path);
                kept[path] =
                    QStringLiteral("its Read Only attribute could not be removed (error #%1)")
                        .arg(error) +
                    (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
                dialogs_.Error(this, save_logic::SaveAllAttributeError(
                                         save_logic::DisplayName(save_logic::FileNameOf(path)),
                                         error, reason));
            }
        }
    }

    int saved = 0;
    bool failed = false;
    QStringList notSaved;
    std::vector<int> unsaved;
    WriteWhileSuspended([&] {
        for (int k = 0; k < rows; ++k) {
            const int f = page_logic::FileIndex(PageIndex, k);
            const std::string path = FilePath(f);
            if (!RowToBeWritten(*this, k, changed[k])) {
                continue;
            }
            const QString name = save_logic::DisplayName(FileList[f]);
            QString failure;
            // Tested again: left unticked, clearing failed, or changed while the
            // dialog was open (a file removed meanwhile counts as read-only).
            if (save_logic::FileIsReadOnly(path)) {
                failure = ReadOnlyReason(kept, path);
                // Only a file the user chose to keep read-only is no failure.
                failed = failed || failure != kUnticked;
            } else {
                setWindowTitle(save_logic::SavingCaption(name, f + 1));
                failure = WriteRow(k, path);
                if (failure.isEmpty()) {
                    ++saved;
                    continue;
                }
                failed = true;
            }
            notSaved << QStringLiteral("%1: %2").arg(name, failure);
            unsaved.push_back(k);
        }
    });
    ResumePlayback(position);
    setWindowTitle(save_logic::SavedCaption(saved));
    ShowStatus(Counted(saved, QStringLiteral("file"), QStringLiteral("files")) +
               QStringLiteral(" saved"));
    const QString summary = save_logic::SaveAllSummary(
        TagKind, save_logic::DisplayName(FolderPath), PageIndex + 1, leftUnticked, saved, notSaved);
    if (saved == 0) {
        dialogs_.Warning(this, summary);
    } else {
        dialogs_.Message(this, summary);
    }
    RestoreCaption();
    ReadPageKeepingEdits(true);
    return !failed;
}

bool TForm1::FormCloseQuery() {
    if (!PageModified) {
        return true;
    }
    switch (dialogs_.ConfirmYesNoCancel(this, save_logic::CloseQuestion())) {
        case TDialogs::Answer::Yes:
            // A failed write must not close the window over the rows not yet
            // written: report it as the general error report does and stay open.
            try {
                return SpeedButton2Click();
            } catch (const std::exception& error) {
                dialogs_.Error(this, QString::fromLocal8Bit(error.what()));
                return false;
            }
        case TDialogs::Answer::No:
            return true;
        case TDialogs::Answer::Cancel:
            return false;
    }
    return false;
}

bool TForm1::AskToLeave(const QString& question) {
    if (!PageModified) {
        return true;
    }
    switch (dialogs_.ConfirmYesNoCancel(this, question)) {
        case TDialogs::Answer::Yes:
            // A save that fails keeps the page and its unsaved rows.
            return SpeedButton2Click();
        case TDialogs::Answer::No:
            return true;
        case TDialogs::Answer::Cancel:
            break;
    }
    return false;
}

bool TForm1::AskToLeavePage() {
    return AskToLeave(kPageQuestion);
}
