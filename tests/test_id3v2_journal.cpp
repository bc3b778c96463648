// Journal files as a recovery finds them. The journal folder belongs to the
// user, so any program of theirs can put a file there: a journal that does not
// describe a save of its file never makes the recovery write to it. A flushed
// step whose bytes never reached the disk does not count. A file that cannot
// be read keeps its journal, and a journal another program cuts while it is
// read is set aside (this program is linked with pread wrapped).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "id3v2/internal.h"
#include "id3v2/recovery.h"
#include "platform/file.h"
#include "platform/state_folder.h"
#include "tests/helpers/mp3_files.h"

extern "C" ssize_t __real_pread(int fd, void* buffer, size_t count, off_t offset);

namespace {
ino_t failReadsOf = 0;
bool cutJournalAtRead = false;
}  // namespace

// Every positioned read of this program passes here: those of the file a test
// names fail, and the first read of a journal can cut off its last page.
extern "C" ssize_t __wrap_pread(int fd, void* buffer, size_t count, off_t offset) {
    struct stat st {};
    if (failReadsOf != 0 && ::fstat(fd, &st) == 0 && st.st_ino == failReadsOf) {
        errno = EIO;
        return -1;
    }
    std::error_code ignored;
    if (cutJournalAtRead && ::fstat(fd, &st) == 0 &&
        std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), ignored).extension() ==
            ".journal") {
        cutJournalAtRead = ::ftruncate(fd, st.st_size - 4096) != 0;
    }
    return __real_pread(fd, buffer, count, offset);
}

namespace {

using id3v2::JournalHeader;
using id3v2::MoveJournal;
using id3v2::RecordedStep;
using id3v2::RelayPhase;
using testing_mp3::Bytes;
using testing_mp3::ReadFile;
using testing_mp3::TempDir;
using testing_mp3::WriteFile;

using Forgery = std::function<void(JournalHeader&, Bytes& tag, RecordedStep&)>;

class Journal : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_STATE_HOME", state_.Path().c_str(), 1);
        WriteFile(path_, testing_mp3::Concat({oldTag_, testing_mp3::PositionalAudio(60000)}));
    }

    // The plan of a save that shrinks the tag.
    id3v2::Relayout Plan() const {
        return {0, static_cast<int64_t>(std::filesystem::file_size(path_)),
                static_cast<uint32_t>(oldTag_.size()), newTag_.size()};
    }
    // The journal of that save, stopped before its first chunk moved, with
    // `forge` applied and its checksums made right; then `more` steps.
    void WriteJournal(const Forgery& forge, const std::vector<RecordedStep>& more = {}) {
        const platform::File file(path_, platform::File::Mode::Read);
        std::string error;
        JournalHeader header = MoveJournal::Begin(file, Plan(), newTag_, false, error)->Header();
        Bytes tag = newTag_;
        RecordedStep step{RelayPhase::Moving, 0, 0, {}};
        forge(header, tag, step);
        const auto journal = MoveJournal::Create(id3v2::JournalFolder(error), header, tag, error);
        journal->Record(step.View());
        for (const RecordedStep& next : more) {
            journal->Record(next.View());
        }
    }
    // No journal is left to be applied; one set aside may stay beside them.
    bool NoJournalLeft() const {
        return platform::ListFolder(state_.Path() + "/tagvora/journal", MoveJournal::kSuffix)
            .empty();
    }

    TempDir state_;
    TempDir dir_;
    const std::string path_ = dir_.File("song.mp3");
    const Bytes oldTag_ = testing_mp3::Tag(3, {}, 6000);
    const Bytes newTag_ =
        testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("new"))}, 100);
};

