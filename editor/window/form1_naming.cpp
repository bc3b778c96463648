// Tags from file names and file names from tags by pattern, over the rows of
// the page, and the undo of the last rename. Setting tags is one undo step;
// renaming writes no tag and is undone by its own command.
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <algorithm>

#include "editor/dialogs/dialogs.h"
#include "editor/model/bulk_logic.h"
#include "editor/model/counted.h"
#include "editor/model/page_logic.h"
#include "editor/model/save_logic.h"
#include "editor/naming/naming_dialogs.h"
#include "editor/naming/naming_preview.h"
#include "editor/startup/application.h"
#include "editor/window/form1.h"
#include "platform/state_folder.h"

namespace {

using naming::Direction;
using naming::Field;

// The row column that a pattern field fills; none for %{ignore}.
std::optional<bulk::Column> ColumnOfField(Field field) {
    switch (field) {
        case Field::Artist:
            return bulk::Column::Artist;
        case Field::Title:
            return bulk::Column::Title;
        case Field::Album:
            return bulk::Column::Album;
        case Field::Year:
            return bulk::Column::Year;
        case Field::Track:
            return bulk::Column::Track;
        case Field::Genre:
            return bulk::Column::Genre;
        case Field::Comment:
            return bulk::Column::Comment;
        case Field::Ignore:
            break;
    }
    return std::nullopt;
}

const QString kSaveBeforeRenaming = QStringLiteral(
    "This page has unsaved changes. The files are named after the values shown, so the page "
    "is saved first.\n\nSave the page and rename the files?");

}  // namespace

void TForm1::ConnectNaming() {
    CommandMenu->addSeparator();
    AddCommand(QStringLiteral("Tags from File Names..."),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
               Guarded([this] { TagsFromNamesClick(); }));
    AddCommand(QStringLiteral("File Names from Tags..."),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
               Guarded([this] { NamesFromTagsClick(); }));
    UndoRenameAction = AddCommand(QStringLiteral("Undo Last Rename"), QKeySequence(),
                                  Guarded([this] { UndoRenameClick(); }));
    UndoRenameAction->setEnabled(false);
}

std::vector<naming::RowInput> TForm1::NamingRows() const {
    QStringList folders = QDir::fromNativeSeparators(QString::fromStdString(FolderPath))
                              .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    std::vector<naming::RowInput> inputs;
    for (int k = 0; k < RowsInScope(); ++k) {
        naming::RowInput input{FileList[page_logic::FileIndex(PageIndex, k)], folders, {}};
        for (const naming::FieldHelp& help : naming::FieldList(Direction::Parse)) {
            if (const auto column = ColumnOfField(help.field)) {
                input.values[help.field] = rowModel_.Shown(k, *column);
            }
        }
        inputs.push_back(std::move(input));
    }
    return inputs;
}

void TForm1::TagsFromNamesClick() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    EndFieldEdit();
    const std::vector<naming::RowInput> inputs = NamingRows();
    TNamingDialog dialog(this, Direction::Parse, naming::OfferedPatterns(Direction::Parse),
                         [&inputs](const QString& pattern, bool underscores) {
                             return naming::ParsePreview(pattern, inputs, underscores);
                         });
    if (dialogs_.ShowModal(&dialog) != QDialog::Accepted) {
        return;
    }
    const naming::Compiled compiled = naming::Compile(dialog.Pattern(), Direction::Parse);
    if (!compiled.pattern) {
        return;
    }
    naming::RememberUsed(Direction::Parse, dialog.Pattern());
    const auto parsed = naming::ParseRows(*compiled.pattern, inputs, dialog.UnderscoresToSpaces());
    int set = 0;
    RunAsOneStep(QStringLiteral("Tags from File Names"), [&] {
        for (size_t k = 0; k < parsed.size(); ++k) {
            if (!parsed[k]) {
                continue;
            }
            // A value from a name that was not UTF-8 is marked as Names marks it.
            bool whole = true;
            bulk::DecodedName(inputs[k].fileName, whole);
            for (const auto& [field, value] : *parsed[k]) {
                if (const auto column = ColumnOfField(field)) {
                    SetValue(static_cast<int>(k), *column, value, !whole);
                }
            }
            ++set;
        }
    });
    ShowStatus(QStringLiteral("Tags from file names: %1 of %2 set.")
                   .arg(set)
                   .arg(Counted(parsed.size(), QStringLiteral("row"), QStringLiteral("rows"))));
}

