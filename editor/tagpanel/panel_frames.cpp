// The tag panel's frames: the file's tag read for listing with the row's
// frame changes laid over it, and edits turned into frame changes.
#include "editor/tagpanel/panel_frames.h"

#include <algorithm>

#include "editor/frames/frame_encoding.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"

namespace tagpanel {

namespace {

const rows::TFrameChange* ChangeOf(const rows::FrameChanges& changes, uint32_t stored) {
    const auto found = std::find_if(changes.begin(), changes.end(),
                                    [stored](const auto& c) { return c.stored == stored; });
    return found == changes.end() ? nullptr : &*found;
}

// The frames whose values are several texts the user types in one field.
bool SplitsIntoValues(frames::FrameKind kind) {
    return frames::IsTextKind(kind);
}

}  // namespace

TPanelFrames RowFrames(const std::string& path, const rows::FrameChanges& changes) {
    TPanelFrames result;
    Tid3v2tag tag;
    const uint16_t loaded = tag.LoadForListing(path);
    if (!id3v2::Succeeded(loaded)) {
        if (!id3v2::FoundNoTag(loaded)) {
            result.problem = "The file's ID3v2 tag cannot be read.";
            return result;
        }
        tag.StartFreshTag();
    } else {
        result.version = tag.MajorVersion;
    }
    const uint32_t storedCount = tag.Frames.FrameCount();
    // Changed data goes in place, so each stored frame keeps its number.
    for (const rows::TFrameChange& change : changes) {
        if (change.stored != 0 && change.data && change.stored <= storedCount &&
            tag.Frames.Id(change.stored) == change.id) {
            id3v2::text_frames::ReplaceData(tag.Frames, change.stored, *change.data);
        } else if (change.stored == 0 && change.data && tag.Frames.AddFrame(change.id) != 0) {
            id3v2::text_frames::ReplaceData(tag.Frames, tag.Frames.FrameCount(), *change.data);
        }
    }
    int added = 0;
    for (frames::TFrameView& view : frames::ViewFrames(tag)) {
        if (view.stored > storedCount) {
            view.stored = 0;
            result.frames.push_back({std::move(view), added++});
            continue;
        }
        const rows::TFrameChange* change = ChangeOf(changes, view.stored);
        if (change == nullptr || change->data) {
            result.frames.push_back({std::move(view), -1});
        }
    }
    return result;
}

TEncodedEdit EncodeEdit(frames::TFrameView view, const TFrameEdit& edit, int version) {
    if (!frames::IsEditable(view.kind)) {
        return {nullptr, "This frame is shown, not edited."};
    }
    if (view.cut || view.damaged) {
        return {nullptr, "Only part of this frame is shown: editing it would lose the rest."};
    }
    if (edit.text.empty() && view.kind != frames::FrameKind::Comment &&
        view.kind != frames::FrameKind::Lyrics) {
        return {};
    }
    if (SplitsIntoValues(view.kind)) {
        if (std::string problem = frames::ValuesProblem(view.id, edit.text); !problem.empty()) {
            return {nullptr, std::move(problem)};
        }
        view.values = frames::SplitValues(edit.text);
    } else {
        view.values = {edit.text};
    }
    view.description = edit.description;
    view.language = edit.language;
    if (std::string problem = frames::ViewProblem(view); !problem.empty()) {
        return {nullptr, std::move(problem)};
    }
    frames::TEncodedFrame encoded = frames::EncodeFrame(view, version);
    if (!encoded.problem.empty()) {
        return {nullptr, std::move(encoded.problem)};
    }
    return {std::make_shared<const std::vector<uint8_t>>(std::move(encoded.data)), {}};
}

rows::FrameChanges WithFrame(rows::FrameChanges changes, const TPanelFrame& frame,
                             std::shared_ptr<const std::vector<uint8_t>> data) {
    if (frame.added < 0) {
        std::erase_if(changes, [&](const auto& c) { return c.stored == frame.view.stored; });
        changes.push_back({frame.view.stored, frame.view.id, std::move(data)});
        return changes;
    }
    int added = 0;
    for (auto c = changes.begin(); c != changes.end(); ++c) {
        if (c->stored == 0 && added++ == frame.added) {
            if (data) {
                c->data = std::move(data);
            } else {
                changes.erase(c);
            }
            break;
        }
    }
    return changes;
}

rows::FrameChanges WithAddedFrame(rows::FrameChanges changes, const std::string& id,
                                  std::shared_ptr<const std::vector<uint8_t>> data) {
    changes.push_back({0, id, std::move(data)});
    return changes;
}

}  // namespace tagpanel
