// Fuzz target: the text decoder with every encoding and both line modes, and the
// text and comment lookups over frames made of the same bytes.
#include <cstdlib>
#include <span>
#include <string>

#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckDecoder(std::span<const uint8_t> bytes, size_t start, size_t wantedLimit,
                  uint8_t encoding, bool multiLine) {
    std::string text;
    size_t limit = wantedLimit;
    const uint8_t result = DecodeText(bytes, start, limit, encoding, multiLine, text);
    Require(result == 0 || result == 2 || result == 4 || result == 5 || result == 8);
    Require(result != 2 || (start >= bytes.size() && text.empty() && limit == 0));
    Require(result == 2 || start + limit <= bytes.size());
    Require(wantedLimit == 0 || limit <= wantedLimit);
    Require(text.size() <= limit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    // The first bytes steer the start offset, the limit and one extra encoding.
    const size_t start = size > 0 ? data[0] % 8 : 0;
    const size_t limit = size > 1 ? data[1] % 24 : 0;
    const uint8_t extraEncoding = size > 2 ? data[2] : 4;
    for (uint8_t encoding :
         {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{9}, extraEncoding}) {
        for (bool multiLine : {false, true}) {
            CheckDecoder(bytes, start, limit, encoding, multiLine);
        }
    }

    // The fourth byte marks the text frame compressed, encrypted or unsynchronised,
    // so reading it also runs resynchronisation and inflate over the bytes.
    Tid3v2tag tag;
    const uint32_t title = tag.Frames.AddFrame("TIT2");
    tag.Frames.Data(title).assign(data, data + size);
    const uint8_t held = size > 3 ? data[3] & 0x0E : 0;
    tag.Frames.SetState(title, 2, held);
    tag.Frames.SetWantedFlags(title, 2, held);
    tag.Frames.Data(tag.Frames.AddFrame("COMM")).assign(data, data + size);
    std::string text;
    tag.GetText("TIT2", text);
    COMM value;
    tag.GetComment(value, "", "None");
    tag.GetComment(value, value.Description, value.Language);
    return 0;
}