bool TForm1::SaveBeforeRenaming() {
    if (!PageModified) {
        return true;
    }
    if (dialogs_.ConfirmYesNo(this, kSaveBeforeRenaming) != TDialogs::Answer::Yes ||
        !SpeedButton2Click()) {
        return false;
    }
    // A row the save left unsaved (a file kept read-only) would lose its
    // edits when the renamed files are listed again.
    if (PageModified) {
        dialogs_.Message(this, QStringLiteral("No file was renamed: some rows are still unsaved."));
        return false;
    }
    return true;
}

void TForm1::NamesFromTagsClick() {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    EndFieldEdit();
    // Taken now: a save before the renames rebuilds the page and moves the focus.
    const std::optional<int> focusedRow = FindFocusedRow();
    const std::vector<naming::RowInput> inputs = NamingRows();
    const std::vector<std::string> entries = platform::ListFolder(FolderPath, "");
    TNamingDialog dialog(this, Direction::Format, naming::OfferedPatterns(Direction::Format),
                         [&](const QString& pattern, bool) {
                             return naming::FormatPreview(pattern, inputs, entries);
                         });
    if (dialogs_.ShowModal(&dialog) != QDialog::Accepted) {
        return;
    }
    const naming::Compiled compiled = naming::Compile(dialog.Pattern(), Direction::Format);
    if (!compiled.pattern || !SaveBeforeRenaming()) {
        return;
    }
    naming::RememberUsed(Direction::Format, dialog.Pattern());
    // Made again: the save may have fitted values to the tag kind, and the
    // folder may have changed while the dialog was open.
    const naming::Plan plan =
        naming::FormatRows(*compiled.pattern, NamingRows(), platform::ListFolder(FolderPath, ""));
    if (std::none_of(plan.begin(), plan.end(),
                     [](const naming::PlanRow& row) { return row.Renames(); })) {
        dialogs_.Message(this, QStringLiteral("No file gets a new name."));
        return;
    }
    std::string focused;
    if (focusedRow) {
        const naming::PlanRow& row = plan[static_cast<size_t>(*focusedRow)];
        focused = row.Renames() ? row.newName : row.oldName;
    }
    if (Playing) {
        StopPlayback();
    }
    const naming::BatchResult result = naming::RunPlan(FolderPath, plan);
    if (result.succeeded) {
        lastRename_ = result.batch;
    } else if (focusedRow) {
        focused = plan[static_cast<size_t>(*focusedRow)].oldName;
    }
    UndoRenameAction->setEnabled(lastRename_.has_value());
    ShowRenamed(focused);
    ReportRename(result);
}

void TForm1::UndoRenameClick() {
    const std::optional<int> focusedRow = FindFocusedRow();
    if (!lastRename_ || !SaveBeforeRenaming()) {
        return;
    }
    std::string focused;
    if (focusedRow) {
        focused = FileList[page_logic::FileIndex(PageIndex, *focusedRow)];
        for (const naming::Batch::Entry& entry : lastRename_->entries) {
            if (entry.newName == focused && lastRename_->folder == FolderPath) {
                focused = entry.oldName;
            }
        }
    }
    if (Playing) {
        StopPlayback();
    }
    const naming::BatchResult result = naming::UndoBatch(*lastRename_);
    if (result.succeeded) {
        lastRename_.reset();
        UndoRenameAction->setEnabled(false);
    }
    ShowRenamed(focused);
    ReportRename(result);
}

void TForm1::ReportRename(const naming::BatchResult& result) {
    if (result.succeeded) {
        ShowStatus(result.message);
        return;
    }
    // Each file that stopped the batch or stands in the way, with its reason.
    QStringList lines{result.message};
    for (const naming::FileResult& file : result.files) {
        if (!file.detail.isEmpty()) {
            lines << QStringLiteral("%1: %2").arg(QString::fromStdString(file.oldName),
                                                  file.detail);
        }
    }
    dialogs_.Error(this, lines.join(QLatin1Char('\n')));
}

void TForm1::ShowRenamed(const std::string& focusName) {
    ListFolder();
    const int count = static_cast<int>(FileList.size());
    const auto found = std::find(FileList.begin(), FileList.end(), focusName);
    const int index = found != FileList.end()
                          ? static_cast<int>(found - FileList.begin())
                          : std::min(PageIndex * page_logic::kRowsPerPage, std::max(count - 1, 0));
    PageIndex = index / page_logic::kRowsPerPage;
    Button2Click();
    if (found != FileList.end()) {
        FocusFileRow(focusName);
    }
}
