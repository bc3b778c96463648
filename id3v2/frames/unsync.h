// Unsynchronisation of byte runs: the zero bytes inserted after 0xFF, counted
// and placed in one backward pass, and the count a reader would remove.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace id3v2 {

// Inserts a zero after every 0xFF followed by 0x00 or a byte of 0xE0 or more. The
// buffer must have room for the inserted bytes; returns how many were inserted.
// For a run inside the tag whose follower is examined with it or cannot be a
// sync byte, so a final 0xFF gets nothing.
size_t UnsyncInPlace(uint8_t* buffer, size_t length);
// The same, growing the vector by the inserted zeros.
void UnsyncBytes(std::vector<uint8_t>& bytes);
// Unsynchronises data that ends where a reader's de-unsynchronisation ends (a
// frame's data): as UnsyncBytes, and a final 0xFF gets a zero after it too,
// because whatever the reader finds next might be taken as its sync partner.
void UnsyncData(std::vector<uint8_t>& bytes);
// Removes the zeros that unsynchronisation inserted: a zero after 0xFF that is
// followed by 0x00 or a byte of 0xE0 or more, or that ends the bytes. Every
// byte is judged by its neighbours in the input, whatever went before.
// UnsyncData or UnsyncBytes followed by ResyncBytes gives back the bytes they
// started from.
void ResyncBytes(std::vector<uint8_t>& bytes);
// Whether the bytes end in the zero that UnsyncData puts after a final 0xFF.
bool EndsInFinalUnsyncZero(const std::vector<uint8_t>& bytes);
// The number of bytes UnsyncInPlace would insert.
size_t CountUnsync(const uint8_t* bytes, size_t length);
// The same over the four big-endian bytes of a 32-bit value.
size_t CountUnsync32(uint32_t value);
// The number of zero bytes ResyncBytes would remove.
size_t CountResync(const uint8_t* bytes, size_t length);

}  // namespace id3v2
