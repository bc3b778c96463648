// Undo and redo steps of the page's edits, as plain data.
#include "editor/model/undo_history.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace undo {

TStep MakeStep(const QString& what, const std::vector<rows::TRowEdits>& before,
               const std::vector<rows::TRowEdits>& after, unsigned togglesBefore,
               unsigned togglesAfter) {
    TStep step{what, {}, togglesBefore, togglesAfter};
    const size_t count = std::min(before.size(), after.size());
    for (size_t k = 0; k < count; ++k) {
        if (!(before[k] == after[k])) {
            step.rows.push_back({static_cast<int>(k), before[k], after[k]});
        }
    }
    return step;
}

void THistory::Push(TStep step) {
    if (step.Empty()) {
        return;
    }
    undone_.clear();
    done_.push_back(std::move(step));
    if (done_.size() > kMaxSteps) {
        done_.pop_front();
    }
}

TStep THistory::Undo() {
    if (done_.empty()) {
        throw std::logic_error("nothing to undo");
    }
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return undone_.back();
}

TStep THistory::Redo() {
    if (undone_.empty()) {
        throw std::logic_error("nothing to redo");
    }
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return done_.back();
}

void THistory::Clear() {
    done_.clear();
    undone_.clear();
}

}  // namespace undo
