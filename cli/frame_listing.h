// What `show` tells of each frame of a tag: its identifier, readable name,
// size and, for the frames that hold text, the values decoded to UTF-8. The
// one place where a frame is described, so richer names and values plug in here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class Tid3v2tag;

namespace cli {

struct TFrameDescription {
    std::string id;
    std::string name;  // readable; "" for a frame without one
    size_t size = 0;   // the frame's data in bytes, as stored
    // Text frames: every value; comments and TXXX: the text. Empty for others.
    std::vector<std::string> values;
    std::optional<std::string> description;  // comments and TXXX
    std::optional<std::string> language;     // comments
    bool unreadable = false;                 // a text frame whose data could not be decoded
};

// Every frame of the tag in table order. Decompresses frames for reading.
std::vector<TFrameDescription> DescribeFrames(Tid3v2tag& tag);

// The value of the user text frame (TXXX) with this description, or nothing
// when the tag has none; unreadable frames count as none.
std::optional<std::string> UserText(Tid3v2tag& tag, const std::string& description);
// Sets the user text frame with this description (a new one comes last; an
// encrypted one, which cannot be read, stays as it is); an empty value
// removes it. False when the description or value is not well-formed UTF-8
// or holds U+0000; nothing is changed then.
bool SetUserText(Tid3v2tag& tag, const std::string& description, const std::string& value);

}  // namespace cli
