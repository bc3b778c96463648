// Data safety of the tag writer: a seeded property test over random tags, old
// tags and audio (set TAGVORA_SEED to replay one run), and saves that run out of
// file-size room in a child process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/seeds.h"

namespace {

using id3v2::kFrameDone;
using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::ForEachSeed;
using testing_mp3::ReadFile;
using testing_mp3::TagHeader;
using testing_mp3::TempDir;
using testing_mp3::WriteFile;

// Audio whose bytes tell their position, offset by a per-case seed.
Bytes Audio(size_t size, uint32_t seed) {
    Bytes audio(size);
    for (size_t i = 0; i < size; ++i) {
        audio[i] = static_cast<uint8_t>((i * 131 + i / 253 + seed) & 0xFF);
    }
    return audio;
}

// A frame as the test asked for it: the plain data and the wanted flags.
struct FrameModel {
    std::string id;
    Bytes data;
    uint8_t format = 0;
    uint8_t status = 0;
    uint8_t method = 0;
    uint8_t group = 0;
};

class Random {
  public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : engine_() % n; }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    // Bytes rich in 0xFF, 0x00 and 0xE0.., the values unsynchronisation is about.
    Bytes Data(size_t size) {
        Bytes data(size);
        for (uint8_t& b : data) {
            const uint32_t r = Below(10);
            b = r < 3   ? 0xFF
                : r < 5 ? 0x00
                : r < 6 ? static_cast<uint8_t>(0xE0 + Below(32))
                        : static_cast<uint8_t>(Below(256));
        }
        if (!data.empty()) {
            // A text encoding byte, or a byte that meets a header ending in 0xFF.
            static const uint8_t kFirst[] = {0, 1, 2, 3, 0xFF, 0xE5};
            data[0] = kFirst[Below(6)];
        }
        return data;
    }

  private:
    std::mt19937 engine_;
};

FrameModel RandomFrame(Random& random) {
    static const char* const kIds[] = {"TIT2", "TPE1", "TALB", "COMM", "APIC", "TXXX", "PRIV"};
    FrameModel frame;
    frame.id = kIds[random.Below(7)];
    size_t size = random.Below(200) + 1;
    if (random.Chance(10)) {
        size = 0;
    } else if (random.Chance(8)) {
        size = random.Below(300 * 1024);
    }
    frame.data = random.Data(size);
    frame.status = static_cast<uint8_t>(random.Below(8) << 4);
    if (random.Chance(15)) {
        frame.format |= 0x04;  // held encrypted, so never compressed by the writer
        frame.method = random.Chance(50) ? 0xFF : static_cast<uint8_t>(random.Below(256));
    } else if (random.Chance(30)) {
        frame.format |= 0x08;
    }
    if (random.Chance(15)) {
        frame.format |= 0x40;
        frame.group = random.Chance(50) ? 0xFF : static_cast<uint8_t>(random.Below(256));
    }
    if (random.Chance(10)) {
        frame.format |= 0x02;
    }
    return frame;
}

// Brings a loaded frame's data back to its plain form.
Bytes PlainData(TFrameIndex& frames, uint32_t i) {
    if (frames.IsUnsynchronised(i)) {
        EXPECT_EQ(frames.Resynchronise(i), kFrameDone);
    }
    if (frames.IsCompressed(i)) {
        EXPECT_EQ(frames.DecompressFrame(i), kFrameDone);
    }
    return frames.Data(i);
}

// A version 3 save re-encodes text, comment and picture frames in UTF-16BE or
// UTF-8, or keeps them, with a warning for text and comment frames, when it
// cannot.
void ExpectVersion3Text(FrameModel& frame, uint16_t& warnings) {
    const bool picture = frame.id == "APIC";
    if (!picture && frame.id != "COMM" && frame.id[0] != 'T') {
        return;
    }
    Bytes reencoded;
    id3v2::TReencoding outcome = id3v2::TReencoding::Cannot;
    if (!(frame.format & 0x04)) {
        outcome = picture ? id3v2::ReencodePictureForVersion3(frame.data, reencoded)
                          : id3v2::ReencodeForVersion3(frame.id, frame.data, reencoded);
    }
    if (outcome == id3v2::TReencoding::Cannot && !picture) {  // pictures are kept silently
        warnings |= id3v2::kWarnFlagsAdjusted;
    } else if (outcome == id3v2::TReencoding::Reencoded) {
        frame.data = reencoded;
    }
}

