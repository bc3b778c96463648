// Moving the audio data inside the file when a save changes the tag's size,
// with no temporary file: the bytes after the old tag end up after the new one.
#pragma once

#include <cstdint>

#include "id3v2/staged_output.h"
#include "platform/file.h"

namespace id3v2 {

// Moves the bytes after the old tag (oldSize bytes at start) so that they
// follow a new tag of newSize bytes, and sets the end of the file. A tag that
// grows first extends the file by appending, which leaves every byte it had
// untouched; a failure there gives the file back its old size.
void RelayAudio(platform::File& file, int64_t start, int64_t fileSize, uint32_t oldSize,
                uint64_t newSize, SaveProgress& progress);

// The bytes RelayAudio reads and writes, for the progress estimate.
uint64_t RelayedBytes(int64_t start, int64_t fileSize, uint32_t oldSize, uint64_t newSize);

}  // namespace id3v2
