// The history of the user's edits on a page as undo and redo steps: each step
// keeps, for the rows it changed, what they showed before and after it.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <vector>

#include "editor/model/row_model.h"

namespace undo {

struct TRowChange {
    int row = 0;
    rows::TRowEdits before;
    rows::TRowEdits after;
};

struct TStep {
    QString what;  // names the step in the menu: "Undo <what>"
    std::vector<TRowChange> rows;
    // Window switches the step set (the column and folder boxes), as bits.
    unsigned togglesBefore = 0;
    unsigned togglesAfter = 0;
    // A step that changed no row is not kept, whatever its boxes did.
    bool Empty() const { return rows.empty(); }
};

// The step a change made, from the rows' edits before and after it (index =
// row): only the rows that differ are kept.
TStep MakeStep(const QString& what, const std::vector<rows::TRowEdits>& before,
               const std::vector<rows::TRowEdits>& after, unsigned togglesBefore,
               unsigned togglesAfter);

class THistory {
  public:
    static constexpr size_t kMaxSteps = 200;

    // A new step: it drops the steps undone before it; an empty step is not
    // kept. Beyond kMaxSteps the oldest step goes.
    void Push(TStep step);
    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    // The step that Undo and Redo would take; valid only while they can.
    const TStep& NextUndo() const { return done_.back(); }
    const TStep& NextRedo() const { return undone_.back(); }
    // Moves the step between the two lists and returns it, to be applied:
    // its `before` for an undo, its `after` for a redo.
    TStep Undo();
    TStep Redo();
    void Clear();

  private:
    std::deque<TStep> done_;
    std::vector<TStep> undone_;
};

}  // namespace undo
