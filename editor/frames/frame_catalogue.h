// What each frame identifier of ID3v2.3 and ID3v2.4 is: a readable name, the
// kind of value it holds (which decides how it is decoded, edited and
// checked), and the frames a user can add to a tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace frames {

enum class FrameKind : uint8_t {
    Text,           // one or more texts
    NumberOfTotal,  // "n" or "n/total" (TRCK, TPOS)
    Number,         // a whole number (TBPM, TLEN...)
    Timestamp,      // yyyy[-MM[-dd[THH[:mm[:ss]]]]]
    Genre,          // genre names or references
    UserText,       // TXXX: a description and texts
    Comment,        // COMM: language, description, text
    Lyrics,         // USLT: language, description, lines
    Url,            // W***: one URL
    UserUrl,        // WXXX: a description and a URL
    UniqueId,       // UFID: an owner and an identifier
    Private,        // PRIV: an owner and bytes
    Popularity,     // POPM: an e-mail, a rating and a play count
    Picture,        // APIC: edited in the cover pane
    Binary,         // anything else: shown by its size
};

// The kinds whose values the user edits in place.
bool IsEditable(FrameKind kind);
// The kinds that hold texts after an encoding byte (T*** and TXXX).
bool IsTextKind(FrameKind kind);

// A frame identifier as the catalogue knows it; versions is a set of bits,
// 1 << 3 and 1 << 4, of the tag versions that define it.
struct TFrameType {
    std::string_view id;
    std::string_view name;
    FrameKind kind;
    uint8_t versions;
};

// The type of a known identifier; an unknown "T..." counts as text, an
// unknown "W..." as a URL, anything else as binary, each named by its id.
TFrameType FrameType(std::string_view id);
// "Album artist", "User text: CATALOGNUMBER", "User URL: shop"; the
// description is used for TXXX and WXXX only.
std::string ReadableName(std::string_view id, std::string_view description = {});
// In version 3 these frames hold several values joined with "/".
bool JoinsWithSlash(std::string_view id);

// The frames a user can add to a tag of the version (3 or 4), in catalogue
// order: the standard text and URL frames, TXXX, COMM, USLT and WXXX.
std::vector<TFrameType> AddableFrames(int version);

}  // namespace frames
