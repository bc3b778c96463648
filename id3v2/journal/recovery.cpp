// Recovery of interrupted saves: every journal is checked against its file and
// the move it records is carried on (or, before it began, taken back).
#include "id3v2/recovery.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "id3v2/journal/journal.h"
#include "id3v2/work_state.h"
#include "id3v2/write/audio_move.h"
#include "id3v2/write/staged_output.h"
#include "platform/state_folder.h"

namespace id3v2 {
namespace {

using platform::File;
using Outcome = RecoveredFile::Outcome;

// Whether the file holds `expected` at `at` as the step describes it: where
// the write after the step was cut short, the bytes the step recorded stand.
bool BytesAt(const File& file, const RecordedStep& step, int64_t at,
             const std::vector<uint8_t>& expected) {
    std::vector<uint8_t> bytes(expected.size());
    if (at < 0 || file.ReadAt(at, bytes.data(), bytes.size()) != bytes.size()) {
        return false;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int64_t recorded = at + static_cast<int64_t>(i) - step.restoreAt;
        if (recorded >= 0 && recorded < static_cast<int64_t>(step.restore.size())) {
            bytes[i] = step.restore[static_cast<size_t>(recorded)];
        }
    }
    return bytes == expected;
}

// Why the file is not the one the journal left behind, "" when it is. Every
// state a save or its undo leaves has its size, the audio's last bytes and,
// until the tag is written, its first bytes where the journal expects them.
std::string Mismatch(const File& file, const MoveJournal& journal, const RecordedStep& step) {
    const JournalHeader& header = journal.Header();
    const Relayout& plan = header.plan;
    if (file.Identity() != header.identity) {
        return "another file stands at its path now";
    }
    // A growing tag has the file at its new size from the append on. A
    // shrinking one cuts it after its tag is written, and an undo from there
    // writes the last chunk back behind the new end.
    const bool allMoved = step.phase == RelayPhase::WritingTag || step.moved == plan.ChunkCount();
    const int64_t size = file.Size();
    const bool sizeFits = step.phase == RelayPhase::Appending
                              ? size >= plan.fileSize && size <= plan.NewFileSize()
                          : plan.Growth() > 0 ? size == plan.NewFileSize()
                          : allMoved          ? size >= plan.NewFileSize() && size <= plan.fileSize
                                              : size == plan.fileSize;
    if (!sizeFits) {
        return "its size was changed since";
    }
    // The audio's end stays at its old place until a growing tag copied it
    // behind the end, or a shrinking one moved every chunk.
    const bool endMoved = step.phase != RelayPhase::Appending && (plan.Growth() > 0 || allMoved);
    const int64_t end =
        (endMoved ? plan.NewFileSize() : plan.fileSize) - static_cast<int64_t>(header.end.size());
    // The tag's room holds the old tag, or the new one where a failure after
    // its write was being undone.
    const std::vector<uint8_t>& tag = journal.NewTag();
    const std::vector<uint8_t> newHead(
        tag.begin(),
        tag.begin() + static_cast<ptrdiff_t>(std::min(header.head.size(), tag.size())));
    const bool headFits =
        step.phase == RelayPhase::WritingTag || BytesAt(file, step, plan.start, header.head) ||
        (step.phase == RelayPhase::Moving && BytesAt(file, step, plan.start, newHead));
    // Once the first chunk moved, its bytes stand where it landed.
    const bool landed = step.phase == RelayPhase::WritingTag ||
                        (step.phase == RelayPhase::Moving && step.moved > 0);
    const MoveChunk landing = plan.FirstLanding(static_cast<uint32_t>(header.landing.size()));
    const bool landingFits = !landed || BytesAt(file, step, landing.to, header.landing);
    if (!BytesAt(file, step, end, header.end) || !headFits || !landingFits) {
        return "its bytes were changed since";
    }
    return {};
}

void Discard(MoveJournal& journal) {
    std::string ignored;
    journal.Remove(ignored);
}

// Recovers the journal's file, open and locked as the work-state file.
RecoveredFile RecoverJournal(File& file, MoveJournal& journal) {
    const JournalHeader& header = journal.Header();
    RecoveredFile result{header.path, Outcome::Completed, {}};
    const std::optional<RecordedStep>& step = journal.LastStep();
    if (!step) {
        // Killed before its first step: the file was never touched.
        result.outcome = Outcome::PutBack;
        Discard(journal);
        return result;
    }
    result.reason = Mismatch(file, journal, *step);
    if (!result.reason.empty()) {
        result.outcome = file.Identity() == header.identity ? Outcome::Changed : Outcome::Replaced;
        Discard(journal);
        return result;
    }
    const SaveBuffers buffers;
    Tid3v2tag progressTag;
    SaveProgress progress(progressTag, header.plan.RelayedBytes() + journal.NewTag().size());
    const std::vector<uint8_t> noOldTag;
    const RelayJob job{file, header.plan, noOldTag, journal.NewTag(), &journal, header.durable};
    try {
        result.outcome =
            ResumeRelay(job, step->View(), progress) ? Outcome::Completed : Outcome::PutBack;
    } catch (const platform::IoError& error) {
        Work.Staging->clear();
        result.outcome = Outcome::Failed;
        result.reason = error.what();
        return result;
    }
    if (header.keptTime) {
        try {
            file.SetModificationTime(*header.keptTime);
        } catch (const platform::IoError&) {
            // The file is whole; only its old time is lost, which is no reason
            // to repair it again.
        }
    }
    Discard(journal);
    return result;
}

// Opens the journal's file and recovers it; a file that cannot be reached or
// read keeps its journal, unless it is gone from a folder that is still there.
RecoveredFile RecoverJournalFile(MoveJournal& journal) {
    const std::string& path = journal.Header().path;
    const WorkStateRelease release;
    try {
        Work.FileStream =
            std::make_unique<File>(path, File::Mode::ReadWrite, File::Lock::Exclusive);
    } catch (const platform::IoError& error) {
        std::error_code ignored;
        if (error.Code() == ENOENT &&
            std::filesystem::is_directory(std::filesystem::path(path).parent_path(), ignored)) {
            Discard(journal);
            return {path, Outcome::Replaced, "it no longer exists"};
        }
        return {path, Outcome::Unreachable, error.what()};
    }
    try {
        return RecoverJournal(*Work.FileStream, journal);
    } catch (const platform::IoError& error) {
        // Its checks could not read the file or the journal: a disk that
        // fails now may not fail next time.
        return {path, Outcome::Unreachable, error.what()};
    }
}

// Journals that saves killed while writing them never got their final name;
// their files were never touched.
void RemoveUnfinishedJournals(const std::string& folder) {
    for (const std::string& name : platform::ListFolder(folder, MoveJournal::kUnfinished)) {
        const std::string path = folder + "/" + name;
        try {
            const File locked(path, File::Mode::ReadWrite, File::Lock::Exclusive);
            int ignored = 0;
            platform::RemoveFile(path, ignored);
        } catch (const platform::IoError&) {
            // A running save holds it.
        }
    }
}

// A rename that fails leaves the journal where it is, to be met and told
// again at the next start.
void SetAside(const std::string& path) {
    try {
        platform::RenameFile(path, path.substr(0, path.size() - std::strlen(MoveJournal::kSuffix)) +
                                       MoveJournal::kSetAside);
    } catch (const platform::IoError&) {
    }
}

}  // namespace

std::vector<RecoveredFile> RecoverInterruptedSaves() {
    std::vector<RecoveredFile> results;
    // Only a save makes the folder; without one there is nothing to recover.
    std::string error;
    const std::string folder = JournalFolder(error, false);
    if (folder.empty()) {
        return results;
    }
    RemoveUnfinishedJournals(folder);
    for (const std::string& name : platform::ListFolder(folder, MoveJournal::kSuffix)) {
        const std::string path = folder + "/" + name;
        bool whole = true;
        std::string spoiled;
        std::unique_ptr<MoveJournal> journal;
        try {
            journal = MoveJournal::Open(path, whole, &spoiled);
        } catch (const platform::IoError&) {
            continue;  // unreadable now; tried again next time
        }
        if (!journal) {
            if (!whole) {
                // Never applied: what it lacks cannot be told from its file.
                SetAside(path);
            }
            if (!spoiled.empty()) {
                results.push_back({spoiled, Outcome::Changed, "its journal was changed since"});
            }
            continue;
        }
        results.push_back(RecoverJournalFile(*journal));
    }
    return results;
}

bool RecoverPendingSave(File& file, RecoveredFile& outcome) {
    std::string error;
    const std::string folder = JournalFolder(error, false);
    const std::string path = MoveJournal::PathFor(folder, file.Identity());
    std::error_code missing;
    if (folder.empty() || !std::filesystem::exists(path, missing)) {
        return false;
    }
    bool whole = true;
    std::unique_ptr<MoveJournal> journal;
    try {
        journal = MoveJournal::Open(path, whole);
    } catch (const platform::IoError& error) {
        outcome = {file.Path(), Outcome::Failed, error.what()};
        return true;
    }
    if (!journal && whole) {
        // A recovery in another program is about to repair this very file.
        outcome = {file.Path(), Outcome::Failed, "another program is repairing it"};
        return true;
    }
    if (!journal) {
        return false;  // not whole: nothing in it can be applied
    }
    outcome = RecoverJournal(file, *journal);
    return true;
}

}  // namespace id3v2
