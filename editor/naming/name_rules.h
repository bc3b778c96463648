// The rules a new file name made from tags must pass before any file is
// renamed, and the plan that holds, per row, the old name and the new name or
// the reason the row cannot be renamed.
#pragma once

#include <QChar>
#include <QString>

#include <string>
#include <vector>

namespace naming {

// The longest file name the file systems we write to hold, in UTF-8 bytes.
constexpr size_t kMaxNameBytes = 255;

// A character a file name cannot hold, or that file managers of other systems
// refuse, and what takes its place (empty: it is removed). The dialog lists these.
struct Replacement {
    QChar from;
    QString to;
};
const std::vector<Replacement>& Replacements();

// A file name (UTF-8 bytes, the extension included) made of a formatted
// stem, or the reason none can be made.
struct CleanName {
    std::string name;
    bool shortened = false;
    QString reason;
};
// Replaces the characters above, trims spaces and dots at both ends, shortens
// the stem at a character boundary so that the name with `extension` fits in
// kMaxNameBytes, and refuses a stem that is left empty.
CleanName MakeFileName(const QString& stem, const std::string& extension);

// One row of a rename plan. A row renames when it has no reason and its new
// name differs from its old one.
struct PlanRow {
    std::string oldName;
    std::string newName;
    bool shortened = false;
    QString reason;
    bool Renames() const { return reason.isEmpty() && newName != oldName; }
};
using Plan = std::vector<PlanRow>;

struct PlanInput {
    std::string oldName;  // as the folder holds it
    QString stem;         // the formatted name without extension
};
// The plan for rows of one folder whose entries are `folderNames`. Each row
// keeps its old extension. Names compare without regard to letter case, as a
// case-insensitive file system sees them: rows that would get the same name
// are all refused, and so is a row whose new name another entry of the folder
// has now (even one the batch renames away: the renames run one by one). A
// new name that differs from the old one only in letter case is allowed.
Plan MakePlan(const std::vector<PlanInput>& rows, const std::vector<std::string>& folderNames);

}  // namespace naming
