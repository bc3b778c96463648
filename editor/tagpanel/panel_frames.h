// What the tag panel shows of a row's ID3v2 tag and how its edits become
// frame changes of the row: the frames as the file stores them with the
// row's unsaved frame changes laid over, and an edit of one frame checked and
// encoded for the version the row's save writes. Widget-free.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/frames/frame_view.h"
#include "editor/model/row_model.h"

namespace tagpanel {

// A frame as the panel lists it: a stored frame (view.stored names its place
// in the tag as loaded) or a frame the row adds, by its place among the
// row's added frames.
struct TPanelFrame {
    frames::TFrameView view;
    int added = -1;  // index among the added frames of the row's changes; -1 for a stored frame
};

struct TPanelFrames {
    std::vector<TPanelFrame> frames;
    int version = 0;      // the major version of the file's tag; 0 for a file without one
    std::string problem;  // why the file's tag could not be read, else ""
};

// The frames of the file's ID3v2 tag in stored order with `changes` applied:
// changed frames show their new values, removed ones are left out, added
// ones follow at the end.
TPanelFrames RowFrames(const std::string& path, const rows::FrameChanges& changes);

// What the user typed for a frame: its text (values joined with
// frames::kValueSeparator for text frames; one text, several lines allowed,
// for comments and lyrics; one URL), description and language.
struct TFrameEdit {
    std::string text;
    std::string description;
    std::string language;
};

struct TEncodedEdit {
    std::shared_ptr<const std::vector<uint8_t>> data;  // none: the frame is to go
    std::string problem;                               // why the edit is refused, else ""
};

// The frame `view` as edited, encoded for a tag of `version`. An empty text
// of a text or URL frame removes the frame. Refused for a frame shown only in
// part or not decoded in full, since a save would lose what is not shown.
TEncodedEdit EncodeEdit(frames::TFrameView view, const TFrameEdit& edit, int version);

// The row's frame changes with `frame` given `data` (none: removed).
rows::FrameChanges WithFrame(rows::FrameChanges changes, const TPanelFrame& frame,
                             std::shared_ptr<const std::vector<uint8_t>> data);
// The row's frame changes with a frame `id` added at the end.
rows::FrameChanges WithAddedFrame(rows::FrameChanges changes, const std::string& id,
                                  std::shared_ptr<const std::vector<uint8_t>> data);

}  // namespace tagpanel
