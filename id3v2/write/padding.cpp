// The padding policy of a save.
#include "id3v2/write/padding.h"

namespace id3v2 {

uint32_t AlignedPadding(uint64_t fileSize, uint32_t oldSize, uint64_t newSize, uint32_t block) {
    const uint32_t b = block == 0 ? 1 : block;
    const auto f = static_cast<uint32_t>(fileSize);
    const uint32_t first = (f / b + 1) * b - (f - oldSize) - static_cast<uint32_t>(newSize);
    // Subtracting b while the value exceeds b ends in 1..b.
    return first > b ? (first - 1) % b + 1 : first;
}

uint32_t ChoosePadding(const Tid3v2tag& tag, uint64_t fileSize, uint32_t oldSize,
                       uint64_t newSize) {
    const uint32_t block = tag.PaddingBlock == 0 ? 1 : tag.PaddingBlock;
    if (tag.PaddingMode == 0) {
        return tag.PaddingSize;
    }
    if (tag.PaddingMode == 2 || newSize > oldSize || tag.PaddingLimit >= block) {
        return AlignedPadding(fileSize, oldSize, newSize, block);
    }
    return static_cast<uint32_t>(oldSize - newSize);  // the tag keeps its old size
}

}  // namespace id3v2
