// The frames of a version 2.2 tag in the terms of version 3: three-letter
// identifiers mapped to four-letter ones, and the picture frame's header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace id3v2 {

// The version 3 identifier of a version 2.2 frame. A frame that version 3 has
// no equivalent for keeps its bytes under "X" and its three letters, an
// identifier for experimental frames that readers skip.
std::string FrameIdFromV22(std::string_view id);

// PIC data to APIC data: the three-letter image format becomes a MIME type
// ("JPG" image/jpeg, "PNG" image/png); everything after it stays byte for byte.
void PictureFromV22(std::vector<uint8_t>& data);

}  // namespace id3v2
