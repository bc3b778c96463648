// Undo and redo of the user's edits on the page: the commands that change rows
// run as one step each, typing in a field is one step per field edit, and the
// history goes when the page shows other files or another tag kind.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <utility>

#include "editor/model/page_logic.h"
#include "editor/model/record_fit.h"
#include "editor/widgets/spin_edit.h"
#include "editor/window/form1.h"

namespace {

// Watches the text fields of the rows: the edit of a field ends when the focus
// leaves it or Enter is pressed, and the undo keys reach the window's commands
// instead of the field's own undo, which knows nothing of the rows.
class TFieldEditWatcher : public QObject {
  public:
    TFieldEditWatcher(QObject* parent, std::function<void()> ended)
        : QObject(parent), ended_(std::move(ended)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            ended_();
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
            ended_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> ended_;
};

QString TypingStepName(bulk::Column column) {
    return QStringLiteral("Typing in %1").arg(record_fit::ColumnName(column));
}

}  // namespace

void TForm1::ConnectUndo() {
    CommandMenu->addSeparator();
    UndoAction = AddCommand(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                            [this] { UndoStep(); });
    RedoAction = AddCommand(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                            [this] { RedoStep(); });
    RedoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    auto* watcher = new TFieldEditWatcher(this, [this] { EndFieldEdit(); });
    fieldEditWatcher_ = watcher;
    for (int k = 0; k < rows::kRowCount; ++k) {
        for (QWidget* control : RowValueControls(k)) {
            // A spin field and the genre box hold the focus themselves and hand
            // their keys to their inner line edit past its filters.
            control->installEventFilter(watcher);
            if (auto* edit = control->findChild<QLineEdit*>()) {
                edit->installEventFilter(watcher);
            }
        }
    }
    ShowUndoState();
}

std::vector<rows::TRowEdits> TForm1::AllRowEdits() const {
    std::vector<rows::TRowEdits> edits;
    edits.reserve(rows::kRowCount);
    for (int k = 0; k < rows::kRowCount; ++k) {
        edits.push_back(rowModel_.Edits(k));
    }
    return edits;
}

std::vector<QCheckBox*> TForm1::StepBoxes() const {
    return {CheckBox1, CheckBox4, CheckBox5, CheckBox6,
            CheckBox7, CheckBox8, CheckBox9, CheckBox10};
}

unsigned TForm1::StepToggles() const {
    unsigned bits = 0;
    unsigned bit = 1;
    for (const QCheckBox* box : StepBoxes()) {
        bits |= box->isChecked() ? bit : 0;
        bit <<= 1;
    }
    return bits;
}

void TForm1::RunAsOneStep(const QString& what, const std::function<void()>& change) {
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

void TForm1::NoteFieldEdit(int k, bulk::Column column, const QWidget* control) {
    if (stepRunning_ || rowModel_.Shown(k, column) == ValueText(control)) {
        return;
    }
    // Only a field the user is in is being typed into; the program sets the
    // others, and its changes that are steps run inside RunAsOneStep.
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || (focus != control && !control->isAncestorOf(focus))) {
        return;
    }
    if (fieldEdit_ && fieldEdit_->row == k && fieldEdit_->column == column) {
        return;
    }
    EndFieldEdit();
    fieldEdit_ = TFieldEdit{k, column, rowModel_.Edits(k)};
    ShowUndoState();
}

void TForm1::EndFieldEdit() {
    if (!fieldEdit_) {
        return;
    }
    const TFieldEdit edit = std::move(*fieldEdit_);
    fieldEdit_.reset();
    undo::TStep step{TypingStepName(edit.column), {}, togglesShown_, togglesShown_};
    rows::TRowEdits after = rowModel_.Edits(edit.row);
    if (!(after == edit.before)) {
        step.rows.push_back({edit.row, edit.before, std::move(after)});
    }
    history_.Push(std::move(step));
    ShowUndoState();
}

void TForm1::UndoStep() {
    EndFieldEdit();
    if (!history_.CanUndo()) {
        return;
    }
    const undo::TStep step = history_.Undo();
    ApplyStep(step, false);
    ShowStatus(QStringLiteral("Undone: %1").arg(step.what));
}

void TForm1::RedoStep() {
    EndFieldEdit();
    if (!history_.CanRedo()) {
        return;
    }
    const undo::TStep step = history_.Redo();
    ApplyStep(step, true);
    ShowStatus(QStringLiteral("Redone: %1").arg(step.what));
}

void TForm1::ApplyStep(const undo::TStep& step, bool redo) {
    stepRunning_ = true;
    for (const undo::TRowChange& change : step.rows) {
        const int k = change.row;
        const rows::TRowEdits& edits = redo ? change.after : change.before;
        // The model first, so that the fields' change signals find nothing new.
        rowModel_.RestoreEdits(k, edits);
        const std::vector<QWidget*> controls = RowValueControls(k);
        for (size_t f = 0; f < controls.size(); ++f) {
            if (ValueText(controls[f]) != edits.shown[f]) {
                SetValueText(controls[f], edits.shown[f]);
            }
        }
        PaintRow(k);
        RowChanged(k);
    }
    // The boxes show what the step left; setting a mark runs no command.
    const unsigned toggles = redo ? step.togglesAfter : step.togglesBefore;
    unsigned bit = 1;
    for (QCheckBox* box : StepBoxes()) {
        box->setChecked((toggles & bit) != 0);
        bit <<= 1;
    }
    togglesShown_ = toggles;
    stepRunning_ = false;
    page_.NoticePicturesChanged(std::nullopt, false);
    ShowUndoState();
}

void TForm1::ShowUndoState() {
    // A field edit in progress is the step an undo takes first.
    const QString undone = fieldEdit_           ? TypingStepName(fieldEdit_->column)
                           : history_.CanUndo() ? history_.NextUndo().what
                                                : QString();
    UndoAction->setEnabled(!undone.isEmpty());
    UndoAction->setText(undone.isEmpty() ? QStringLiteral("Undo")
                                         : QStringLiteral("Undo %1").arg(undone));
    RedoAction->setEnabled(history_.CanRedo());
    RedoAction->setText(history_.CanRedo() ? QStringLiteral("Redo %1").arg(history_.NextRedo().what)
                                           : QStringLiteral("Redo"));
}

void TForm1::HistoryFollowsPage() {
    TPageKey key{FolderPath, TagKind, PageIndex, {}};
    for (int k = 0; k < RowsInScope(); ++k) {
        key.files.push_back(FileList[page_logic::FileIndex(PageIndex, k)]);
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
        ForgetHistory(reason);
    }
}

void TForm1::ForgetHistory(const QString& reason) {
    const bool had = history_.CanUndo() || history_.CanRedo() || fieldEdit_;
    fieldEdit_.reset();
    history_.Clear();
    ShowUndoState();
    if (had) {
        ShowStatus(QStringLiteral("Undo history cleared: %1.").arg(reason));
    }
}
