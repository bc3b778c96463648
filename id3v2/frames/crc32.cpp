// Table-driven CRC-32; the table is built by the compiler.
#include "id3v2/frames/crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();
static_assert(kCrcTable[1] == 0x77073096u && kCrcTable[2] == 0xEE0E612Cu &&
              kCrcTable[3] == 0x990951BAu && kCrcTable[255] == 0x2D02EF8Du);

}  // namespace

void UpdateCrc32(const uint8_t* data, size_t size, uint32_t& crc) {
    uint32_t reg = crc;
    for (size_t i = 0; i < size; ++i) {
        reg = kCrcTable[(reg ^ data[i]) & 0xFF] ^ (reg >> 8);
    }
    crc = reg;
}
