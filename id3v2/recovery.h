// Recovering saves that a kill or a crash interrupted: each journal left in
// the state folder is checked against its file, and the file is brought to a
// whole state, the new tag with all its audio, or the old tag with all its
// audio when the move had not begun. Running it again after a kill during it
// carries on where it stopped.
#pragma once

#include <string>
#include <vector>

#include "platform/file.h"

namespace id3v2 {

struct RecoveredFile {
    enum class Outcome {
        Completed,    // the interrupted save was finished
        PutBack,      // the move had not begun; the file is as before the save
        Replaced,     // another file stands at the path; left alone
        Changed,      // the file was changed since the save; left alone
        Unreachable,  // the file cannot be opened now; tried again next time
        Failed,       // the repair failed part way; tried again next time
    };
    std::string path;
    Outcome outcome = Outcome::Completed;
    std::string reason;  // for the outcomes that leave the file alone

    // Whether the file is whole now.
    bool Repaired() const { return outcome == Outcome::Completed || outcome == Outcome::PutBack; }
};

// Recovers every journal in the state folder and reports each file it met.
// A journal is removed once its file is whole, or when it no longer describes
// its file (another file stands there, or the file was changed), since it can
// never be applied then; it is kept while its file cannot be reached. A
// journal that a running save holds is left to it.
std::vector<RecoveredFile> RecoverInterruptedSaves();

// Recovers the journal that waits for this file, opened and locked as the
// work-state file of a save, when there is one: a save never works on a file
// whose last save was interrupted. False when none waits; Failed when one
// waits that cannot be taken now (another program holds it, or it cannot be
// read), so that the save refuses.
bool RecoverPendingSave(platform::File& file, RecoveredFile& outcome);

}  // namespace id3v2
