// The naming part: tags from file names and file names from tags by pattern,
// over the rows of the page, and the undo of the last rename. Setting tags is
// one undo step; renaming writes no tag and is undone by its own command.
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <algorithm>

#include "editor/dialogs/dialogs.h"
#include "editor/model/bulk_logic.h"
#include "editor/model/counted.h"
#include "editor/model/row_model.h"
#include "editor/model/save_logic.h"
#include "editor/naming/naming_dialogs.h"
#include "editor/naming/naming_part.h"
#include "editor/page/page.h"
#include "editor/startup/application.h"
#include "platform/state_folder.h"

namespace {

using naming::Direction;
using naming::Field;

// The row column that a pattern field fills; none for %{ignore} and for the
// added columns, whose values the rows hold apart from the seven fields.
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
        default:
            break;
    }
    return std::nullopt;
}

const QString kSaveBeforeRenaming = QStringLiteral(
    "This page has unsaved changes. The files are named after the values shown, so the page "
    "is saved first.\n\nSave the page and rename the files?");

}  // namespace

TNamingPart::TNamingPart(TPage& page) : page_(page) {
    page_.AddSeparator();
    page_.AddCommand(QStringLiteral("Tags from File Names..."),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T),
                     Guarded([this] { TagsFromNames(); }));
    page_.AddCommand(QStringLiteral("File Names from Tags..."),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
                     Guarded([this] { NamesFromTags(); }));
    undoRenameAction_ = page_.AddCommand(QStringLiteral("Undo Last Rename"), QKeySequence(),
                                         Guarded([this] { UndoRename(); }));
    undoRenameAction_->setEnabled(false);
}

std::vector<naming::RowInput> TNamingPart::Rows() const {
    QStringList folders = QDir::fromNativeSeparators(QString::fromStdString(page_.Folder()))
                              .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    std::vector<naming::RowInput> inputs;
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        naming::RowInput input{page_.RowFileName(k), folders, {}};
        for (const naming::FieldHelp& help : naming::FieldList(Direction::Parse)) {
            if (const auto column = ColumnOfField(help.field)) {
                input.values[help.field] = page_.Model().Shown(k, *column);
            }
        }
        inputs.push_back(std::move(input));
    }
    return inputs;
}

void TNamingPart::TagsFromNames() {
    if (page_.FileCount() == 0) {
        page_.Dialogs().Message(page_.Window(), save_logic::NoFilesMessage());
        return;
    }
    page_.EndFieldEdit();
    const std::vector<naming::RowInput> inputs = Rows();
    TNamingDialog dialog(page_.Window(), Direction::Parse,
                         naming::OfferedPatterns(Direction::Parse),
                         [&inputs](const QString& pattern, bool underscores) {
                             return naming::ParsePreview(pattern, inputs, underscores);
                         });
    if (page_.Dialogs().ShowModal(&dialog) != QDialog::Accepted) {
        return;
    }
    const naming::Compiled compiled = naming::Compile(dialog.Pattern(), Direction::Parse);
    if (!compiled.pattern) {
        return;
    }
    naming::RememberUsed(Direction::Parse, dialog.Pattern());
    const auto parsed = naming::ParseRows(*compiled.pattern, inputs, dialog.UnderscoresToSpaces());
    int set = 0;
    page_.RunAsOneStep(QStringLiteral("Tags from File Names"), [&] {
        for (size_t k = 0; k < parsed.size(); ++k) {
            if (!parsed[k]) {
                continue;
            }
            // A value from a name that was not UTF-8 is marked as Names marks it.
            bool whole = true;
            bulk::DecodedName(inputs[k].fileName, whole);
            for (const auto& [field, value] : *parsed[k]) {
                if (const auto column = ColumnOfField(field)) {
                    page_.SetValue(static_cast<int>(k), *column, value, !whole);
                }
            }
            ++set;
        }
    });
    page_.ShowStatus(
        QStringLiteral("Tags from file names: %1 of %2 set.")
            .arg(set)
            .arg(Counted(parsed.size(), QStringLiteral("row"), QStringLiteral("rows"))));
}

bool TNamingPart::SaveBeforeRenaming() {
    if (!page_.Modified()) {
        return true;
    }
    if (page_.Dialogs().ConfirmYesNo(page_.Window(), kSaveBeforeRenaming) !=
            TDialogs::Answer::Yes ||
        !page_.SaveAll()) {
        return false;
    }
    // A row the save left unsaved (a file kept read-only) would lose its
    // edits when the renamed files are listed again.
    if (page_.Modified()) {
        page_.Dialogs().Message(
            page_.Window(), QStringLiteral("No file was renamed: some rows are still unsaved."));
        return false;
    }
    return true;
}

void TNamingPart::NamesFromTags() {
    if (page_.FileCount() == 0) {
        page_.Dialogs().Message(page_.Window(), save_logic::NoFilesMessage());
        return;
    }
    page_.EndFieldEdit();
    // Taken now: a save before the renames rebuilds the page and moves the focus.
    const std::optional<int> focusedRow = page_.FocusedRow();
    const std::vector<naming::RowInput> inputs = Rows();
    const std::vector<std::string> entries = platform::ListFolder(page_.Folder(), "");
    TNamingDialog dialog(page_.Window(), Direction::Format,
                         naming::OfferedPatterns(Direction::Format),
                         [&](const QString& pattern, bool) {
                             return naming::FormatPreview(pattern, inputs, entries);
                         });
    if (page_.Dialogs().ShowModal(&dialog) != QDialog::Accepted) {
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
        naming::FormatRows(*compiled.pattern, Rows(), platform::ListFolder(page_.Folder(), ""));
    if (std::none_of(plan.begin(), plan.end(),
                     [](const naming::PlanRow& row) { return row.Renames(); })) {
        page_.Dialogs().Message(page_.Window(), QStringLiteral("No file gets a new name."));
        return;
    }
    std::string focused;
    if (focusedRow) {
        const naming::PlanRow& row = plan[static_cast<size_t>(*focusedRow)];
        focused = row.Renames() ? row.newName : row.oldName;
    }
    page_.ReleaseFiles();
    const naming::BatchResult result = naming::RunPlan(page_.Folder(), plan);
    if (result.succeeded) {
        lastRename_ = result.batch;
    } else if (focusedRow) {
        focused = plan[static_cast<size_t>(*focusedRow)].oldName;
    }
    undoRenameAction_->setEnabled(lastRename_.has_value());
    page_.Relist(focused);
    Report(result);
}

void TNamingPart::UndoRename() {
    const std::optional<int> focusedRow = page_.FocusedRow();
    if (!lastRename_ || !SaveBeforeRenaming()) {
        return;
    }
    std::string focused;
    if (focusedRow) {
        focused = page_.RowFileName(*focusedRow);
        for (const naming::Batch::Entry& entry : lastRename_->entries) {
            if (entry.newName == focused && lastRename_->folder == page_.Folder()) {
                focused = entry.oldName;
            }
        }
    }
    page_.ReleaseFiles();
    const naming::BatchResult result = naming::UndoBatch(*lastRename_);
    if (result.succeeded) {
        lastRename_.reset();
        undoRenameAction_->setEnabled(false);
    }
    page_.Relist(focused);
    Report(result);
}

void TNamingPart::Report(const naming::BatchResult& result) {
    if (result.succeeded) {
        page_.ShowStatus(result.message);
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
    page_.Dialogs().Error(page_.Window(), lines.join(QLatin1Char('\n')));
}
