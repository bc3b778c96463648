// The catalogue of added columns, and the text a column shows of a tag.
#include "editor/frames/added_columns.h"

#include <algorithm>

#include "editor/frames/frame_encoding.h"
#include "editor/frames/frame_view.h"
#include "id3v2/id3v2.h"

namespace frames {

namespace {

constexpr std::string_view kUserPrefix = "user:";

}  // namespace

const std::vector<TAddedColumn>& StandardColumns() {
    static const std::vector<TAddedColumn> columns{
        {"albumartist", "Album artist", "TPE2", "TPE2", {}},
        {"disc", "Disc", "TPOS", "TPOS", {}},
        {"composer", "Composer", "TCOM", "TCOM", {}},
        {"bpm", "BPM", "TBPM", "TBPM", {}},
        {"originalyear", "Original year", "TORY", "TDOR", {}},
        {"grouping", "Grouping", "TIT1", "TIT1", {}},
        {"subtitle", "Subtitle", "TIT3", "TIT3", {}},
        {"lyricist", "Lyricist", "TEXT", "TEXT", {}},
        {"conductor", "Conductor", "TPE3", "TPE3", {}},
        {"publisher", "Publisher", "TPUB", "TPUB", {}},
        {"copyright", "Copyright", "TCOP", "TCOP", {}},
        {"encodedby", "Encoded by", "TENC", "TENC", {}},
    };
    return columns;
}

TAddedColumn UserTextColumn(const std::string& description) {
    return {std::string(kUserPrefix) + description, description, "TXXX", "TXXX", description};
}

std::optional<TAddedColumn> ColumnOfKey(std::string_view key) {
    if (key.starts_with(kUserPrefix)) {
        return UserTextColumn(std::string(key.substr(kUserPrefix.size())));
    }
    const std::vector<TAddedColumn>& columns = StandardColumns();
    const auto found = std::find_if(columns.begin(), columns.end(),
                                    [key](const TAddedColumn& c) { return c.key == key; });
    return found == columns.end() ? std::nullopt : std::optional(*found);
}

std::map<std::string, std::string> ColumnTexts(const Tid3v2tag& tag,
                                               const std::vector<TAddedColumn>& columns) {
    std::map<std::string, std::string> texts;
    for (const TAddedColumn& column : columns) {
        texts[column.key];
    }
    // One walk over the frames for all columns: the first frame of each counts.
    std::vector<bool> found(columns.size(), false);
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        const std::string id = tag.Frames.Id(i);
        std::optional<TFrameView> view;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (found[c] || columns[c].FrameId(tag.MajorVersion) != id) {
                continue;
            }
            if (!view) {
                view = ViewFrame(tag.Frames, i, tag.MajorVersion);
            }
            if (id != "TXXX" || view->description == columns[c].description) {
                texts[columns[c].key] = JoinValues(view->values);
                found[c] = true;
            }
        }
    }
    return texts;
}

}  // namespace frames