TEST_F(Journal, ThatNoSaveWroteNeverMakesTheRecoveryWriteWhereASaveWouldNot) {
    const struct {
        const char* name;
        Forgery forge;
        bool toldChanged = false;  // a journal whose header checks tells its file was left
    } cases[] = {
        {"bytes to restore far past the end",
         [](JournalHeader& header, Bytes&, RecordedStep& step) {
             step.restoreAt = header.plan.fileSize + (int64_t{1} << 30);
             step.restore.assign(100, 0xEE);
         }},
        {"a tag longer than the room the move makes",
         [](JournalHeader&, Bytes& tag, RecordedStep&) { tag.resize(tag.size() + 4000, 'T'); }},
        {"bytes that are not a tag",
         [](JournalHeader&, Bytes& tag, RecordedStep&) { tag[0] = 'X'; }, true},
        {"a step past the last chunk",
         [](JournalHeader& header, Bytes&, RecordedStep& step) {
             step.moved = header.plan.ChunkCount() + 3;
         }},
        {"a phase no save has",
         [](JournalHeader&, Bytes&, RecordedStep& step) {
             step.phase = static_cast<RelayPhase>(9);
         }},
        {"one-byte chunks",
         [](JournalHeader& header, Bytes&, RecordedStep&) { header.plan.chunk = 1; }},
        {"a file size so far below zero that its difference overflows",
         [](JournalHeader& header, Bytes&, RecordedStep&) {
             header.plan.start = 1613758465;
             header.plan.fileSize = std::numeric_limits<int64_t>::min();
         }},
        {"a step with no bytes at the lowest offset",
         [](JournalHeader&, Bytes&, RecordedStep& step) {
             step.restoreAt = std::numeric_limits<int64_t>::min();
         }},
        {"a step cut off by another program once the journal is open",
         [](JournalHeader&, Bytes&, RecordedStep&) { cutJournalAtRead = true; }, true},
    };
    for (const auto& forgery : cases) {
        SCOPED_TRACE(forgery.name);
        SetUp();
        const Bytes before = ReadFile(path_);
        WriteJournal(forgery.forge);
        const std::vector<id3v2::RecoveredFile> recovered = id3v2::RecoverInterruptedSaves();
        EXPECT_EQ(
            recovered.size() == 1 && recovered[0].outcome == id3v2::RecoveredFile::Outcome::Changed,
            forgery.toldChanged);
        EXPECT_TRUE(ReadFile(path_) == before);
        EXPECT_TRUE(NoJournalLeft());
        if (forgery.toldChanged) {
            // One that does not hold what it claims is kept aside for a person to read.
            EXPECT_EQ(
                platform::ListFolder(state_.Path() + "/tagvora/journal", MoveJournal::kSetAside)
                    .size(),
                1u);
        }
    }
}

TEST_F(Journal, AFlushedStepWhoseBytesNeverReachedTheDiskDoesNotCount) {
    const Bytes audio = testing_mp3::PositionalAudio(60000);
    // The first chunk's move, announced with the bytes its write covers.
    const id3v2::MoveChunk first = Plan().Chunk(0);
    const Bytes covered(audio.begin(), audio.begin() + (first.to + first.count - first.from));
    WriteJournal([](JournalHeader& header, Bytes&, RecordedStep&) { header.durable = true; },
                 {{RelayPhase::Moving, 0, first.from, covered}});
    // Its trailer reached the disk, a byte of its bytes did not.
    const std::filesystem::path folder = state_.Path() + "/tagvora/journal";
    const std::string journal = std::filesystem::directory_iterator(folder)->path();
    Bytes bytes = ReadFile(journal);
    const auto found = std::search(bytes.begin(), bytes.end(), covered.begin(), covered.end());
    ASSERT_NE(found, bytes.end());
    found[100] ^= 0xFF;
    WriteFile(journal, bytes);
    id3v2::RecoverInterruptedSaves();
    EXPECT_TRUE(ReadFile(path_) == testing_mp3::Concat({newTag_, audio}));
}

TEST_F(Journal, AFileThatCannotBeReadIsReportedAndKeepsItsJournal) {
    WriteJournal([](JournalHeader&, Bytes&, RecordedStep&) {});
    const Bytes before = ReadFile(path_);
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    failReadsOf = st.st_ino;
    std::vector<id3v2::RecoveredFile> recovered;
    EXPECT_NO_THROW(recovered = id3v2::RecoverInterruptedSaves());
    failReadsOf = 0;
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_FALSE(recovered[0].Repaired());
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_FALSE(NoJournalLeft());
}

}  // namespace
