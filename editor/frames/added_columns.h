// The columns a user can add beside the seven fields: album artist, disc,
// composer and the other common text frames, and any user text frame by its
// description; each with the key the naming patterns write it by.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Tid3v2tag;

namespace frames {

struct TAddedColumn {
    std::string key;          // the pattern key ("albumartist" for %{albumartist}); unique
    std::string title;        // the column's heading
    std::string v3Id;         // the frame of a version-3 tag
    std::string v4Id;         // the frame of a version-4 tag
    std::string description;  // for a user text frame (TXXX): its description

    const std::string& FrameId(int version) const { return version == 4 ? v4Id : v3Id; }
    bool operator==(const TAddedColumn&) const = default;
};

// The standard added columns in the order a menu lists them.
const std::vector<TAddedColumn>& StandardColumns();
// The column of a user text frame: key "user:" and the description.
TAddedColumn UserTextColumn(const std::string& description);
// The column of a key: a standard one or a user text column; nothing for an
// unknown key.
std::optional<TAddedColumn> ColumnOfKey(std::string_view key);

// The texts the columns show of the tag, by key: the first frame's values
// joined with kValueSeparator; empty when the tag holds no such frame.
std::map<std::string, std::string> ColumnTexts(const Tid3v2tag& tag,
                                               const std::vector<TAddedColumn>& columns);

}  // namespace frames
