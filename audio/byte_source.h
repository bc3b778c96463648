// Where the audio reader takes its bytes from: a file or a buffer in memory,
// read at an offset, so the reader, its tests and its fuzz target share one path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {
class File;
}

namespace audio {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual int64_t Size() const = 0;
    // Copies up to n bytes at `offset` into `buffer`; fewer only at the end.
    virtual size_t ReadAt(int64_t offset, uint8_t* buffer, size_t n) const = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    size_t ReadAt(int64_t offset, uint8_t* buffer, size_t n) const override;

  private:
    std::span<const uint8_t> bytes_;
};

// Reads an open file; its read failures (platform::ReadError) reach the caller.
class FileSource final : public ByteSource {
  public:
    explicit FileSource(const platform::File& file) : file_(file) {}
    int64_t Size() const override;
    size_t ReadAt(int64_t offset, uint8_t* buffer, size_t n) const override;

  private:
    const platform::File& file_;
};

// The bytes of [offset, offset + n) that lie inside the source.
std::vector<uint8_t> ReadRange(const ByteSource& source, int64_t offset, int64_t n);

}  // namespace audio
