// The table of frame identifiers: names and kinds of every standard frame of
// versions 3 and 4.
#include "editor/frames/frame_catalogue.h"

#include <algorithm>
#include <array>

namespace frames {

namespace {

constexpr uint8_t k3 = 1 << 3;
constexpr uint8_t k4 = 1 << 4;
constexpr uint8_t kBoth = k3 | k4;

using K = FrameKind;

constexpr std::array kFrameTypes{
    TFrameType{"TALB", "Album", K::Text, kBoth},
    TFrameType{"TBPM", "BPM", K::Number, kBoth},
    TFrameType{"TCOM", "Composer", K::Text, kBoth},
    TFrameType{"TCON", "Genre", K::Genre, kBoth},
    TFrameType{"TCOP", "Copyright", K::Text, kBoth},
    TFrameType{"TDAT", "Date (DDMM)", K::Number, k3},
    TFrameType{"TDEN", "Encoding time", K::Timestamp, k4},
    TFrameType{"TDLY", "Playlist delay", K::Number, kBoth},
    TFrameType{"TDOR", "Original release time", K::Timestamp, k4},
    TFrameType{"TDRC", "Recording time", K::Timestamp, k4},
    TFrameType{"TDRL", "Release time", K::Timestamp, k4},
    TFrameType{"TDTG", "Tagging time", K::Timestamp, k4},
    TFrameType{"TENC", "Encoded by", K::Text, kBoth},
    TFrameType{"TEXT", "Lyricist", K::Text, kBoth},
    TFrameType{"TFLT", "File type", K::Text, kBoth},
    TFrameType{"TIME", "Time (HHMM)", K::Number, k3},
    TFrameType{"TIPL", "Involved people", K::Text, k4},
    TFrameType{"TIT1", "Grouping", K::Text, kBoth},
    TFrameType{"TIT2", "Title", K::Text, kBoth},
    TFrameType{"TIT3", "Subtitle", K::Text, kBoth},
    TFrameType{"TKEY", "Initial key", K::Text, kBoth},
    TFrameType{"TLAN", "Language", K::Text, kBoth},
    TFrameType{"TLEN", "Length (ms)", K::Number, kBoth},
    TFrameType{"TMCL", "Musician credits", K::Text, k4},
    TFrameType{"TMED", "Media type", K::Text, kBoth},
    TFrameType{"TMOO", "Mood", K::Text, k4},
    TFrameType{"TOAL", "Original album", K::Text, kBoth},
    TFrameType{"TOFN", "Original file name", K::Text, kBoth},
    TFrameType{"TOLY", "Original lyricist", K::Text, kBoth},
    TFrameType{"TOPE", "Original artist", K::Text, kBoth},
    TFrameType{"TORY", "Original year", K::Number, k3},
    TFrameType{"TOWN", "File owner", K::Text, kBoth},
    TFrameType{"TPE1", "Artist", K::Text, kBoth},
    TFrameType{"TPE2", "Album artist", K::Text, kBoth},
    TFrameType{"TPE3", "Conductor", K::Text, kBoth},
    TFrameType{"TPE4", "Remixed by", K::Text, kBoth},
    TFrameType{"TPOS", "Disc number", K::NumberOfTotal, kBoth},
    TFrameType{"TPRO", "Produced notice", K::Text, k4},
    TFrameType{"TPUB", "Publisher", K::Text, kBoth},
    TFrameType{"TRCK", "Track number", K::NumberOfTotal, kBoth},
    TFrameType{"TRDA", "Recording dates", K::Text, k3},
    TFrameType{"TRSN", "Internet radio station", K::Text, kBoth},
    TFrameType{"TRSO", "Internet radio station owner", K::Text, kBoth},
    TFrameType{"TSIZ", "Size", K::Number, k3},
    TFrameType{"TSOA", "Album sort order", K::Text, k4},
    TFrameType{"TSOP", "Artist sort order", K::Text, k4},
    TFrameType{"TSOT", "Title sort order", K::Text, k4},
    TFrameType{"TSRC", "ISRC", K::Text, kBoth},
    TFrameType{"TSSE", "Encoder settings", K::Text, kBoth},
    TFrameType{"TSST", "Set subtitle", K::Text, k4},
    TFrameType{"TYER", "Year", K::Number, k3},
    TFrameType{"TXXX", "User text", K::UserText, kBoth},
    TFrameType{"COMM", "Comment", K::Comment, kBoth},
    TFrameType{"USLT", "Lyrics", K::Lyrics, kBoth},
    TFrameType{"WCOM", "URL: Commercial information", K::Url, kBoth},
    TFrameType{"WCOP", "URL: Copyright information", K::Url, kBoth},
    TFrameType{"WOAF", "URL: Official audio file", K::Url, kBoth},
    TFrameType{"WOAR", "URL: Official artist", K::Url, kBoth},
    TFrameType{"WOAS", "URL: Official audio source", K::Url, kBoth},
    TFrameType{"WORS", "URL: Official radio station", K::Url, kBoth},
    TFrameType{"WPAY", "URL: Payment", K::Url, kBoth},
    TFrameType{"WPUB", "URL: Publisher", K::Url, kBoth},
    TFrameType{"WXXX", "User URL", K::UserUrl, kBoth},
    TFrameType{"UFID", "Unique file identifier", K::UniqueId, kBoth},
    TFrameType{"PRIV", "Private", K::Private, kBoth},
    TFrameType{"POPM", "Rating", K::Popularity, kBoth},
    TFrameType{"APIC", "Picture", K::Picture, kBoth},
    TFrameType{"AENC", "Audio encryption", K::Binary, kBoth},
    TFrameType{"ASPI", "Audio seek point index", K::Binary, k4},
    TFrameType{"COMR", "Commercial", K::Binary, kBoth},
    TFrameType{"ENCR", "Encryption method", K::Binary, kBoth},
    TFrameType{"EQU2", "Equalisation", K::Binary, k4},
    TFrameType{"EQUA", "Equalisation", K::Binary, k3},
    TFrameType{"ETCO", "Event timing codes", K::Binary, kBoth},
    TFrameType{"GEOB", "General object", K::Binary, kBoth},
    TFrameType{"GRID", "Group identification", K::Binary, kBoth},
    TFrameType{"IPLS", "Involved people list", K::Binary, k3},
    TFrameType{"LINK", "Linked information", K::Binary, kBoth},
    TFrameType{"MCDI", "Music CD identifier", K::Binary, kBoth},
    TFrameType{"MLLT", "MPEG location lookup table", K::Binary, kBoth},
    TFrameType{"OWNE", "Ownership", K::Binary, kBoth},
    TFrameType{"PCNT", "Play counter", K::Binary, kBoth},
    TFrameType{"POSS", "Position synchronisation", K::Binary, kBoth},
    TFrameType{"RBUF", "Recommended buffer size", K::Binary, kBoth},
    TFrameType{"RVA2", "Relative volume adjustment", K::Binary, k4},
    TFrameType{"RVAD", "Relative volume adjustment", K::Binary, k3},
    TFrameType{"RVRB", "Reverb", K::Binary, kBoth},
    TFrameType{"SEEK", "Seek", K::Binary, k4},
    TFrameType{"SIGN", "Signature", K::Binary, k4},
    TFrameType{"SYLT", "Synchronised lyrics", K::Binary, kBoth},
    TFrameType{"SYTC", "Synchronised tempo codes", K::Binary, kBoth},
    TFrameType{"USER", "Terms of use", K::Binary, kBoth},
};

}  // namespace

bool IsEditable(FrameKind kind) {
    return kind <= FrameKind::UserUrl;
}

bool IsTextKind(FrameKind kind) {
    return kind <= FrameKind::UserText;
}

TFrameType FrameType(std::string_view id) {
    const auto* found = std::find_if(kFrameTypes.begin(), kFrameTypes.end(),
                                     [id](const TFrameType& type) { return type.id == id; });
    if (found != kFrameTypes.end()) {
        return *found;
    }
    const FrameKind kind = id.starts_with('T')   ? FrameKind::Text
                           : id.starts_with('W') ? FrameKind::Url
                                                 : FrameKind::Binary;
    return {id, id, kind, 0};
}

std::string ReadableName(std::string_view id, std::string_view description) {
    std::string name(FrameType(id).name);
    if (id == "TXXX" || id == "WXXX") {
        name.append(": ").append(description);
    }
    return name;
}

bool JoinsWithSlash(std::string_view id) {
    return id == "TPE1" || id == "TCOM" || id == "TEXT" || id == "TOLY" || id == "TOPE";
}

std::vector<TFrameType> AddableFrames(int version) {
    const uint8_t bit = version == 4 ? k4 : k3;
    std::vector<TFrameType> addable;
    for (const TFrameType& type : kFrameTypes) {
        if ((type.versions & bit) != 0 && type.kind <= FrameKind::UserUrl) {
            addable.push_back(type);
        }
    }
    return addable;
}

}  // namespace frames
