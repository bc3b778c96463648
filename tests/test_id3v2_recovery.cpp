// Saves killed at every step of their audio move, then recovered: each file
// reads, with our reader and with mutagen, as its old or its new tag followed
// by exactly the original audio. Also kills during the recovery, journals
// whose file was replaced or changed since, and a journal folder that cannot
// be made.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "id3v2/recovery.h"
#include "id3v2/result_codes.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

namespace {

using id3v2::RecoveredFile;
using Outcome = RecoveredFile::Outcome;
using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::ReadFile;
using testing_mp3::TempDir;
using testing_mp3::WriteFile;

uint64_t killAt = 0;
uint64_t failFrom = 0;
uint64_t calls = 0;
std::string savedPath;

// A write cut short: it spoiled the bytes the step recorded.
void Tear(const id3v2::RelayStep& step) {
    const Bytes garbage(step.restore.size(), 0xEE);
    const int fd = ::open(savedPath.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(::pwrite(fd, garbage.data(), garbage.size(), step.restoreAt),
              static_cast<ssize_t>(garbage.size()));
    ::close(fd);
}

// With failFrom, the write there fails, and so does the first write of its
// undo, part way.
void KillAtChosenStep(uint64_t number, const id3v2::RelayStep& step) {
    calls = number;
    if (number == killAt) {
        ::raise(SIGKILL);
    }
    if (failFrom != 0 && number >= failFrom) {
        if (number > failFrom) {
            Tear(step);
        }
        throw platform::WriteError("write failure injected by the test");
    }
}

// Runs work in a child process that the step seam kills at call `at`.
void KilledAt(uint64_t at, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        killAt = at;
        work();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

struct KillCase {
    const char* name;
    uint32_t oldPadding;
    size_t audio;
    uint32_t frameSize;
    uint32_t syncEvery = 0;
};

const KillCase kKillCases[] = {
    {"grows by less than a chunk", 1000, 60000, 6000},
    {"grows by more than a chunk", 1000, 60000, 41000},
    {"grows past the audio", 1000, 3000, 30000},
    {"shrinks by less than a chunk", 6000, 60000, 1000},
    {"shrinks by more than a chunk", 50000, 60000, 1000},
    {"grows, each step flushed", 1000, 40000, 6000, 32768},
    {"a large tag written in place", 40000, 60000, 40004},
};

class Recovery : public ::testing::Test {
  protected:
    void SetUp() override {
        id3v2::SetStepHook(KillAtChosenStep);
        savedPath = path_;
    }
    void TearDown() override {
        id3v2::SetStepHook(nullptr);
        killAt = 0;
        failFrom = 0;
    }

    // The case's new tag saved into the file; its result word.
    uint16_t Save(const KillCase& c, Tid3v2tag& tag) {
        tag.PaddingMode = 0;
        tag.SyncEvery = c.syncEvery;
        tag.Frames.AddFrame("PRIV");
        tag.Frames.Data(1).assign(c.frameSize, 0x42);
        return tag.SaveToFile(path_, 3, 0, 0);
    }
    void Save(const KillCase& c) {
        Tid3v2tag tag;
        ASSERT_LT(Save(c, tag), 0x100);
    }
    Bytes Original(const KillCase& c) const {
        return Concat(
            {testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("old"))},
                              c.oldPadding),
             testing_mp3::PositionalAudio(c.audio)});
    }
    // The file as a save that ran to its end leaves it, and the seam's calls on the way.
    Bytes Saved(const KillCase& c, uint64_t& saveCalls) {
        WriteFile(path_, Original(c));
        killAt = 0;
        Save(c);
        saveCalls = calls;
        return ReadFile(path_);
    }
    // Kills a save of the original at call `at`.
    void KillSave(const KillCase& c, uint64_t at) {
        WriteFile(path_, Original(c));
        KilledAt(at, [&] { Save(c); });
    }
    std::vector<RecoveredFile> Recover() { return id3v2::RecoverInterruptedSaves(); }
    // A recovery finishes the one interrupted save, leaving `saved`.
    void ExpectCompletedTo(const Bytes& saved) {
        const std::vector<RecoveredFile> recovered = Recover();
        ASSERT_EQ(recovered.size(), 1u);
        EXPECT_EQ(recovered[0].outcome, Outcome::Completed);
        EXPECT_EQ(ReadFile(path_), saved);
    }
    bool NoJournalLeft() const { return state_.NoJournalLeft(); }

    const testing_mp3::StateFolder state_;
    TempDir dir_;
    const std::string path_ = dir_.File("song.mp3");
};

