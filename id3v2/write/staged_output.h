// The save's output to the work-state file: whole 16 KB blocks through a
// staging buffer, runs of zeros, and the save's progress over what it writes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "id3v2/id3v2.h"

namespace id3v2 {

// The file receives whole blocks of this size, plus one partial block per run.
constexpr size_t kStageSize = 16384;

// Copies count bytes into the staging buffer of the work state and writes it to
// the work-state file at the file's position whenever it is full; count 0 writes
// out what the buffer holds.
void WriteStaged(const uint8_t* source, size_t count);
// Bytes written to files through WriteStaged since the program started.
uint64_t StagedBytesWritten();

// Progress from 10 to 100 over the bytes the save moves and writes.
class SaveProgress {
  public:
    SaveProgress(Tid3v2tag& tag, uint64_t total);
    void Add(uint64_t bytes);
    // What the save is doing now, in the tag's Status.
    void Say(const char* status) { tag_.Status = status; }

  private:
    Tid3v2tag& tag_;
    uint64_t total_;
    uint64_t done_ = 0;
};

// Stages count zero bytes from the work state's zero block.
void WriteZeros(uint64_t count, SaveProgress& progress);

}  // namespace id3v2
