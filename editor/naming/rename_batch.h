// Runs a rename plan as one batch: all of its renames happen, or those done
// are renamed back and the result tells, per file, what happened. The last
// batch can be undone while every file is still as the batch left it.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "editor/naming/name_rules.h"
#include "platform/file.h"

namespace naming {

// What became of one row of the plan.
enum class Outcome {
    Renamed,      // has its new name
    Unchanged,    // its new name is its old name
    Refused,      // the plan gave a reason; not tried
    Failed,       // its rename failed; detail says why
    NotTried,     // the batch stopped before its turn
    RenamedBack,  // was renamed, then renamed back after a later failure
    Stuck,        // could not be renamed back; detail names where it is
};

struct FileResult {
    std::string oldName;
    std::string newName;
    Outcome outcome = Outcome::NotTried;
    QString detail;
};

// A finished batch: the files it renamed, each with the identity it had.
struct Batch {
    struct Entry {
        std::string oldName;
        std::string newName;
        platform::FileIdentity identity;
    };
    std::string folder;
    std::vector<Entry> entries;
};

struct BatchResult {
    bool succeeded = false;
    std::vector<FileResult> files;  // one per plan row, in plan order
    Batch batch;                    // what was renamed when it succeeded
    QString message;                // one text for the user
};

// Renames the plan's rows that rename, in order, inside `folder`. A rename
// that changes only letter case goes through a temporary name so that a
// case-insensitive file system sees two different names. No rename replaces a
// file: a name taken since the plan was made fails that rename.
BatchResult RunPlan(const std::string& folder, const Plan& plan);

// Renames a batch back when every file still has the name the batch gave it
// and is the same file (same device and inode), and no other file has taken
// an old name; otherwise nothing is renamed and each file that stands in the
// way has its reason. The result's batch undoes the undo.
BatchResult UndoBatch(const Batch& batch);

}  // namespace naming
