// Byte-level pieces of the tag writer: unsynchronisation of byte runs, the staged
// 16 KB output to the work-state file and the padding rule.
#pragma once

#include <cstddef>
#include <cstdint>

#include "id3v2/id3v2.h"

namespace id3v2 {

// The file receives whole blocks of this size, plus one partial block per run.
constexpr size_t kStageSize = 16384;

// Inserts a zero after every 0xFF followed by 0x00 or a byte of 0xE0 or more. The
// buffer must have room for the inserted bytes; returns how many were inserted.
size_t UnsyncInPlace(uint8_t* buffer, size_t length);
// The number of bytes UnsyncInPlace would insert.
size_t CountUnsync(const uint8_t* bytes, size_t length);
// The same over the four big-endian bytes of a 32-bit value.
size_t CountUnsync32(uint32_t value);
// The number of zero bytes a reader removes when it de-unsynchronises the run:
// a zero after 0xFF that is followed by 0x00 or a byte of 0xE0 or more.
size_t CountResync(const uint8_t* bytes, size_t length);

// Copies count bytes into the staging buffer of the work state and writes it to
// the work-state file at the file's position whenever it is full; count 0 writes
// out what the buffer holds.
void WriteStaged(const uint8_t* source, size_t count);
// Bytes written to files through WriteStaged since the program started.
uint64_t StagedBytesWritten();

// Padding that makes the new file size (fileSize - oldSize + newSize + padding)
// a multiple of the block: between 1 and block bytes, or 0 when the file without
// padding already ends at the first multiple above fileSize. Computed in 32-bit
// unsigned arithmetic; a block of 0 counts as 1.
uint32_t AlignedPadding(uint64_t fileSize, uint32_t oldSize, uint64_t newSize, uint32_t block);
// The padding a save chooses under the tag's PaddingMode, PaddingSize,
// PaddingBlock and PaddingLimit; newSize is the tag size without padding.
uint32_t ChoosePadding(const Tid3v2tag& tag, uint64_t fileSize, uint32_t oldSize, uint64_t newSize);

}  // namespace id3v2
