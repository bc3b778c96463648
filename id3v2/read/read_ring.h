// The read ring of a load: the tag body streamed forwards through four 16 KB
// pages, de-unsynchronised in place for a version 3 tag, taken by the parsers;
// large frames of a body without unsynchronisation are read past it.
#pragma once

#include <cstdint>
#include <vector>

namespace id3v2 {

// Loads the first piece of the body (Work.BodySize bytes after the tag header
// at the file position) into a fresh ring. With deunsync, the whole body is
// de-unsynchronised on its way through the ring.
void FillRing(bool deunsync);

// Takes up to n body bytes from the read ring (refilling it from the file, or
// reading a large rest straight into `destination`) and appends them to
// `destination`. Returns the number taken, which is less than
// n only when the body has no more bytes.
uint32_t ReadBody(std::vector<uint8_t>& destination, uint32_t n);
// Takes exactly n body bytes into the scratch stream; false when the body ends first.
bool Take(uint32_t n);
// Passes over up to n body bytes, those in the ring first, then the file's
// without reading them; for a body without unsynchronisation only. Returns
// the number passed, less than n only when the body has no more bytes.
uint32_t SkipBody(uint32_t n);

// Offset of the next byte to take, from the tag header, as the file position
// and the ring's fill tell it.
int64_t TakenOffset();
// Progress of the load: how far the file position has come through the tag.
void UpdateLoadProgress();

// Removes unsynchronisation zeros in place over the ring: examines the bytes
// at ring indices first up to (not including) last, with Work.DeunsyncPrevious
// as the byte before `first` and the byte at `last` as the look-ahead, and
// moves the kept bytes and the look-ahead down to stay contiguous from
// `first`. Returns the number of bytes removed; the look-ahead byte is
// examined by the next pass, which begins at its new position.
uint32_t DeunsyncRing(uint32_t first, uint32_t last);

}  // namespace id3v2
