// The naming part of the window: tags from file names and file names from
// tags by pattern, over the rows of the page, and the undo of the last rename.
// It reaches the page only through TPage and adds its own commands to the
// window's menu.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/naming/naming_preview.h"
#include "editor/naming/rename_batch.h"

class QAction;
class TPage;

class TNamingPart {
  public:
    // Adds the part's commands to the page's menu.
    explicit TNamingPart(TPage& page);

    void TagsFromNames();
    void NamesFromTags();
    void UndoRename();

  private:
    // The page's rows as the naming commands read them.
    std::vector<naming::RowInput> Rows() const;
    // While the page holds unsaved edits, asks to save it before files are
    // renamed; false when not saved.
    bool SaveBeforeRenaming();
    // Tells the outcome of a rename batch: the status bar, or an error box
    // naming each file that failed or stands in the way.
    void Report(const naming::BatchResult& result);

    TPage& page_;
    std::optional<naming::Batch> lastRename_;
    QAction* undoRenameAction_ = nullptr;
};
