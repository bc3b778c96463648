// The state of the running load or save. It lives at module level because
// only one load or save runs at a time; ReleaseWorkState frees it after each.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "id3v2/id3v2.h"
#include "platform/file.h"

namespace id3v2 {

constexpr uint32_t kPageSize = 16384;
constexpr uint32_t kRingSize = 4 * kPageSize;

struct WorkState {
    Tid3v2tag* CurrentTag = nullptr;
    std::unique_ptr<platform::File> FileStream;
    int64_t FileSize = 0;  // taken once when the file is opened for a load
    std::unique_ptr<std::vector<uint8_t>> ScratchStream;
    // The read ring: ring index k lies in page k / kPageSize at k % kPageSize.
    // The pages are left uninitialised; only loaded bytes are ever read.
    std::array<std::unique_ptr<uint8_t[]>, 4> Pages;
    int64_t TagStart = 0;
    uint32_t BodySize = 0;
    uint32_t Available = 0;
    uint32_t ReadPos = 0;
    uint32_t WritePos = 0;
    uint32_t Remaining = 0;
    bool AllLoaded = false;
    // Version-3 de-unsynchronisation in the ring: whether it runs, and the
    // original body byte before the next byte it will examine.
    bool DeunsyncBody = false;
    uint8_t DeunsyncPrevious = 0;
    // A listing load: large plain pictures are read up to their image only.
    bool Listing = false;

    // Save only.
    uint32_t OldTagSize = 0;
    std::unique_ptr<std::vector<uint8_t>> WorkBuffer;
    std::unique_ptr<std::vector<uint8_t>> Staging;
    std::unique_ptr<std::vector<uint8_t>> PaddingBlock;
};

extern WorkState Work;

// Frees the file, the buffers and the ring, whichever exist.
void ReleaseWorkState();

// Creates the save's buffers in the work state (staging, zero block, work
// buffer) and frees them when the save ends, however it ends.
class SaveBuffers {
  public:
    SaveBuffers();
    ~SaveBuffers();
    SaveBuffers(const SaveBuffers&) = delete;
    SaveBuffers& operator=(const SaveBuffers&) = delete;
};

// Calls ReleaseWorkState when a load or save leaves its scope, also by an exception.
class WorkStateRelease {
  public:
    WorkStateRelease() = default;
    ~WorkStateRelease() { ReleaseWorkState(); }
    WorkStateRelease(const WorkStateRelease&) = delete;
    WorkStateRelease& operator=(const WorkStateRelease&) = delete;
};

}  // namespace id3v2
