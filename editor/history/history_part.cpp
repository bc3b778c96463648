// Undo and redo of the user's edits on the page, over the page interface.
#include "editor/history/history_part.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QWidget>
#include <utility>

#include "editor/model/record_fit.h"
#include "editor/page/page.h"

namespace {

QString TypingStepName(bulk::Column column) {
    return QStringLiteral("Typing in %1").arg(record_fit::ColumnName(column));
}

}  // namespace

THistoryPart::THistoryPart(TPage& page, std::vector<QCheckBox*> stepBoxes,
                           const std::vector<QWidget*>& fields)
    : page_(page), stepBoxes_(std::move(stepBoxes)) {
    page_.AddSeparator();
    undoAction_ = page_.AddCommand(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                   [this] { UndoStep(); });
    redoAction_ =
        page_.AddCommand(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                         [this] { RedoStep(); });
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QWidget* control : fields) {
        // A spin field and the genre box hold the focus themselves and hand
        // their keys to their inner line edit past its filters.
        control->installEventFilter(this);
        if (auto* edit = control->findChild<QLineEdit*>()) {
            edit->installEventFilter(this);
        }
    }
    page_.WhenFieldTyped([this](int k, bulk::Column column) { NoteFieldEdit(k, column); });
    page_.WhenPageShown([this] { FollowPage(); });
    ShowUndoState();
}

bool THistoryPart::eventFilter(QObject* watched, QEvent* event) {
    // The edit of a field ends when the focus leaves it or Enter is pressed.
    if (event->type() == QEvent::FocusOut) {
        EndFieldEdit();
        return false;
    }
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y)) {
        // Not taken by the field, so the window's shortcut runs; with
        // nothing to undo the key does nothing.
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        EndFieldEdit();
    }
    return QObject::eventFilter(watched, event);
}

std::vector<rows::TRowEdits> THistoryPart::AllRowEdits() const {
    std::vector<rows::TRowEdits> edits;
    edits.reserve(rows::kRowCount);
    for (int k = 0; k < rows::kRowCount; ++k) {
        edits.push_back(page_.Model().Edits(k));
    }
    return edits;
}

unsigned THistoryPart::StepToggles() const {
    unsigned bits = 0;
    unsigned bit = 1;
    for (const QCheckBox* box : stepBoxes_) {
        bits |= box->isChecked() ? bit : 0;
        bit <<= 1;
    }
    return bits;
}

void THistoryPart::RunAsOneStep(const QString& what, const std::function<void()>& change) {
    EndFieldEdit();
    if (stepRunning_) {
        // A command run by another one belongs to the outer step.
        change();
        return;
    }
    const std::vector<rows::TRowEdits> before = AllRowEdits();
    stepRunning_ = true;
    // What changed before a failure stays, so it is a step as well.
    const auto record = [&] {
        stepRunning_ = false;
        // The boxes as the last step left them: a box's click has set its
        // mark before its command runs.
        const unsigned togglesBefore = std::exchange(togglesShown_, StepToggles());
        history_.Push(undo::MakeStep(what, before, AllRowEdits(), togglesBefore, togglesShown_));
        ShowUndoState();
    };
    try {
        change();
    } catch (...) {
        record();
        throw;
    }
    record();
}

void THistoryPart::NoteFieldEdit(int k, bulk::Column column) {
    // The program's own changes that are steps run inside RunAsOneStep.
    if (stepRunning_ || (fieldEdit_ && fieldEdit_->row == k && fieldEdit_->column == column)) {
        return;
    }
    EndFieldEdit();
    fieldEdit_ = TFieldEdit{k, column, page_.Model().Edits(k)};
    ShowUndoState();
}

void THistoryPart::EndFieldEdit() {
    if (!fieldEdit_) {
        return;
    }
    const TFieldEdit edit = std::move(*fieldEdit_);
    fieldEdit_.reset();
    undo::TStep step{TypingStepName(edit.column), {}, togglesShown_, togglesShown_};
    rows::TRowEdits after = page_.Model().Edits(edit.row);
    if (!(after == edit.before)) {
        step.rows.push_back({edit.row, edit.before, std::move(after)});
    }
    history_.Push(std::move(step));
    ShowUndoState();
}

void THistoryPart::UndoStep() {
    EndFieldEdit();
    if (!history_.CanUndo()) {
        return;
    }
    const undo::TStep step = history_.Undo();
    ApplyStep(step, false);
    page_.ShowStatus(QStringLiteral("Undone: %1").arg(step.what));
}

void THistoryPart::RedoStep() {
    EndFieldEdit();
    if (!history_.CanRedo()) {
        return;
    }
    const undo::TStep step = history_.Redo();
    ApplyStep(step, true);
    page_.ShowStatus(QStringLiteral("Redone: %1").arg(step.what));
}

void THistoryPart::ApplyStep(const undo::TStep& step, bool redo) {
    stepRunning_ = true;
    for (const undo::TRowChange& change : step.rows) {
        // The model first, so that the fields' change signals find nothing new.
        page_.Model().RestoreEdits(change.row, redo ? change.after : change.before);
        page_.ShowRestoredRow(change.row);
    }
    // The boxes show what the step left; setting a mark runs no command.
    const unsigned toggles = redo ? step.togglesAfter : step.togglesBefore;
    unsigned bit = 1;
    for (QCheckBox* box : stepBoxes_) {
        box->setChecked((toggles & bit) != 0);
        bit <<= 1;
    }
    togglesShown_ = toggles;
    stepRunning_ = false;
    page_.RowsRestored();
    ShowUndoState();
}

void THistoryPart::ShowUndoState() {
    // A field edit in progress is the step an undo takes first.
    const QString undone = fieldEdit_           ? TypingStepName(fieldEdit_->column)
                           : history_.CanUndo() ? history_.NextUndo().what
                                                : QString();
    undoAction_->setEnabled(!undone.isEmpty());
    undoAction_->setText(undone.isEmpty() ? QStringLiteral("Undo")
                                          : QStringLiteral("Undo %1").arg(undone));
    redoAction_->setEnabled(history_.CanRedo());
    redoAction_->setText(history_.CanRedo()
                             ? QStringLiteral("Redo %1").arg(history_.NextRedo().what)
                             : QStringLiteral("Redo"));
}

void THistoryPart::FollowPage() {
    TPageKey key{page_.Folder(), page_.Kind(), page_.PageIndex(), {}};
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        key.files.push_back(page_.RowFileName(k));
    }
    QString reason;
    if (key.folder != pageKey_.folder) {
        reason = QStringLiteral("folder changed");
    } else if (key.kind != pageKey_.kind) {
        reason = QStringLiteral("tag kind changed");
    } else if (key.page != pageKey_.page) {
        reason = QStringLiteral("page changed");
    } else if (key.files != pageKey_.files) {
        reason = QStringLiteral("the folder's files changed");
    }
    pageKey_ = std::move(key);
    // A page build inside a step (Revert to Saved) leaves the step its boxes as before.
    if (!stepRunning_) {
        togglesShown_ = StepToggles();
    }
    if (!reason.isEmpty()) {
        Forget(reason);
    }
}

void THistoryPart::Forget(const QString& reason) {
    const bool had = history_.CanUndo() || history_.CanRedo() || fieldEdit_;
    fieldEdit_.reset();
    history_.Clear();
    ShowUndoState();
    if (had) {
        page_.ShowStatus(QStringLiteral("Undo history cleared: %1.").arg(reason));
    }
}
