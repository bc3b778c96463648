// Saves that go wrong part way leave the file as it was; offsets beyond 32 bits
// are refused, large files with their tag at the start keep working; a padding
// size read from a file never makes a save write more than the file held.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"

namespace {

using id3v2::ResultWord;
using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::PositionalAudio;
using testing_mp3::ReadFile;
using testing_mp3::TagHeader;
using testing_mp3::TempDir;
using testing_mp3::WriteFile;

// An old tag of 10 + body bytes, its body zeros.
Bytes OldTag(uint32_t body) {
    return Concat({TagHeader(3, body), Bytes(body, 0)});
}

// A tag of exactly 20 + frameSize bytes: one private frame, no padding.
void MakeTag(Tid3v2tag& tag, uint32_t frameSize) {
    tag.PaddingMode = 0;
    tag.PaddingSize = 0;
    tag.Frames.AddFrame("PRIV");
    tag.Frames.Data(1).assign(frameSize, 0x42);
}

// --- a failure at any step of a save leaves the file as it was ---

uint64_t failAt = 0;
uint64_t stepsSeen = 0;

void FailAtChosenStep(uint64_t number, const id3v2::RelayStep&) {
    stepsSeen = number;
    if (number == failAt) {
        throw platform::WriteError("write failure injected by the test");
    }
}

struct SaveCase {
    const char* name;
    uint32_t oldBody;
    size_t audio;
    uint32_t frameSize;
};

const SaveCase kSaveCases[] = {
    {"grows by less than a chunk", 1000, 100000, 6000},
    {"grows by more than a chunk", 1000, 100000, 41000},
    {"grows past the audio", 1000, 3000, 30000},
    {"shrinks by less than a chunk", 6000, 100000, 1000},
    {"shrinks by more than a chunk", 50000, 100000, 1000},
    {"tag alone grows", 100, 0, 20000},
    {"rewritten in place", 1020, 50000, 1010},
};

TEST(FailedSave, AWriteFailureAtAnyStepLeavesTheFileAsItWas) {
    TempDir dir;
    const testing_mp3::StateFolder state;
    const std::string path = dir.File("song.mp3");
    id3v2::SetStepHook(FailAtChosenStep);
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(c.name);
        const Bytes original = Concat({OldTag(c.oldBody), PositionalAudio(c.audio)});
        WriteFile(path, original);
        Tid3v2tag counting;
        MakeTag(counting, c.frameSize);
        failAt = 0;
        ASSERT_EQ(counting.SaveToFile(path, 3, 0, 0), 0);
        const uint64_t steps = stepsSeen;
        for (failAt = 1; failAt <= steps; ++failAt) {
            SCOPED_TRACE(failAt);
            WriteFile(path, original);
            Tid3v2tag tag;
            MakeTag(tag, c.frameSize);
            EXPECT_EQ(tag.SaveToFile(path, 3, 0, 0), ResultWord(id3v2::kWriteFailed));
            ASSERT_EQ(ReadFile(path), original);
            EXPECT_TRUE(state.NoJournalLeft()) << "a save that ends removes its journal";
        }
    }
    id3v2::SetStepHook(nullptr);
}

// Runs body in a child process that has a tmpfs of `size` bytes mounted at
// dir, in a mount namespace of its own; returns the child's exit status, 77
// when no such file system can be mounted here.
int InSmallFilesystem(const std::string& dir, size_t size, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string options = "size=" + std::to_string(size);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tagvora-test", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            ::_exit(77);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 0xFF;
}

// Takes what room is left on the file system.
void FillUp(const std::string& path) {
    WriteFile(path, {});
    platform::File ballast(path, platform::File::Mode::ReadWrite);
    const Bytes block(4096, 1);
    try {
        for (int64_t at = 0;; at += 4096) {
            ballast.WriteAt(at, block.data(), block.size());
        }
    } catch (const platform::WriteError&) {
    }
}

