// Unsynchronisation of byte runs: the zero bytes inserted after 0xFF, counted
// and placed in one backward pass, and the count a reader would remove.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace id3v2 {

// Inserts a zero after every 0xFF followed by 0x00 or a byte of 0xE0 or more. The
// buffer must have room for the inserted bytes; returns how many were inserted.
size_t UnsyncInPlace(uint8_t* buffer, size_t length);
// Unsynchronises the bytes in place, growing the vector by the inserted zeros.
void UnsyncBytes(std::vector<uint8_t>& bytes);
// Removes the zeros that unsynchronisation inserted: a zero after 0xFF that is
// followed by 0x00 or a byte of 0xE0 or more. A final zero has no follower and
// stays. UnsyncBytes followed by ResyncBytes gives back the bytes it started from.
void ResyncBytes(std::vector<uint8_t>& bytes);
// The number of bytes UnsyncInPlace would insert.
size_t CountUnsync(const uint8_t* bytes, size_t length);
// The same over the four big-endian bytes of a 32-bit value.
size_t CountUnsync32(uint32_t value);
// The number of zero bytes ResyncBytes would remove.
size_t CountResync(const uint8_t* bytes, size_t length);

}  // namespace id3v2
