// The journal of a save that moves audio: a private file in the user's state
// folder that holds what a recovery needs to finish the save after a kill
// (which file, the plan of the move, the new tag, how far the move got). It
// is written before the first byte of audio moves and removed when the save
// ends, successfully or by its own failure path.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "id3v2/write/audio_move.h"
#include "platform/file.h"

namespace id3v2 {

// The journals' folder, created when asked; "" with `error` set when it
// cannot be made or named.
std::string JournalFolder(std::string& error, bool create = true);

// What the journal knows of the file before the save touched it.
struct JournalHeader {
    platform::FileIdentity identity;
    std::string path;  // absolute
    Relayout plan;
    bool durable = false;          // each step is flushed to the disk
    std::vector<uint8_t> head;     // the first bytes at plan.start
    std::vector<uint8_t> end;      // the audio's last bytes
    std::vector<uint8_t> landing;  // the first chunk's bytes plan.FirstLanding names
    // The modification time the file gets back once whole, when the save keeps it.
    std::optional<platform::FileTime> keptTime;
};

// A step as read back from a journal, owning its bytes.
struct RecordedStep {
    RelayPhase phase = RelayPhase::Moving;
    uint64_t moved = 0;
    int64_t restoreAt = 0;
    std::vector<uint8_t> restore;

    RelayStep View() const { return {phase, moved, restoreAt, restore}; }
};

class MoveJournal : public RelayLog {
  public:
    // The journal of a save about to move audio in the open file, in the
    // journal folder; nullptr with `error` set when it cannot be made. With
    // `keepTime` the file's modification time at opening is recorded too.
    static std::unique_ptr<MoveJournal> Begin(const platform::File& file, const Relayout& plan,
                                              const std::vector<uint8_t>& newTag, bool durable,
                                              std::string& error, bool keepTime = false);
    // Writes the journal of a save in `folder` (flushed to the disk when the
    // header asks for durable steps); nullptr with `error` set when it cannot.
    // It is written under a temporary name and renamed when whole, and stays
    // locked while this object lives, so a recovery never takes a journal
    // that a running save is writing.
    static std::unique_ptr<MoveJournal> Create(const std::string& folder,
                                               const JournalHeader& header,
                                               const std::vector<uint8_t>& newTag,
                                               std::string& error);
    // Takes a journal back, locked, with its steps read; nullptr with `whole`
    // false when it is not a whole journal, or with `whole` true when a
    // running save holds it or it was removed meanwhile. A journal whose
    // header checks was whole once, since its header is written last: when
    // the rest is short or spoiled (another program cut or wrote it, even
    // while it was being read), `spoiled` gets the path of the file it names,
    // which the save may have left half moved. Throws platform::IoError when
    // it cannot be read.
    static std::unique_ptr<MoveJournal> Open(const std::string& journalPath, bool& whole,
                                             std::string* spoiled = nullptr);
    // A journal's name ends so; one still being written ends in kUnfinished.
    static constexpr const char* kSuffix = ".journal";
    static constexpr const char* kUnfinished = ".journal.new";
    // A journal that does not hold what it claims is renamed so: never applied,
    // never met again, but kept for a person to look at.
    static constexpr const char* kSetAside = ".journal.set-aside";
    // Where the journal of a save of the file with this identity lives.
    static std::string PathFor(const std::string& folder, const platform::FileIdentity& identity);

    const JournalHeader& Header() const { return header_; }
    const std::vector<uint8_t>& NewTag() const { return newTag_; }
    // The last step the journal held when it was opened; none when the move
    // had not been announced.
    const std::optional<RecordedStep>& LastStep() const { return last_; }

    void Record(const RelayStep& step) override;
    // Deletes the journal file; false with `error` set when it cannot.
    bool Remove(std::string& error);

    // Create and Open make journals; this only binds the parts.
    MoveJournal(std::unique_ptr<platform::File> file, JournalHeader header);

  private:
    // Reads both step slots into memory; false when the file ends before them.
    bool ReadSlots();

    std::unique_ptr<platform::File> file_;
    JournalHeader header_;
    std::string path_;
    std::vector<uint8_t> newTag_;
    int64_t slots_ = 0;  // where the two step slots begin
    uint32_t recorded_ = 0;
    std::optional<RecordedStep> last_;
};

}  // namespace id3v2
