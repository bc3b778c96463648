// Unsynchronisation of byte runs, for frame data and for the writer's headers.
#include "id3v2/frames/unsync.h"

#include "id3v2/frames/layout.h"

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

namespace {

// Places `inserted` zeros into the buffer, which has room for them. From the
// end backwards each byte moves once. While insertions are still to be
// placed, every write lands above `in + 1`, so the follower examined is still
// the original byte.
void PlaceUnsyncZeros(uint8_t* buffer, size_t length, size_t inserted) {
    size_t out = length + inserted;
    size_t in = length;
    while (out > in) {
        --in;
        if (in + 1 < length && buffer[in] == 0xFF && NeedsUnsyncByte(buffer[in + 1])) {
            buffer[--out] = 0x00;
        }
        buffer[--out] = buffer[in];
    }
}

// Whether the zero at i was inserted by unsynchronisation: it follows 0xFF and
// either ends the bytes or comes before a byte that needed it.
bool IsInsertedZero(const uint8_t* bytes, size_t i, size_t length) {
    return i > 0 && bytes[i] == 0x00 && bytes[i - 1] == 0xFF &&
           (i + 1 == length || NeedsUnsyncByte(bytes[i + 1]));
}

}  // namespace

size_t UnsyncInPlace(uint8_t* buffer, size_t length) {
    const size_t inserted = CountUnsync(buffer, length);
    PlaceUnsyncZeros(buffer, length, inserted);
    return inserted;
}

void UnsyncBytes(std::vector<uint8_t>& bytes) {
    const size_t length = bytes.size();
    const size_t inserted = CountUnsync(bytes.data(), length);
    if (inserted > 0) {
        bytes.resize(length + inserted);
        PlaceUnsyncZeros(bytes.data(), length, inserted);
    }
}

void UnsyncData(std::vector<uint8_t>& bytes) {
    UnsyncBytes(bytes);
    if (!bytes.empty() && bytes.back() == 0xFF) {
        bytes.push_back(0x00);
    }
}

bool EndsInFinalUnsyncZero(const std::vector<uint8_t>& bytes) {
    const size_t length = bytes.size();
    return length >= 2 && bytes[length - 2] == 0xFF && bytes[length - 1] == 0x00;
}

void ResyncBytes(std::vector<uint8_t>& bytes) {
    // `out` lags behind `in` by the zeros removed so far, so the bytes before
    // and after `in` still read as they were.
    const size_t length = bytes.size();
    size_t out = 0;
    for (size_t in = 0; in < length; ++in) {
        if (!IsInsertedZero(bytes.data(), in, length)) {
            bytes[out++] = bytes[in];
        }
    }
    bytes.resize(out);
}

size_t CountResync(const uint8_t* bytes, size_t length) {
    size_t count = 0;
    for (size_t i = 1; i < length; ++i) {
        if (IsInsertedZero(bytes, i, length)) {
            ++count;
        }
    }
    return count;
}

}  // namespace id3v2
