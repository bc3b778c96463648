// Moving the audio data inside the file when a save changes the tag's size,
// with no temporary file: the bytes after the old tag end up after the new one.
// The move goes in steps that a failure can undo, so that a save that reports
// failure leaves the file as it was, and that a journal can record, so that a
// recovery can finish a save that was killed.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "id3v2/write/staged_output.h"
#include "platform/file.h"

namespace id3v2 {

// The audio moves in chunks of at most this many bytes, unless a save that
// flushes each step asks for larger ones.
constexpr uint32_t kMoveChunk = 16384;

struct MoveChunk {
    int64_t from = 0;
    int64_t to = 0;
    uint32_t count = 0;
};

// A save's change of layout: the old tag of oldSize bytes at start gives way
// to a new tag of newSize bytes, and the audio that followed the old tag
// follows the new one.
struct Relayout {
    int64_t start = 0;
    int64_t fileSize = 0;
    uint32_t oldSize = 0;
    uint64_t newSize = 0;
    uint32_t chunk = kMoveChunk;

    int64_t Audio() const { return fileSize - start - oldSize; }
    int64_t Growth() const { return static_cast<int64_t>(newSize) - oldSize; }
    int64_t NewFileSize() const { return fileSize + Growth(); }
    bool MovesAudio() const { return Audio() > 0 && Growth() != 0; }
    // A save keeps a journal when it moves audio, and when it writes a tag of
    // more than a chunk over a tag of the same size: a kill in the middle of
    // that write would leave a torn tag, which the journal's copy finishes.
    bool Journalled() const { return MovesAudio() || (Growth() == 0 && newSize > chunk); }
    // A growing tag first appends behind the end of the file Filler() bytes
    // (when it outgrows the audio) and then a copy of the audio's last Tail()
    // bytes; that leaves every byte the file had in place.
    uint64_t Tail() const;
    uint64_t Filler() const;
    // The rest of the audio moves in chunks, numbered in the order they move:
    // last chunk first when the tag grows, first chunk first when it shrinks,
    // so that no chunk lands on bytes that have still to move.
    uint64_t ChunkCount() const;
    MoveChunk Chunk(uint64_t index) const;
    // Up to `most` bytes of the first chunk that it puts outside its old
    // place: the file holds them at `to` once that chunk moved, and not before.
    MoveChunk FirstLanding(uint32_t most) const;
    // The bytes appended and moved, for the progress estimate.
    uint64_t RelayedBytes() const;
};

// Where a relayout stands before one of its writes, so that the state can be
// put back or carried on from there: once `restore` is back at restoreAt,
// chunks [0, moved) are at their new place and the others at their old one.
enum class RelayPhase : uint32_t { Appending = 1, Moving = 2, WritingTag = 3 };

struct RelayStep {
    RelayPhase phase = RelayPhase::Moving;
    uint64_t moved = 0;
    int64_t restoreAt = 0;
    // The bytes the coming write covers that no other place of the file holds:
    // where a chunk's old and new places overlap.
    std::span<const uint8_t> restore;
};

// Where the steps are recorded: the journal of the save.
class RelayLog {
  public:
    virtual ~RelayLog() = default;
    // Records the step before the write it announces; throws platform::IoError.
    virtual void Record(const RelayStep& step) = 0;
};

// Test seam: called before and after each write of a relayout, the first call
// numbered 1, with where it stands. It may throw platform::IoError, standing
// for a write that fails there, or end the process.
using StepHook = void (*)(uint64_t number, const RelayStep& step);
void SetStepHook(StepHook hook);

// One relayout: the file, the plan, the bytes that stood at start (oldSize of
// them) and the new tag's bytes. With `log` every step is recorded before its
// write; `durable` flushes each write to the disk before the next step.
struct RelayJob {
    platform::File& file;
    const Relayout& plan;
    const std::vector<uint8_t>& oldTag;
    const std::vector<uint8_t>& newTag;
    RelayLog* log = nullptr;
    bool durable = false;
};

// Moves the audio for the new tag's size, writes the new tag at start and sets
// the end of the file. The blocks the move writes are reserved first where the
// file system can, so that a full disk refuses before anything changes. On a
// failure everything done is undone in reverse and the file cut back to its
// old size; the failure is then rethrown, with `restored` false when the undo
// failed too (the log then still describes the file).
void RelayAndWriteTag(const RelayJob& job, SaveProgress& progress, bool& restored);

// Carries a relayout on from a step recorded before a kill: a move that had
// not begun is taken back (the file cut to its old size; false), any later
// one is finished (true). Each step is idempotent, so a kill during this is
// carried on from the log as well. Throws platform::IoError.
bool ResumeRelay(const RelayJob& job, const RelayStep& from, SaveProgress& progress);

}  // namespace id3v2
