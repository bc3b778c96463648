// The edit history part of the window: undo and redo of the user's edits on
// the page. The commands that change rows run as one step each, typing in a
// field is one step per field edit, and the history goes when the page shows
// other files or another tag kind. It reaches the page only through TPage,
// adds its own commands to the window's menu and keeps the steps in
// undo::THistory.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/model/row_model.h"
#include "editor/model/undo_history.h"

class QAction;
class QCheckBox;
class QWidget;
class TPage;
namespace bulk {
enum class Column;
}

class THistoryPart : public QObject {
  public:
    // `stepBoxes` are the window's switches a step records and restores (the
    // column and folder boxes); `fields` the rows' value controls, whose edit
    // ends when the focus leaves them or Enter is pressed.
    THistoryPart(TPage& page, std::vector<QCheckBox*> stepBoxes,
                 const std::vector<QWidget*>& fields);

    // Runs a change of rows as one undo step named `what`.
    void RunAsOneStep(const QString& what, const std::function<void()>& change);
    // The field edit in progress, if any, becomes one step.
    void EndFieldEdit();

  protected:
    // The undo keys in a field reach the window's commands instead of the
    // field's own undo, which knows nothing of the rows.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UndoStep();
    void RedoStep();
    // The user is about to change row k's value in `column`: the first change
    // of a field edit keeps the row as it was before it.
    void NoteFieldEdit(int k, bulk::Column column);
    void ApplyStep(const undo::TStep& step, bool redo);
    void ShowUndoState();
    // After every page build: the history goes when the page shows other
    // files or another kind, with the reason in the status bar.
    void FollowPage();
    void Forget(const QString& reason);
    std::vector<rows::TRowEdits> AllRowEdits() const;
    unsigned StepToggles() const;

    struct TFieldEdit {
        int row;
        bulk::Column column;
        rows::TRowEdits before;
    };
    struct TPageKey {
        std::string folder;
        int kind = 0;
        int page = -1;
        std::vector<std::string> files;
    };

    TPage& page_;
    const std::vector<QCheckBox*> stepBoxes_;
    undo::THistory history_;
    std::optional<TFieldEdit> fieldEdit_;
    TPageKey pageKey_;
    bool stepRunning_ = false;
    unsigned togglesShown_ = 0;  // the boxes' marks as the last step or page build left them
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
};
