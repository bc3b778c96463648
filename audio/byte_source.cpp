// The memory and file byte sources, and the clamped range read both share.
#include "audio/byte_source.h"

#include <algorithm>
#include <cstring>

#include "platform/file.h"

namespace audio {

size_t MemorySource::ReadAt(int64_t offset, uint8_t* buffer, size_t n) const {
    if (offset < 0 || offset >= Size()) {
        return 0;
    }
    const size_t count = std::min(n, bytes_.size() - static_cast<size_t>(offset));
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
}

int64_t FileSource::Size() const {
    return file_.Size();
}

size_t FileSource::ReadAt(int64_t offset, uint8_t* buffer, size_t n) const {
    return file_.ReadAt(offset, buffer, n);
}

ReadBytes ReadRange(const ByteSource& source, int64_t offset, int64_t n) {
    const int64_t start = std::clamp<int64_t>(offset, 0, source.Size());
    const size_t count = static_cast<size_t>(std::clamp<int64_t>(n, 0, source.Size() - start));
    ReadBytes bytes(count);
    bytes.SetSize(std::min(count, source.ReadAt(start, bytes.Data(), count)));
    return bytes;
}

}  // namespace audio
