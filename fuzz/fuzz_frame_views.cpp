// Fuzzes the decoding of a tag's frames into views: the input is written to a
// file and loaded, and every frame is decoded whatever it holds. In a version
// 4 tag, a view of an editable frame that decoded cleanly must encode without
// a problem, or for a value a check refuses, and decode back to the same view.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/frames/frame_encoding.h"
#include "editor/frames/frame_view.h"
#include "fuzz/input_file.h"
#include "id3v2/id3v2.h"

namespace {

// Encoding and decoding again gives the view back.
void CheckRoundTrip(const frames::TFrameView& view) {
    if (view.damaged || view.cut || !frames::IsEditable(view.kind)) {
        return;
    }
    const frames::TEncodedFrame encoded = frames::EncodeFrame(view, 4);
    if (!encoded.problem.empty()) {
        return;  // a stored value the checks refuse, kept until the user edits it
    }
    TFrameIndex table;
    const uint32_t i = table.AddFrame(view.id);
    if (i == 0) {
        std::abort();
    }
    table.Data(i) = encoded.data;
    const frames::TFrameView back = frames::ViewFrame(table, i, 4);
    if (back.values != view.values || back.description != view.description || back.id != view.id) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input::WriteInput(data, size);
    Tid3v2tag tag;
    if (!id3v2::Succeeded(tag.LoadFromFile(fuzz_input::InputPath(), 0))) {
        return 0;
    }
    const std::vector<frames::TFrameView> views = frames::ViewFrames(tag);
    if (views.size() != tag.Frames.FrameCount()) {
        std::abort();
    }
    for (const frames::TFrameView& view : views) {
        if (view.name.empty()) {
            std::abort();
        }
        if (tag.MajorVersion == 4) {
            CheckRoundTrip(view);
        }
    }
    return 0;
}
