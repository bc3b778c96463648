// Two writers of one file: everything a save or an ID3v1 write learns about
// the file is read under its lock. A competing writer is slipped in between
// opening and locking (this program is linked with flock wrapped), and two
// processes save one file in a loop. A recovery meets a save the same way.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "id3v2/recovery.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"

extern "C" int __real_flock(int fd, int operation);

namespace {

using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::PositionalAudio;
using testing_mp3::ReadFile;
using testing_mp3::TempDir;
using testing_mp3::WriteFile;

std::function<void()> beforeNextLock;
uint64_t killAtStep = 0;

void KillAtStep(uint64_t number, const id3v2::RelayStep&) {
    if (number == killAtStep) {
        ::raise(SIGKILL);
    }
}

}  // namespace

// Every flock of this program passes here: a competitor that a test armed runs
// once, after the file was opened and before it is locked.
extern "C" int __wrap_flock(int fd, int operation) {
    if (beforeNextLock) {
        const std::function<void()> competitor = std::exchange(beforeNextLock, nullptr);
        competitor();
    }
    return __real_flock(fd, operation);
}

namespace {

// Saves a tag of one private frame of frameSize bytes and no padding.
uint16_t SaveTag(const std::string& path, uint32_t frameSize) {
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    tag.Frames.AddFrame("PRIV");
    tag.Frames.Data(1).assign(frameSize, 0x42);
    return tag.SaveToFile(path, 3, 0, 0);
}

// Runs work in a child process to its end, as another program would.
void InAnotherProcess(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

// The file holds an ID3v2 tag followed by exactly `audio`, then the ID3v1
// record titled `title` when it is not empty.
void ExpectTagAudioRecord(const std::string& path, const Bytes& audio, const std::string& title) {
    const Bytes file = ReadFile(path);
    Tid3v2tag tag;
    ASSERT_LT(tag.LoadFromFile(path, 0), 0x100);
    const size_t record = title.empty() ? 0 : 128;
    const size_t tagEnd = 10 + tag.TagSize;  // a load gives the size without the header
    ASSERT_EQ(file.size(), tagEnd + audio.size() + record);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), file.begin() + tagEnd));
    if (!title.empty()) {
        EXPECT_EQ(ReadV1Tag(path).Title, title);
    }
}

TEST(ConcurrentWriters, AWriterThatFinishesBetweenOpenAndLockIsSeen) {
    TempDir dir;
    const std::string path = dir.File("song.mp3");
    const Bytes audio = PositionalAudio(100000);
    const Bytes original = Concat({testing_mp3::TagHeader(3, 1000), Bytes(1000, 0), audio});
    const auto otherSave = [&] { InAnotherProcess([&] { SaveTag(path, 30000); }); };
    const struct {
        const char* name;
        std::function<void()> write;
        const char* title;  // the ID3v1 record expected at the end, if any
    } cases[] = {
        {"ID3v2 save", [&] { EXPECT_EQ(SaveTag(path, 2000), 0); }, ""},
        {"ID3v1 write",
         [&] {
             TV1Values values;
             values.Title = "record";
             WriteV1Tag(path, values);
         },
         "record"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, original);
        beforeNextLock = otherSave;
        c.write();
        ASSERT_FALSE(beforeNextLock) << "the competitor ran";
        ExpectTagAudioRecord(path, audio, c.title);
    }
}

TEST(ConcurrentWriters, TwoProcessesSavingOneFileInALoopLoseNoAudio) {
    TempDir dir;
    const std::string path = dir.File("song.mp3");
    const Bytes audio = PositionalAudio(60000);
    WriteFile(path, audio);
    TV1Values values;
    values.Title = "record";
    WriteV1Tag(path, values);
    ASSERT_EQ(SaveTag(path, 100), 0);
    constexpr int kRounds = 400;
    const pid_t tagSaver = ::fork();
    if (tagSaver == 0) {
        for (int i = 0; i < kRounds; ++i) {
            SaveTag(path, i % 2 == 0 ? 20000 : 500);
        }
        ::_exit(0);
    }
    for (int i = 0; i < kRounds; ++i) {
        try {
            if (i % 2 == 0) {
                WriteV1Tag(path, values);
            } else {
                SaveTag(path, i % 4 == 1 ? 8000 : 100);
            }
        } catch (const platform::IoError&) {
            // The other process held the file; nothing was written.
        }
    }
    ::waitpid(tagSaver, nullptr, 0);
    ExpectTagAudioRecord(path, audio, "record");
}

TEST(ConcurrentWriters, ARecoveryNeverTakesAJournalThatASaveRemovedMeanwhile) {
    TempDir dir;
    TempDir state;
    const char* home = std::getenv("XDG_STATE_HOME");
    const std::string kept = home != nullptr ? home : "";
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const std::string path = dir.File("song.mp3");
    const Bytes audio = PositionalAudio(60000);
    WriteFile(path, Concat({testing_mp3::TagHeader(3, 1000), Bytes(1000, 0), audio}));
    InAnotherProcess([&] {
        killAtStep = 5;
        id3v2::SetStepHook(KillAtStep);
        SaveTag(path, 30000);
    });
    // Between the recovery's opening and locking of the journal, a save
    // finishes the interrupted save, removes the journal, and gives the file
    // a new title in place.
    beforeNextLock = [&] {
        InAnotherProcess([&] {
            Tid3v2tag tag;
            tag.PaddingLimit = 0;
            tag.SetText("TIT2", "later");
            tag.SaveToFile(path, 3, 0, 0);
        });
    };
    id3v2::RecoverInterruptedSaves();
    ::setenv("XDG_STATE_HOME", kept.c_str(), 1);
    ASSERT_FALSE(beforeNextLock) << "the competitor ran";
    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path, 0), 0);
    std::string title;
    loaded.GetText("TIT2", title);
    EXPECT_EQ(title, "later");
    ExpectTagAudioRecord(path, audio, "");
}

}  // namespace