TEST_F(Recovery, AKillAtAnyStepOfAMoveIsRecoveredToTheOldOrTheNewFile) {
    for (const KillCase& c : kKillCases) {
        SCOPED_TRACE(c.name);
        uint64_t saveCalls = 0;
        const Bytes saved = Saved(c, saveCalls);
        const Bytes original = Original(c);
        for (uint64_t at = 1; at <= saveCalls; ++at) {
            SCOPED_TRACE(at);
            KillSave(c, at);
            const std::vector<RecoveredFile> recovered = Recover();
            ASSERT_EQ(recovered.size(), 1u);
            EXPECT_TRUE(recovered[0].Repaired()) << recovered[0].reason;
            const Bytes file = ReadFile(path_);
            ASSERT_TRUE(file == original || file == saved);
            EXPECT_EQ(file == saved, recovered[0].outcome == Outcome::Completed);
            EXPECT_TRUE(NoJournalLeft());
        }
    }
}

// A removal moves the audio as a save that shrinks its tag to nothing does.
TEST_F(Recovery, ARemovalKilledAtAnyStepIsRecoveredToTheTaggedOrTheBareFileAndItsTime) {
    const KillCase& c = kKillCases[4];
    const Bytes original = Original(c);
    const Bytes bare = testing_mp3::PositionalAudio(c.audio);
    const auto remove = [&] {
        WriteFile(path_, original);
        testing_mp3::SetModificationTime(path_, testing_mp3::kOldTime);
        Tid3v2tag tag;
        tag.KeepModificationTime = 1;
        return tag.RemoveFromFile(path_);
    };
    ASSERT_EQ(remove(), 0);
    ASSERT_EQ(ReadFile(path_), bare);
    for (uint64_t at = 1, removeCalls = calls; at <= removeCalls; ++at) {
        SCOPED_TRACE(at);
        KilledAt(at, [&] { remove(); });
        const std::vector<RecoveredFile> recovered = Recover();
        ASSERT_EQ(recovered.size(), 1u);
        EXPECT_TRUE(recovered[0].Repaired()) << recovered[0].reason;
        const Bytes file = ReadFile(path_);
        ASSERT_TRUE(file == original || file == bare);
        EXPECT_EQ(testing_mp3::ModificationTime(path_), testing_mp3::kOldTime);
        EXPECT_TRUE(NoJournalLeft());
    }
}

