// The real media device on libout123's "dummy" output, which takes audio at
// once: the device paces itself by the clock, so positions run in real time.
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>

#include "platform/media_device.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace testing_mp3;
using Clock = std::chrono::steady_clock;

// 441 frames of 1152 samples at 44.1 kHz are exactly 11.52 seconds.
constexpr size_t kFrames = 441;
constexpr int64_t kLengthMs = 11520;

int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The message of the MediaError that `action` throws, or "" when it throws none.
template <typename Action>
std::string MediaErrorOf(Action action) {
    try {
        action();
    } catch (const platform::MediaError& error) {
        return error.what();
    }
    return "";
}

bool IsDecoderText(const std::string& text) {
    for (int code = MPG123_DONE; code <= MPG123_INT_OVERFLOW; ++code) {
        if (text == mpg123_plain_strerror(code)) {
            return true;
        }
    }
    return false;
}

class MediaDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A tag in front, as real files have: the length counts audio only.
        const Bytes tag = Tag(3, {Frame(3, "TIT2", Latin1Text("Silence"))}, 256);
        WriteMp3(song, tag, kFrames);
    }

    TempDir dir;
    std::string song = dir.File("song.mp3");
    std::unique_ptr<platform::MediaDevice> device = platform::CreateMpg123Device("dummy");
};

TEST_F(MediaDeviceTest, OpenReportsTheExactLengthAndStartsAtZero) {
    device->Open(song);
    EXPECT_EQ(device->Length(), kLengthMs);
    EXPECT_EQ(device->Position(), 0);

    const std::string shorter = dir.File("short.mp3");
    WriteMp3(shorter, {}, 100);
    device->Open(shorter);              // closes the first file
    EXPECT_EQ(device->Length(), 2612);  // 100 × 26.122 ms, whole milliseconds
}

TEST_F(MediaDeviceTest, PositionAdvancesInRealTimeWhilePlayingAndHoldsWhenStopped) {
    device->Open(song);
    const auto start = Clock::now();
    device->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int64_t elapsed = MsSince(start);
    const int64_t playing = device->Position();
    EXPECT_LE(playing, elapsed + 5);
    EXPECT_GE(playing, elapsed - 120);

    device->Stop();
    const int64_t stopped = device->Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(device->Position(), stopped);

    device->Play();  // continues where it stopped
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_GT(device->Position(), stopped + 50);
    device->Close();
    EXPECT_EQ(device->Position(), 0);
}

TEST_F(MediaDeviceTest, SeekMovesThePositionStoppedOrPlaying) {
    device->Open(song);
    device->Seek(5000);
    EXPECT_EQ(device->Position(), 5000);

    const auto start = Clock::now();
    device->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int64_t advanced = device->Position() - 5000;
    EXPECT_GE(advanced, MsSince(start) - 150);
    EXPECT_GT(advanced, 0);

    const auto seeked = Clock::now();
    device->Seek(1000);  // while playing: goes on playing from there
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(device->Position(), 1000);
    EXPECT_LE(device->Position(), 1000 + MsSince(seeked) + 5);
    device->Stop();
}

TEST_F(MediaDeviceTest, PlayingFromTheEndStaysAtTheLength) {
    device->Open(song);
    device->Seek(kLengthMs + 5000);
    EXPECT_EQ(device->Position(), kLengthMs);
    device->Seek(0);
    device->Seek(INT64_MAX);  // too far to scale to samples
    EXPECT_EQ(device->Position(), kLengthMs);
    device->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(device->Position(), kLengthMs);
}

TEST_F(MediaDeviceTest, WithoutAnOpenDeviceOnlyPositionAndCloseSucceed) {
    const std::string noDevice = "No media device is open.";
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(MediaErrorOf([&] { device->Play(); }), noDevice);
        EXPECT_EQ(MediaErrorOf([&] { device->Stop(); }), noDevice);
        EXPECT_EQ(MediaErrorOf([&] { device->Length(); }), noDevice);
        EXPECT_EQ(MediaErrorOf([&] { device->Seek(10); }), noDevice);
        EXPECT_EQ(device->Position(), 0);
        device->Close();
        // The second round: after a file was opened, played and closed.
        device->Open(song);
        device->Play();
        device->Close();
    }
}

TEST_F(MediaDeviceTest, FilesThatAreNotAudioFailWithTheDecodersMessage) {
    WriteFile(dir.File("text.mp3"), ToBytes(std::string(40, '-') + "\nJust some notes.\n"));
    std::mt19937 random(20261207);
    Bytes noise(64 * 1024);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
    WriteFile(dir.File("noise.mp3"), noise);

    EXPECT_EQ(MediaErrorOf([&] { device->Open(dir.File("missing.mp3")); }),
              mpg123_plain_strerror(MPG123_BAD_FILE));
    for (const char* name : {"text.mp3", "noise.mp3"}) {
        SCOPED_TRACE(name);
        device->Open(song);
        const std::string message = MediaErrorOf([&] { device->Open(dir.File(name)); });
        EXPECT_TRUE(IsDecoderText(message)) << message;
        // The failed open leaves no device open, not the previous file.
        EXPECT_EQ(device->Position(), 0);
        EXPECT_THROW(device->Play(), platform::MediaError);
    }
}

TEST_F(MediaDeviceTest, EntriesThatAreNotRegularFilesFailWithoutBlocking) {
    // A FIFO would block the open; /dev/zero would never end the length scan.
    ASSERT_EQ(::mkfifo(dir.File("fifo.mp3").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.mp3").c_str()), 0);
    for (const char* name : {"fifo.mp3", "zero.mp3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MediaErrorOf([&] { device->Open(dir.File(name)); }),
                  mpg123_plain_strerror(MPG123_BAD_FILE));
    }
}

TEST(MediaDeviceOutput, NoUsableOutputFailsTheOpenWithAClearMessage) {
    TempDir dir;
    WriteMp3(dir.File("a.mp3"), {}, 10);
    auto device = platform::CreateMpg123Device("no-such-output");
    const std::string message = MediaErrorOf([&] { device->Open(dir.File("a.mp3")); });
    EXPECT_EQ(message.rfind("No sound output could be opened (tried no-such-output): ", 0), 0u)
        << message;
}

}  // namespace