struct Case {
    uint8_t version = 3;
    std::vector<FrameModel> frames;
    Bytes prefix;      // bytes before the tag start
    Bytes oldTag;      // what stands at the tag start, possibly cut short
    uint64_t oldSize;  // the old tag's size as the writer must see it
    Bytes audio;       // the bytes after the old tag
};

Case RandomCase(Random& random, uint32_t seed) {
    Case c;
    c.version = random.Chance(50) ? 3 : 4;
    const uint32_t count = random.Below(6) + 1;
    for (uint32_t k = 0; k < count; ++k) {
        c.frames.push_back(RandomFrame(random));
    }
    if (random.Chance(20)) {
        c.prefix = Audio(random.Below(100) + 1, seed + 1);
    }
    const uint32_t audioKind = random.Below(10);
    const size_t audioSize = audioKind == 0  ? 0
                             : audioKind < 6 ? random.Below(40000)
                                             : random.Below(2 * 1024 * 1024);
    c.audio = Audio(audioSize, seed);
    const uint32_t tagKind = random.Below(4);
    uint32_t body = 0;
    if (tagKind == 1) {
        body = random.Below(3000);  // smaller than most new tags
    } else if (tagKind == 2) {
        body = 100000 + random.Below(400000);  // larger
    }
    if (tagKind == 0) {
        c.oldSize = 0;
    } else if (tagKind == 3) {
        // Reaching past the end: everything after the header belongs to it.
        body = static_cast<uint32_t>(c.audio.size() + 1 + random.Below(5000));
        c.oldTag = Concat({TagHeader(random.Chance(50) ? 3 : 4, body), c.audio});
        c.oldSize = c.oldTag.size();
        c.audio.clear();
    } else {
        c.oldTag = Concat({TagHeader(4, body), Bytes(body, 0)});
        c.oldSize = c.oldTag.size();
    }
    return c;
}

void ConfigureTag(Tid3v2tag& tag, const Case& c, Random& random) {
    for (const FrameModel& frame : c.frames) {
        const uint32_t i = tag.Frames.AddFrame(frame.id);
        tag.Frames.Data(i) = frame.data;
        tag.Frames.SetState(i, 2, frame.format & 0x44);
        tag.Frames.SetWantedFlags(i, 1, frame.status);
        tag.Frames.SetWantedFlags(i, 2, frame.format);
        tag.Frames.SetEncryptionMethod(i, frame.method);
        tag.Frames.SetGroupId(i, frame.group);
        // The data may already be held encoded, as a load leaves it.
        if (!(frame.format & 0x04) && !frame.data.empty() && random.Chance(20)) {
            tag.Frames.CompressFrame(i, 1);
        }
        if (random.Chance(20)) {
            tag.Frames.Unsynchronise(i);
        }
    }
    tag.Flags =
        static_cast<uint8_t>((random.Chance(25) ? 0x80 : 0) | (random.Chance(25) ? 0x40 : 0) |
                             (random.Chance(10) ? 0x20 : 0));
    tag.ExtendedFlags =
        static_cast<uint8_t>((random.Chance(30) ? 0x20 : 0) | (random.Chance(20) ? 0x40 : 0) |
                             (random.Chance(20) ? 0x10 : 0));
    tag.Restrictions = static_cast<uint8_t>(random.Below(256));
    tag.PaddingMode = static_cast<uint8_t>(random.Below(3));
    tag.PaddingSize = random.Below(6000);
    static const uint32_t kBlocks[] = {4096, 4096, 512, 1, 0};
    tag.PaddingBlock = kBlocks[random.Below(5)];
    tag.PaddingLimit = random.Chance(50) ? 4096 : random.Below(600);
}

