// Before a save: each frame's data brought to the form its wanted flags ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "id3v2/id3v2.h"

namespace id3v2 {

// Spreads unsynchronisation between the tag and its frames, prunes empty
// frames, settles version 4 data lengths or re-encodes the text that version 3
// cannot hold, compresses or decompresses and unsynchronises or resynchronises
// each frame, and checks that encryption and grouping flags agree with the
// data. Returns an error word, 0 when the save may go on; warnings collect in
// `warnings`. The frames keep the changes whatever the outcome.
uint16_t PrepareFrames(Tid3v2tag& tag, uint8_t version, uint16_t& warnings);

}  // namespace id3v2
