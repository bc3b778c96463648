// Unsynchronisation of byte runs, for frame data and for the writer's headers.
#include "id3v2/unsync.h"

#include "id3v2/layout.h"

namespace id3v2 {

size_t CountUnsync(const uint8_t* bytes, size_t length) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < length; ++i) {
        if (bytes[i] == 0xFF && NeedsUnsyncByte(bytes[i + 1])) {
            ++count;
        }
    }
    return count;
}

size_t CountUnsync32(uint32_t value) {
    uint8_t bytes[4];
    WriteBigEndian32(bytes, value);
    return CountUnsync(bytes, 4);
}

size_t UnsyncInPlace(uint8_t* buffer, size_t length) {
    const size_t inserted = CountUnsync(buffer, length);
    // From the end backwards each byte moves once. While insertions are still
    // to be placed, every write lands above `in + 1`, so the follower examined
    // is still the original byte.
    size_t out = length + inserted;
    size_t in = length;
    while (out > in) {
        --in;
        if (in + 1 < length && buffer[in] == 0xFF && NeedsUnsyncByte(buffer[in + 1])) {
            buffer[--out] = 0x00;
        }
        buffer[--out] = buffer[in];
    }
    return inserted;
}

size_t CountResync(const uint8_t* bytes, size_t length) {
    size_t count = 0;
    for (size_t i = 1; i + 1 < length; ++i) {
        if (bytes[i] == 0x00 && bytes[i - 1] == 0xFF && NeedsUnsyncByte(bytes[i + 1])) {
            ++count;
        }
    }
    return count;
}

}  // namespace id3v2
