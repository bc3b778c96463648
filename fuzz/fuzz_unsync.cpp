// Fuzzes the frame table's unsynchronisation: Unsynchronise must leave no
// false sync and no final 0xFF, and Resynchronise must give the input back;
// Resynchronise of arbitrary data must stay within it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "id3v2/id3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input(data, data + size);
    TFrameIndex frames;
    frames.AddFrame("TEST");
    frames.Data(1) = input;
    if (frames.Unsynchronise(1) != id3v2::kFrameDone) {
        std::abort();
    }
    const std::vector<uint8_t>& unsynced = frames.Data(1);
    for (size_t i = 0; i + 1 < unsynced.size(); ++i) {
        if (unsynced[i] == 0xFF && unsynced[i + 1] >= 0xE0) {
            std::abort();
        }
    }
    if (!unsynced.empty() && unsynced.back() == 0xFF) {
        std::abort();
    }
    if (frames.RawSize(1) != size || frames.Resynchronise(1) != id3v2::kFrameDone ||
        frames.Data(1) != input) {
        std::abort();
    }

    frames.Data(1) = input;
    frames.SetState(1, 2, 0x02);
    if (frames.Resynchronise(1) != id3v2::kFrameDone || frames.DataSize(1) > size) {
        std::abort();
    }
    return 0;
}