TEST(FailedSave, AFullFileSystemRefusesTheSaveBeforeAnythingChanges) {
    TempDir dir;
    const struct {
        const char* name;
        int64_t hole;  // bytes of the audio that the file does not hold on disk
    } cases[] = {{"no room behind the end", 0}, {"holes in the audio to fill", 1500000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int status = InSmallFilesystem(dir.Path(), 1 << 20, [&] {
            const std::string path = dir.File("song.mp3");
            const Bytes audio = PositionalAudio(100000);
            WriteFile(path, Concat({OldTag(1000), audio}));
            if (c.hole > 0) {
                platform::File file(path, platform::File::Mode::ReadWrite);
                file.WriteAt(file.Size() + c.hole, audio.data(), 30000);
            }
            FillUp(dir.File("ballast"));
            const Bytes before = ReadFile(path);
            Tid3v2tag tag;
            MakeTag(tag, 20000);
            if (tag.SaveToFile(path, 3, 0, 0) != ResultWord(id3v2::kWriteFailed)) {
                return 1;
            }
            return ReadFile(path) == before ? 0 : 2;
        });
        if (status == 77) {
            GTEST_SKIP() << "no tmpfs can be mounted in a private mount namespace here";
        }
        EXPECT_EQ(status, 0) << "1: not a write failure; 2: the file changed";
    }
}

// --- tag offsets beyond 32 bits ---

constexpr int64_t kFiveGiB = int64_t{5} << 30;
constexpr int64_t kPast4GiB = 4294971392;  // 4 GiB + 4096

Bytes BytesAt(const std::string& path, int64_t offset, size_t count) {
    Bytes bytes(count);
    platform::File(path, platform::File::Mode::Read).ReadAt(offset, bytes.data(), count);
    return bytes;
}

int64_t AllocatedBytes(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return int64_t{st.st_blocks} * 512;
}

// A sparse 5 GiB file with a tag at 0 (with room to grow) and another at
// 4 GiB + 4096, each followed by audio; skipped where the file system cannot
// hold it.
class LargeFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const Bytes tag = testing_mp3::Tag(
            3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("start"))}, 4000);
        WriteFile(path_, Concat({tag, audio_}));
        try {
            platform::File file(path_, platform::File::Mode::ReadWrite);
            const Bytes far =
                Concat({testing_mp3::Tag(
                            3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("far"))}),
                        audio_});
            file.WriteAt(kPast4GiB, far.data(), far.size());
            file.Truncate(kFiveGiB);
        } catch (const platform::IoError&) {
            GTEST_SKIP() << "the file system cannot hold a sparse 5 GiB file";
        }
    }

    TempDir dir_;
    const std::string path_ = dir_.File("huge.mp3");
    const Bytes audio_ = PositionalAudio(5000);
};

TEST_F(LargeFile, AnOffsetOf4GiBOrMoreIsRefusedAndTheFileUntouched) {
    const Bytes head = BytesAt(path_, 0, 8192);
    const Bytes far = BytesAt(path_, kPast4GiB - 4096, 16384);
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path_, 0), 0);
    EXPECT_EQ(tag.LoadFromFile(path_, kPast4GiB), ResultWord(id3v2::kOffsetTooLarge));
    EXPECT_EQ(tag.TagOffset, 0u) << "the offset is never cut to 32 bits";
    tag.SetText("TIT2", "moved in");
    EXPECT_EQ(tag.SaveToFile(path_, 3, kPast4GiB, 0), ResultWord(id3v2::kOffsetTooLarge));
    EXPECT_EQ(BytesAt(path_, 0, 8192), head);
    EXPECT_EQ(BytesAt(path_, kPast4GiB - 4096, 16384), far);
    EXPECT_EQ(platform::File(path_, platform::File::Mode::Read).Size(), kFiveGiB);
}

TEST_F(LargeFile, ATagAtTheStartOfAFileOver4GiBIsSavedAndTheFileStaysSparse) {
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path_, 0), 0);
    const uint32_t size = tag.TagSize;
    tag.SetText("TPE1", "An artist that fits into the padding");
    ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), 0);

    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path_, 0), 0);
    std::string artist;
    loaded.GetText("TPE1", artist);
    EXPECT_EQ(artist, "An artist that fits into the padding");
    EXPECT_EQ(loaded.TagSize, size);
    EXPECT_EQ(BytesAt(path_, 10 + size, audio_.size()), audio_);
    EXPECT_EQ(platform::File(path_, platform::File::Mode::Read).Size(), kFiveGiB);
    EXPECT_LT(AllocatedBytes(path_), int64_t{1} << 20);
}

// --- a padding size read from a file ---

TEST(PaddingFromFile, ASaveNeverWritesMorePaddingThanTheFileHeld) {
    TempDir dir;
    const std::string path = dir.File("small.mp3");
    const struct {
        const char* name;
        uint32_t declared;
        uint32_t held;
    } cases[] = {{"frames fill the body", 209295872, 0},
                 {"less padding than declared", 209295872, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A version 3 extended header declaring the padding, one frame, the padding held.
        Bytes ext = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
        id3v2::WriteBigEndian32(ext.data() + 6, c.declared);
        const Bytes body =
            Concat({ext, testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("ten chars!")),
                    Bytes(c.held, 0)});
        const Bytes file = Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x40), body});
        WriteFile(path, file);
        Tid3v2tag tag;
        ASSERT_LT(tag.LoadFromFile(path, 0), 0x100);
        tag.PaddingMode = 0;
        ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), 0);
        EXPECT_EQ(ReadFile(path).size(), file.size());
    }
}

}  // namespace
