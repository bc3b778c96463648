// Journals that no save wrote: the journal folder belongs to the user, so any
// program of theirs can put a file there. A journal that does not describe a
// save of its file never makes the recovery write to it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "id3v2/journal.h"
#include "id3v2/recovery.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"

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

class ForgedJournal : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_STATE_HOME", state_.Path().c_str(), 1);
        WriteFile(path_, testing_mp3::Concat({oldTag_, testing_mp3::PositionalAudio(60000)}));
    }

    // The journal of a save that shrinks the tag, stopped before its first
    // chunk moved, with `forge` applied and its checksums made right.
    void WriteJournal(const Forgery& forge) {
        const platform::File file(path_, platform::File::Mode::Read);
        const id3v2::Relayout plan{0, file.Size(), static_cast<uint32_t>(oldTag_.size()),
                                   newTag_.size()};
        std::string error;
        JournalHeader header = MoveJournal::Begin(file, plan, newTag_, false, error)->Header();
        Bytes tag = newTag_;
        RecordedStep step{RelayPhase::Moving, 0, 0, {}};
        forge(header, tag, step);
        MoveJournal::Create(id3v2::JournalFolder(error), header, tag, error)->Record(step.View());
    }
    bool NoJournalLeft() const {
        return std::filesystem::is_empty(state_.Path() + "/tagvora/journal");
    }

    TempDir state_;
    TempDir dir_;
    const std::string path_ = dir_.File("song.mp3");
    const Bytes oldTag_ = testing_mp3::Tag(3, {}, 6000);
    const Bytes newTag_ =
        testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("new"))}, 100);
};

TEST_F(ForgedJournal, AJournalAsASaveWritesItIsCarriedOut) {
    WriteJournal([](JournalHeader&, Bytes&, RecordedStep&) {});
    const std::vector<id3v2::RecoveredFile> recovered = id3v2::RecoverInterruptedSaves();
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].outcome, id3v2::RecoveredFile::Outcome::Completed);
}

TEST_F(ForgedJournal, NeverMakesTheRecoveryWriteWhereASaveWouldNot) {
    const struct {
        const char* name;
        Forgery forge;
    } cases[] = {
        {"bytes to restore far past the end",
         [](JournalHeader& header, Bytes&, RecordedStep& step) {
             step.restoreAt = header.plan.fileSize + (int64_t{1} << 30);
             step.restore.assign(100, 0xEE);
         }},
        {"a tag longer than the room the move makes",
         [](JournalHeader&, Bytes& tag, RecordedStep&) { tag.resize(tag.size() + 4000, 'T'); }},
        {"bytes that are not a tag",
         [](JournalHeader&, Bytes& tag, RecordedStep&) { tag[0] = 'X'; }},
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
    };
    for (const auto& forgery : cases) {
        SCOPED_TRACE(forgery.name);
        SetUp();
        const Bytes before = ReadFile(path_);
        WriteJournal(forgery.forge);
        id3v2::RecoverInterruptedSaves();
        EXPECT_TRUE(ReadFile(path_) == before);
        EXPECT_TRUE(NoJournalLeft());
    }
}

}  // namespace
