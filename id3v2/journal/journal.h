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
#include "platform/mapping.h"

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
    // Takes a journal back, locked; nullptr with `whole` false when it is not
    // a whole journal (one a power failure cut short), or with `whole` true
    // when a running save holds it or it was removed meanwhile. Throws
    // platform::IoError when it cannot be read.
    static std::unique_ptr<MoveJournal> Open(const std::string& journalPath, bool& whole);
    // A journal's name ends so; one still being written ends in kUnfinished.
    static constexpr const char* kSuffix = ".journal";
    static constexpr const char* kUnfinished = ".journal.new";
    // Where the journal of a save of the file with this identity lives.
    static std::string PathFor(const std::string& folder, const platform::FileIdentity& identity);

    const JournalHeader& Header() const { return header_; }
    const std::vector<uint8_t>& NewTag() const { return newTag_; }
    // The last step recorded; none when the move had not been announced.
    std::optional<RecordedStep> LastStep() const;

    void Record(const RelayStep& step) override;
    // Deletes the journal file; false with `error` set when it cannot.
    bool Remove(std::string& error);

    // Create and Open make journals; this only binds the parts.
    MoveJournal(std::unique_ptr<platform::File> file, JournalHeader header);

  private:
    // The two step slots, mapped, so that recording a step is a copy in memory.
    void MapSlots(int64_t slots);

    std::unique_ptr<platform::File> file_;
    JournalHeader header_;
    std::string path_;
    std::vector<uint8_t> newTag_;
    int64_t slots_ = 0;  // where the two step slots begin
    std::unique_ptr<platform::FileMapping> mapping_;
    uint32_t recorded_ = 0;
};

}  // namespace id3v2
