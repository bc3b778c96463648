// The rename batch with its roll-back, and undoing the last batch.
#include "editor/naming/rename_batch.h"

#include "editor/model/counted.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/directory.h"

namespace naming {
namespace {

std::string PathIn(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString Shown(const std::string& name) {
    return QString::fromUtf8(name);
}

bool CaseOnly(const std::string& a, const std::string& b) {
    return a != b && Shown(a).toCaseFolded() == Shown(b).toCaseFolded();
}

// Renames within the folder without replacing; 0 or errno.
int Move(const std::string& folder, const std::string& from, const std::string& to) {
    return platform::RenameNoReplace(PathIn(folder, from), PathIn(folder, to));
}

// Moves `from` to a free temporary name of the folder; 0 or errno.
int MoveToTemporary(const std::string& folder, const std::string& from, std::string& temporary) {
    constexpr int kAttempts = 1000;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = ".tagvora-rename-" + std::to_string(attempt) + ".tmp";
        const int error = Move(folder, from, temporary);
        if (error != EEXIST) {
            return error;
        }
    }
    return EEXIST;
}

// Renames a row's file; on failure `at` holds the name the file has now.
int RenameRow(const std::string& folder, const std::string& from, const std::string& to,
              std::string& at) {
    at = from;
    if (!CaseOnly(from, to)) {
        const int error = Move(folder, from, to);
        if (error == 0) {
            at = to;
        }
        return error;
    }
    std::string temporary;
    if (const int error = MoveToTemporary(folder, from, temporary); error != 0) {
        return error;
    }
    at = temporary;
    if (const int error = Move(folder, temporary, to); error != 0) {
        if (Move(folder, temporary, from) == 0) {
            at = from;
        }
        return error;
    }
    at = to;
    return 0;
}

// The text for the user after a batch that stopped at row `failedRow`, whose
// rename failed with `reason`.
QString FailureMessage(const std::vector<FileResult>& files, size_t failedRow,
                       const QString& reason) {
    const FileResult& failed = files[failedRow];
    QString message = QStringLiteral("Cannot rename \"%1\" to \"%2\": %3.")
                          .arg(Shown(failed.oldName), Shown(failed.newName), reason);
    const auto stuck = std::count_if(files.begin(), files.end(), [](const FileResult& file) {
        return file.outcome == Outcome::Stuck;
    });
    if (stuck == 0) {
        return message +
               QStringLiteral("\nNo file was renamed: the ones already done were renamed back.");
    }
    return message +
           QStringLiteral("\n%1 neither their old nor their new name; see the list.")
               .arg(Counted(stuck, QStringLiteral("file has"), QStringLiteral("files have")));
}

}  // namespace

BatchResult RunPlan(const std::string& folder, const Plan& plan) {
    BatchResult result;
    result.batch.folder = folder;
    struct Done {
        size_t row;
        platform::FileIdentity identity;
    };
    std::vector<Done> done;
    bool failed = false;
    size_t failedRow = 0;
    QString failure;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlanRow& row = plan[i];
        FileResult& file = result.files.emplace_back();
        file.oldName = row.oldName;
        file.newName = row.newName;
        if (!row.reason.isEmpty()) {
            file.outcome = Outcome::Refused;
            file.detail = row.reason;
            continue;
        }
        if (!row.Renames()) {
            file.outcome = Outcome::Unchanged;
            continue;
        }
        if (failed) {
            continue;  // NotTried
        }
        platform::FileIdentity identity;
        if (!platform::IdentityAt(PathIn(folder, row.oldName), identity)) {
            file.outcome = Outcome::Failed;
            file.detail = failure = Reason(errno);
            failed = true;
            failedRow = i;
            continue;
        }
        std::string at;
        if (const int error = RenameRow(folder, row.oldName, row.newName, at); error != 0) {
            failure = Reason(error);
            file.outcome = at == row.oldName ? Outcome::Failed : Outcome::Stuck;
            file.detail =
                at == row.oldName
                    ? failure
                    : QStringLiteral("%1; the file is now \"%2\"").arg(failure, Shown(at));
            failed = true;
            failedRow = i;
            continue;
        }
        file.outcome = Outcome::Renamed;
        done.push_back({i, identity});
    }
    if (!failed) {
        for (const Done& step : done) {
            result.batch.entries.push_back(
                {plan[step.row].oldName, plan[step.row].newName, step.identity});
        }
        result.succeeded = true;
        result.message = Counted(done.size(), QStringLiteral("file"), QStringLiteral("files")) +
                         QStringLiteral(" renamed.");
        return result;
    }
    for (auto step = done.rbegin(); step != done.rend(); ++step) {
        FileResult& file = result.files[step->row];
        std::string at;
        if (const int error = RenameRow(folder, file.newName, file.oldName, at); error != 0) {
            file.outcome = Outcome::Stuck;
            file.detail = QStringLiteral("cannot be renamed back: %1; the file is now \"%2\"")
                              .arg(Reason(error), Shown(at));
        } else {
            file.outcome = Outcome::RenamedBack;
        }
    }
    result.message = FailureMessage(result.files, failedRow, failure);
    return result;
}

BatchResult UndoBatch(const Batch& batch) {
    BatchResult result;
    result.batch.folder = batch.folder;
    std::vector<std::string> names = platform::ListMp3(batch.folder);
    std::sort(names.begin(), names.end());
    const auto listed = [&names](const std::string& name) {
        return std::binary_search(names.begin(), names.end(), name);
    };
    Plan back;
    bool blocked = false;
    for (const Batch::Entry& entry : batch.entries) {
        FileResult& file = result.files.emplace_back();
        file.oldName = entry.newName;
        file.newName = entry.oldName;
        platform::FileIdentity now;
        platform::FileIdentity atOld;
        if (!listed(entry.newName) ||
            !platform::IdentityAt(PathIn(batch.folder, entry.newName), now)) {
            file.detail = QStringLiteral("The file no longer has this name.");
        } else if (!(now == entry.identity)) {
            file.detail = QStringLiteral("Another file has this name now.");
        } else if (platform::IdentityAt(PathIn(batch.folder, entry.oldName), atOld) &&
                   !(atOld == entry.identity)) {
            file.detail = QStringLiteral("Another file has the old name now.");
        }
        file.outcome = file.detail.isEmpty() ? Outcome::NotTried : Outcome::Refused;
        blocked = blocked || !file.detail.isEmpty();
        back.push_back({entry.newName, entry.oldName, false, {}});
    }
    if (blocked) {
        result.message =
            QStringLiteral("The last rename cannot be undone: files have changed since.");
        return result;
    }
    return RunPlan(batch.folder, back);
}

}  // namespace naming
