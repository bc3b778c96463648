// Generated MP3 files for tests.
#include "tests/helpers/mp3_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "id3v2/internal.h"

namespace testing_mp3 {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tagvora-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    // Read-only files and folders made by tests must not stop the clean-up.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(path_, error);
}

StateFolder::StateFolder() {
    if (const char* value = std::getenv("XDG_STATE_HOME")) {
        previous_ = value;
    }
    ::setenv("XDG_STATE_HOME", dir_.Path().c_str(), 1);
}

StateFolder::~StateFolder() {
    if (previous_) {
        ::setenv("XDG_STATE_HOME", previous_->c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
}

bool StateFolder::NoJournalLeft() const {
    std::error_code missing;
    return std::filesystem::is_empty(dir_.File("tagvora/journal"), missing) || missing;
}

Bytes SilentAudio(size_t count) {
    Bytes audio(count * 417, 0);
    for (size_t i = 0; i < count; ++i) {
        audio[i * 417 + 0] = 0xFF;
        audio[i * 417 + 1] = 0xFB;
        audio[i * 417 + 2] = 0x90;
        audio[i * 417 + 3] = 0xC4;
    }
    return audio;
}

Bytes PositionalAudio(size_t size) {
    Bytes audio(size);
    for (size_t i = 0; i < size; ++i) {
        audio[i] = static_cast<uint8_t>((i * 131 + i / 251) & 0xFF);
    }
    return audio;
}

Bytes TagHeader(uint8_t version, uint32_t bodySize, uint8_t flags, uint8_t revision) {
    Bytes header = {'I', 'D', '3', version, revision, flags, 0, 0, 0, 0};
    id3v2::WriteSyncsafe32(header.data() + 6, bodySize);
    return header;
}

Bytes Frame(uint8_t version, const std::string& id, const Bytes& data, uint8_t statusFlags,
            uint8_t formatFlags) {
    Bytes frame(id.begin(), id.end());
    if (version == 2) {  // three letters and a 24-bit size, no flags
        const auto size = static_cast<uint32_t>(data.size());
        frame.insert(frame.end(), {static_cast<uint8_t>(size >> 16),
                                   static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)});
        frame.insert(frame.end(), data.begin(), data.end());
        return frame;
    }
    frame.resize(10);
    if (version == 4) {
        id3v2::WriteSyncsafe32(frame.data() + 4, static_cast<uint32_t>(data.size()));
    } else {
        id3v2::WriteBigEndian32(frame.data() + 4, static_cast<uint32_t>(data.size()));
    }
    frame[8] = statusFlags;
    frame[9] = formatFlags;
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

Bytes Latin1Text(const std::string& text) {
    Bytes data(text.size() + 1, 0);
    std::copy(text.begin(), text.end(), data.begin() + 1);
    return data;
}

Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Tag(uint8_t version, const std::vector<Bytes>& frames, uint32_t padding, uint8_t flags) {
    Bytes body = Concat(frames);
    body.resize(body.size() + padding, 0);
    return Concat({TagHeader(version, static_cast<uint32_t>(body.size()), flags), body});
}

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Png(size_t size, uint8_t fill) {
    Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    bytes.resize(size, fill);
    return bytes;
}

Bytes PngPicture(uint8_t version, uint8_t type, const Bytes& png, const std::string& description) {
    return Frame(version, "APIC",
                 Concat({{0}, ToBytes("image/png"), {0, type}, ToBytes(description), {0}, png}));
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteMp3(const std::string& path, const Bytes& prefix, size_t frames, const Bytes& suffix) {
    WriteFile(path, Concat({prefix, SilentAudio(frames), suffix}));
}

void SetModificationTime(const std::string& path, const platform::FileTime& time) {
    platform::File(path, platform::File::Mode::Read).SetModificationTime(time);
}

platform::FileTime ModificationTime(const std::string& path) {
    return platform::File(path, platform::File::Mode::Read).ModificationTime();
}

}  // namespace testing_mp3
