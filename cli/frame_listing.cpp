// Frames described for `show` through the frames room's views.
#include "cli/frame_listing.h"

#include <array>

namespace cli {

using frames::FrameKind;

std::vector<frames::TFrameView> DescribeFrames(const Tid3v2tag& tag) {
    return frames::ViewFrames(tag);
}

std::string_view KindName(FrameKind kind) {
    // In the order of FrameKind.
    static constexpr std::array<std::string_view, 15> kNames{
        "text",      "number_of_total", "number",     "timestamp", "genre",
        "user_text", "comment",         "lyrics",     "url",       "user_url",
        "unique_id", "private",         "popularity", "picture",   "binary"};
    return kNames.at(static_cast<size_t>(kind));
}

bool HasDescription(FrameKind kind) {
    return kind == FrameKind::UserText || kind == FrameKind::UserUrl ||
           kind == FrameKind::Comment || kind == FrameKind::Lyrics || kind == FrameKind::Picture;
}

bool HasLanguage(FrameKind kind) {
    return kind == FrameKind::Comment || kind == FrameKind::Lyrics;
}

}  // namespace cli