// Saves one random case and checks the file and the tag read back from it.
void RunCase(uint32_t seed, const TempDir& dir) {
    Random random(seed);
    const Case c = RandomCase(random, seed);
    const std::string path = dir.File("case.mp3");
    const Bytes original = Concat({c.prefix, c.oldTag, c.audio});
    WriteFile(path, original);
    Tid3v2tag tag;
    ConfigureTag(tag, c, random);
    const int64_t start = static_cast<int64_t>(c.prefix.size());

    const uint16_t result = tag.SaveToFile(path, c.version, start, 0);
    std::vector<FrameModel> kept;
    uint16_t warnings = 0;
    for (const FrameModel& frame : c.frames) {
        if (!frame.data.empty()) {
            kept.push_back(frame);
            if (c.version == 3) {
                ExpectVersion3Text(kept.back(), warnings);
            }
        }
    }
    if (kept.empty()) {
        ASSERT_EQ(result, id3v2::ResultWord(id3v2::kNoFrames));
        ASSERT_EQ(ReadFile(path), original);
        return;
    }
    ASSERT_EQ(result, warnings);
    const Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), original.size() - c.oldSize + tag.TagSize);
    ASSERT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), file.begin()));
    ASSERT_TRUE(std::equal(c.audio.begin(), c.audio.end(), file.end() - c.audio.size()));
    const bool v3ExtendedUnsync = c.version == 3 && (tag.Flags & 0xC0) == 0xC0;
    const uint32_t block = tag.PaddingBlock == 0 ? 1 : tag.PaddingBlock;
    if (tag.PaddingMode == 2 && !v3ExtendedUnsync) {
        // Unsynchronised extended-header fields may add bytes after the padding is chosen.
        ASSERT_EQ(file.size() % block, 0u);
    }

    Tid3v2tag loaded;
    ASSERT_LT(loaded.LoadFromFile(path, start), 0x100);
    ASSERT_EQ(loaded.MajorVersion, c.version);
    ASSERT_EQ(loaded.Frames.FrameCount(), kept.size());
    if (tag.CrcPresent()) {
        ASSERT_EQ(loaded.Crc, tag.Crc);
    }
    for (uint32_t i = 1; i <= kept.size(); ++i) {
        const FrameModel& want = kept[i - 1];
        SCOPED_TRACE(i);
        ASSERT_EQ(loaded.Frames.Id(i), want.id);
        ASSERT_EQ(loaded.Frames.WantedFlags(i, 1), want.status);
        ASSERT_EQ(loaded.Frames.WantedFlags(i, 2) & 0x4C, want.format & 0x4C);
        if (want.format & 0x04) {
            ASSERT_EQ(loaded.Frames.EncryptionMethod(i), want.method);
        }
        if (want.format & 0x40) {
            ASSERT_EQ(loaded.Frames.GroupId(i), want.group);
        }
        ASSERT_EQ(PlainData(loaded.Frames, i), want.data);
    }

    // Saving the same tag again keeps its size and moves no audio byte.
    const uint32_t firstSize = tag.TagSize;
    const uint64_t before = id3v2::StagedBytesWritten();
    ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), warnings);
    if (tag.TagSize == firstSize) {
        ASSERT_EQ(id3v2::StagedBytesWritten() - before, tag.TagSize);
    }
    const Bytes again = ReadFile(path);
    ASSERT_TRUE(std::equal(c.audio.begin(), c.audio.end(), again.end() - c.audio.size()));
}

// The sanitizer build runs every case about ten times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kCases = 100;
#else
constexpr uint32_t kCases = 500;
#endif

TEST(WriterProperty, RandomSavesKeepTheAudioAndReadBack) {
    TempDir dir;
    ForEachSeed(kCases, [&](uint32_t seed) { RunCase(seed, dir); });
}

// --- running out of file-size room ---

// Runs a save in a child whose files may not grow beyond `limit` bytes, and
// returns the save's error code (or 0xFF when the child did not end normally).
int SaveWithSizeLimit(const std::string& path, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &cap);
        Tid3v2tag tag;
        const uint32_t i = tag.Frames.AddFrame("APIC");
        tag.Frames.Data(i) = Bytes(20000, 0x5A);
        ::_exit(tag.SaveToFile(path, 3, 0, 0) >> 8);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 0xFF;
}

TEST(WriterFaults, AFailureWhileExtendingTheFileLeavesItAsItWas) {
    TempDir dir;
    // The filler that precedes the audio (the tag outgrows it), and the copy of
    // the audio's end (the audio outgrows the tag).
    for (size_t audioSize : {3000, 300000}) {
        SCOPED_TRACE(audioSize);
        const std::string path = dir.File("limited.mp3");
        const Bytes original = Concat({TagHeader(3, 100), Bytes(100, 0), Audio(audioSize, 5)});
        WriteFile(path, original);
        EXPECT_EQ(SaveWithSizeLimit(path, original.size() + 10000), 0x04);
        EXPECT_EQ(ReadFile(path), original);
    }
}

TEST(WriterFaults, AFailureWritingTheTagIsAWriteErrorAndLeavesTheFileAsItWas) {
    TempDir dir;
    // No audio after the old tag: writing the tag itself extends the file.
    const std::string path = dir.File("tagonly.mp3");
    const Bytes original = Concat({TagHeader(3, 100), Bytes(100, 0)});
    WriteFile(path, original);
    EXPECT_EQ(SaveWithSizeLimit(path, 5000), 0x04);
    EXPECT_EQ(ReadFile(path), original);
}

}  // namespace
