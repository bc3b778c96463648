// Routines of the tag reader over the shared work state: body parsing for
// versions 3 and 4, taking bytes from the read ring, and the padding test.
#pragma once

#include <cstdint>
#include <vector>

namespace id3v2 {

// Parse the body of a version-3 or version-4 tag into Work.CurrentTag; each
// adds its error code and warning bits to `result`.
void ParseV23(uint16_t& result);
void ParseV24(uint16_t& result);

// Takes up to n body bytes from the read ring (refilling it from the file) and
// appends them to `destination`. Returns the number taken, which is less than
// n only when the body has no more bytes.
uint32_t ReadBody(std::vector<uint8_t>& destination, uint32_t n);

// Removes unsynchronisation zeros in place over the ring: examines the bytes
// at ring indices first up to (not including) last, with Work.DeunsyncPrevious
// as the byte before `first` and the byte at `last` as the look-ahead, and
// moves the kept bytes and the look-ahead down to stay contiguous from
// `first`. Returns the number of bytes removed; the look-ahead byte is
// examined by the next pass, which begins at its new position.
uint32_t DeunsyncRing(uint32_t first, uint32_t last);

// A block where a frame header would be starts the padding when it is all
// zeros or begins with "MP3e".
bool IsPadding(const std::vector<uint8_t>& block);

}  // namespace id3v2
