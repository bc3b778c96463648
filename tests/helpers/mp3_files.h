// Test helpers: temporary folders and generated MP3 files (silent MPEG frames
// with optional tags), plus whole-file reads and writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"

namespace testing_mp3 {

using Bytes = std::vector<uint8_t>;

// A private temporary folder, removed with everything in it on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A private $XDG_STATE_HOME for one test, so that the save journals of tests
// running beside it stay apart; the previous value comes back on destruction.
class StateFolder {
  public:
    StateFolder();
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;
    const std::string& Path() const { return dir_.Path(); }
    // True when no save journal is left in it.
    bool NoJournalLeft() const;

  private:
    TempDir dir_;
    std::optional<std::string> previous_;
};

// `count` frames of silent MPEG-1 layer III audio (417 bytes each, FF FB 90 C4 + zeros).
Bytes SilentAudio(size_t count);
// Audio whose every byte tells its position, so a shifted or lost byte shows.
Bytes PositionalAudio(size_t size);
// A bare ID3v2 header: "ID3", version, revision, flags, syncsafe body size.
Bytes TagHeader(uint8_t version, uint32_t bodySize, uint8_t flags = 0, uint8_t revision = 0);
// A version-3 (plain size) or version-4 (syncsafe size) frame with the given
// data; version 2 makes a 2.2 frame of a three-letter id, without flags.
Bytes Frame(uint8_t version, const std::string& id, const Bytes& data, uint8_t statusFlags = 0,
            uint8_t formatFlags = 0);
// Text frame data: encoding byte 0 followed by the text.
Bytes Latin1Text(const std::string& text);
// A whole tag: header for `version` plus the frames plus `padding` zero bytes.
Bytes Tag(uint8_t version, const std::vector<Bytes>& frames, uint32_t padding = 0,
          uint8_t flags = 0);
Bytes Concat(const std::vector<Bytes>& parts);
Bytes ToBytes(const std::string& text);
// `size` bytes the library takes for a PNG: signature and header chunk, then `fill`.
Bytes Png(size_t size, uint8_t fill);
// A version 3 or 4 APIC frame: that PNG as a picture of `type`, with a Latin-1 description.
Bytes PngPicture(uint8_t version, uint8_t type, const Bytes& png,
                 const std::string& description = "");

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
// A modification time with a sub-second part, put on a file before a change
// that is to keep it.
constexpr platform::FileTime kOldTime{1500000000, 123456789};
void SetModificationTime(const std::string& path, const platform::FileTime& time);
platform::FileTime ModificationTime(const std::string& path);

// A file of `frames` silent audio frames, preceded by `prefix` (a tag) and
// followed by `suffix` (an ID3v1 record).
void WriteMp3(const std::string& path, const Bytes& prefix = {}, size_t frames = 10,
              const Bytes& suffix = {});

}  // namespace testing_mp3
