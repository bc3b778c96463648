// The start-up recovery: saves killed in the middle of their audio move are
// repaired before the window shows a folder, and the user is told in one
// message which files were repaired or could not be.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "editor/startup/interrupted_saves.h"
#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/scripted_dialogs.h"

namespace {

using testing_mp3::Bytes;

uint64_t killAt = 0;

void KillAtChosenStep(uint64_t number, const id3v2::RelayStep&) {
    if (number == killAt) {
        ::raise(SIGKILL);
    }
}

// A file whose tag grows past its padding, its save killed in the middle of
// the move; returns the audio.
Bytes KillASave(const std::string& path) {
    const Bytes audio = testing_mp3::PositionalAudio(60000);
    testing_mp3::WriteFile(
        path, testing_mp3::Concat({testing_mp3::TagHeader(3, 100), Bytes(100, 0), audio}));
    const pid_t child = ::fork();
    if (child == 0) {
        killAt = 5;
        id3v2::SetStepHook(KillAtChosenStep);
        Tid3v2tag tag;
        tag.Frames.AddFrame("PRIV");
        tag.Frames.Data(1).assign(6000, 0x42);
        tag.SaveToFile(path, 3, 0, 0);
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return audio;
}

TEST(InterruptedSaves, AreRepairedAtStartAndReportedInOneMessage) {
    const testing_mp3::StateFolder state;
    testing_mp3::TempDir dir;
    ScriptedDialogs dialogs;
    RepairInterruptedSaves(dialogs);
    EXPECT_TRUE(dialogs.ShownBoxes().empty()) << "nothing to repair, nothing to say";

    const std::string repaired = dir.File("repaired.mp3");
    const std::string changed = dir.File("changed.mp3");
    const Bytes audio = KillASave(repaired);
    KillASave(changed);
    testing_mp3::WriteFile(changed, {'n', 'e', 'w'});
    RepairInterruptedSaves(dialogs);

    ASSERT_EQ(dialogs.ShownBoxes().size(), 1u);
    const QString text = dialogs.Messages().value(0);
    EXPECT_TRUE(text.contains(QString::fromStdString(repaired) + ": the save was finished."))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains("These files could not be repaired:\n" + QString::fromStdString(changed)))
        << text.toStdString();
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(repaired, 0), 0);
    const Bytes file = testing_mp3::ReadFile(repaired);
    EXPECT_EQ(Bytes(file.begin() + 10 + tag.TagSize, file.end()), audio);
}

}  // namespace
