// The parsers of a tag body, over the read ring: header flags, extended header
// and frames of a version 3 or version 4 tag into the tag object.
#pragma once

#include <cstdint>
#include <vector>

namespace id3v2 {

// Parse the body of a version-2.2, 3 or 4 tag into Work.CurrentTag; each
// adds its error code and warning bits to `result`. The tag header is in the
// work state's scratch stream, and the file position at the body. Version 2.2
// frames enter the table as their version 3 equivalents (frames_v22.h).
void ParseV22(uint16_t& result);
void ParseV23(uint16_t& result);
void ParseV24(uint16_t& result);

// A block where a frame header would be starts the padding when it is all
// zeros or begins with "MP3e".
bool IsPadding(const std::vector<uint8_t>& block);

}  // namespace id3v2