TEST_F(Recovery, MutagenReadsARecoveredFileAsTheOldOrTheNewTag) {
    if (const std::string missing = testing_mp3::MutagenMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const KillCase& c = kKillCases[0];
    uint64_t saveCalls = 0;
    Saved(c, saveCalls);
    // Before the move, in the middle of it, and while the tag is written.
    const struct {
        uint64_t at;
        const char* frame;
    } kills[] = {{2, "TIT2"}, {saveCalls / 2, "PRIV"}, {saveCalls - 1, "PRIV"}};
    for (const auto& kill : kills) {
        SCOPED_TRACE(kill.at);
        KillSave(c, kill.at);
        Recover();
        const testing_mp3::MutagenTag tag = testing_mp3::ReadWithMutagen(path_);
        ASSERT_TRUE(tag.found) << tag.error;
        EXPECT_EQ(tag.Ids(), std::vector<std::string>{kill.frame});
    }
}

TEST_F(Recovery, AKillDuringTheRecoveryIsRecoveredByTheNextRun) {
    const KillCase& c = kKillCases[0];
    uint64_t saveCalls = 0;
    const Bytes saved = Saved(c, saveCalls);
    const uint64_t saveKill = saveCalls / 2;
    KillSave(c, saveKill);
    // The journal is private to the user.
    const std::filesystem::path folder = state_.Path() + "/tagvora/journal";
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    for (const auto& journal : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(journal.status().permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    killAt = 0;
    Recover();
    const uint64_t recoveryCalls = calls;
    for (uint64_t at = 1; at <= recoveryCalls; ++at) {
        SCOPED_TRACE(at);
        KillSave(c, saveKill);
        KilledAt(at, [&] { Recover(); });
        ExpectCompletedTo(saved);
    }
}

TEST_F(Recovery, ASaveThatFailsAndCannotUndoIsRepairedByTheRecovery) {
    for (const KillCase& c : kKillCases) {
        SCOPED_TRACE(c.name);
        uint64_t saveCalls = 0;
        const Bytes saved = Saved(c, saveCalls);
        for (uint64_t at = 1; at <= saveCalls; ++at) {
            SCOPED_TRACE(at);
            WriteFile(path_, Original(c));
            Tid3v2tag tag;
            failFrom = at;
            EXPECT_EQ(Save(c, tag), id3v2::ResultWord(id3v2::kWriteFailed));
            failFrom = 0;
            // None when the undo got through.
            for (const RecoveredFile& recovered : Recover()) {
                EXPECT_TRUE(recovered.Repaired()) << recovered.reason;
            }
            const Bytes file = ReadFile(path_);
            EXPECT_TRUE(file == Original(c) || file == saved);
        }
    }
}

TEST_F(Recovery, AJournalWhoseFileWasReplacedOrChangedLeavesTheFileAlone) {
    const std::string other = dir_.File("other.mp3");
    for (const KillCase* c : {&kKillCases[0], &kKillCases[4]}) {
        SCOPED_TRACE(c->name);
        uint64_t saveCalls = 0;
        Saved(*c, saveCalls);
        const struct {
            const char* name;
            std::function<void()> meddle;
            Outcome outcome;
        } cases[] = {
            {"replaced",
             [&] { WriteFile(other, Original(*c)), std::filesystem::rename(other, path_); },
             Outcome::Replaced},
            {"grown",
             [&] {
                 WriteFile(path_, Concat({ReadFile(path_), Bytes(128, 'T')}));
             },
             Outcome::Changed},
            {"audio changed",
             [&] {
                 Bytes bytes = ReadFile(path_);
                 bytes.back() ^= 0xFF;
                 WriteFile(path_, bytes);
             },
             Outcome::Changed},
            {"the original copied back over it", [&] { WriteFile(path_, Original(*c)); },
             Outcome::Changed},
        };
        for (const auto& meddling : cases) {
            SCOPED_TRACE(meddling.name);
            KillSave(*c, saveCalls / 2);
            meddling.meddle();
            const Bytes before = ReadFile(path_);
            const std::vector<RecoveredFile> recovered = Recover();
            ASSERT_EQ(recovered.size(), 1u);
            EXPECT_EQ(recovered[0].outcome, meddling.outcome);
            EXPECT_FALSE(recovered[0].reason.empty());
            EXPECT_EQ(ReadFile(path_), before);
            EXPECT_TRUE(NoJournalLeft()) << "a journal that no longer fits is not kept";
        }
    }
}

TEST_F(Recovery, ASaveOfAFileWhoseSaveWasInterruptedFinishesThatOneFirst) {
    const KillCase& c = kKillCases[3];
    uint64_t saveCalls = 0;
    Saved(c, saveCalls);
    KillSave(c, saveCalls / 2);
    Tid3v2tag tag;
    tag.SetText("TIT2", "later");
    ASSERT_EQ(tag.SaveToFile(path_, 3, 0, 0), 0);
    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path_, 0), 0);
    const Bytes file = ReadFile(path_);
    const Bytes audio = testing_mp3::PositionalAudio(c.audio);
    EXPECT_EQ(Bytes(file.begin() + 10 + loaded.TagSize, file.end()), audio);
    EXPECT_TRUE(NoJournalLeft());
}

TEST_F(Recovery, ASaveRefusesAFileWhoseInterruptedSaveItCannotFinishNow) {
    const KillCase& c = kKillCases[0];
    uint64_t saveCalls = 0;
    const Bytes saved = Saved(c, saveCalls);
    KillSave(c, saveCalls / 2);
    const Bytes interrupted = ReadFile(path_);
    // Another program's recovery holds the journal.
    const std::filesystem::directory_entry journal =
        *std::filesystem::directory_iterator(state_.Path() + "/tagvora/journal");
    auto held = std::make_unique<platform::File>(
        journal.path().string(), platform::File::Mode::ReadWrite, platform::File::Lock::Exclusive);
    Tid3v2tag tag;
    tag.SetText("TIT2", "later");
    EXPECT_EQ(tag.SaveToFile(path_, 3, 0, 0), id3v2::ResultWord(id3v2::kWriteFailed));
    EXPECT_FALSE(tag.Status.empty());
    EXPECT_EQ(ReadFile(path_), interrupted);
    held.reset();
    ExpectCompletedTo(saved);
}

TEST_F(Recovery, ASaveWorksWithoutAJournalFolderAndSaysSo) {
    const std::string notAFolder = dir_.File("state-file");
    WriteFile(notAFolder, {});
    ::setenv("XDG_STATE_HOME", notAFolder.c_str(), 1);
    const KillCase& c = kKillCases[0];
    WriteFile(path_, Original(c));
    Tid3v2tag tag;
    tag.Frames.AddFrame("PRIV");
    tag.Frames.Data(1).assign(c.frameSize, 0x42);
    ASSERT_EQ(tag.SaveToFile(path_, 3, 0, 0), 0);
    EXPECT_NE(tag.Status.find("without a recovery journal"), std::string::npos) << tag.Status;
    const Bytes file = ReadFile(path_);
    const Bytes audio = testing_mp3::PositionalAudio(c.audio);
    EXPECT_EQ(Bytes(file.end() - static_cast<ptrdiff_t>(audio.size()), file.end()), audio);
}

}  // namespace
