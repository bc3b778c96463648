// Undo and redo of the user's edits on the page.
#include "editor/window/form1.h"

void TForm1::RunAsOneStep(const QString& what, const std::function<void()>& change) {
    // Until the history exists a step is just the change.
    (void)what;
    change();
}
