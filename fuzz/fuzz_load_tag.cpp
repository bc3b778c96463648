// Fuzzes LoadFromFile and LoadForListing: the input is written to a file and
// loaded both ways, which must agree on the frames and the pictures' fields.
// When the first byte is odd, the rest of the input after its ten-byte header
// is repeated to about 80 KB, so that small inputs also reach ring refills.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/input_file.h"
#include "id3v2/id3v2.h"

namespace {

std::vector<uint8_t> FileBytes(const uint8_t* data, size_t size) {
    if (size == 0) {
        return {};
    }
    std::vector<uint8_t> file(data + 1, data + size);
    if ((data[0] & 1) != 0 && file.size() > 10) {
        const size_t pattern = file.size() - 10;
        while (file.size() < 80 * 1024) {
            file.insert(file.end(), file.begin() + 10, file.begin() + 10 + pattern);
        }
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file = FileBytes(data, size);
    fuzz_input::WriteInput(file.data(), file.size());
    const std::string& path = fuzz_input::InputPath();

    Tid3v2tag tag;
    const uint16_t result = tag.LoadFromFile(path, 0);
    // A successful load accounts for every body byte and leaves whole frames.
    if (id3v2::Succeeded(result)) {
        if (tag.Progress != 100 || tag.Complete != 1 || tag.LastResult != result) {
            std::abort();
        }
        // A version 2.2 picture's three-letter format becomes a MIME type of
        // at most eight bytes more ("JPG" to "image/jpeg" and its zero).
        const uint32_t growth = tag.MajorVersion == 2 ? 8 : 0;
        for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
            if (tag.Frames.DataSize(i) > tag.TagSize + growth || tag.Frames.Id(i).size() != 4) {
                std::abort();
            }
        }
    }
    // A listing load skips large images but reads everything else alike.
    Tid3v2tag listed;
    const uint16_t listedResult = listed.LoadForListing(path);
    if (id3v2::Succeeded(listedResult) != id3v2::Succeeded(result)) {
        std::abort();
    }
    if (id3v2::Succeeded(result)) {
        const std::vector<TPictureInfo> whole = tag.ListPictures();
        const std::vector<TPictureInfo> fields = listed.ListPictures();
        if (listed.Frames.FrameCount() != tag.Frames.FrameCount() ||
            fields.size() != whole.size()) {
            std::abort();
        }
        for (size_t i = 0; i < whole.size(); ++i) {
            if (fields[i].Readable != whole[i].Readable || fields[i].Size != whole[i].Size ||
                fields[i].Description != whole[i].Description ||
                fields[i].MimeType != whole[i].MimeType ||
                fields[i].PictureType != whole[i].PictureType) {
                std::abort();
            }
        }
    }
    return 0;
}
