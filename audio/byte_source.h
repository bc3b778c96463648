// Where the audio reader takes its bytes from: a file or a buffer in memory,
// read at an offset, so the reader, its tests and its fuzz target share one path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

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

// Bytes read from a source. The buffer is not cleared before the read, since
// only the bytes read are kept: the windows of the audio are read per file.
class ReadBytes {
  public:
    explicit ReadBytes(size_t capacity)
        : data_(std::make_unique_for_overwrite<uint8_t[]>(capacity)) {}
    uint8_t* Data() { return data_.get(); }
    size_t size() const { return size_; }
    void SetSize(size_t size) { size_ = size; }
    operator std::span<const uint8_t>() const { return {data_.get(), size_}; }

  private:
    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
};

// The bytes of [offset, offset + n) that lie inside the source.
ReadBytes ReadRange(const ByteSource& source, int64_t offset, int64_t n);

}  // namespace audio
