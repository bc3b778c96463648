// The padding a save gives its tag: kept, fitted into the old tag's space, or
// aligned so that the file ends on a whole block.
#pragma once

#include <cstdint>

#include "id3v2/id3v2.h"

namespace id3v2 {

// Padding that makes the new file size (fileSize - oldSize + newSize + padding)
// a multiple of the block: between 1 and block bytes, or 0 when the file without
// padding already ends at the first multiple above fileSize. Computed in 32-bit
// unsigned arithmetic; a block of 0 counts as 1.
uint32_t AlignedPadding(uint64_t fileSize, uint32_t oldSize, uint64_t newSize, uint32_t block);
// The padding a save chooses under the tag's PaddingMode, PaddingSize,
// PaddingBlock and PaddingLimit; newSize is the tag size without padding.
uint32_t ChoosePadding(const Tid3v2tag& tag, uint64_t fileSize, uint32_t oldSize, uint64_t newSize);

}  // namespace id3v2
