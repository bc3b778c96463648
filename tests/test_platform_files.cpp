// The platform file services: typed failures, attributes and the *.mp3 listing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/attributes.h"
#include "platform/directory.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"

using namespace platform;
using namespace testing_mp3;

TEST(PlatformFile, ReadsWritesAndTruncatesInPlace) {
    TempDir dir;
    const std::string path = dir.File("a.bin");
    WriteFile(path, ToBytes("hello world"));
    {
        File file(path, File::Mode::ReadWrite, File::Lock::Exclusive);
        EXPECT_EQ(file.Size(), 11);
        file.Seek(6);
        file.Write("WORLD", 5);
        char head[5];
        file.Seek(0);
        file.ReadExact(head, 5);
        EXPECT_EQ(std::string(head, 5), "hello");
        file.Truncate(8);
    }
    EXPECT_EQ(ReadFile(path), ToBytes("hello WO"));
}

TEST(PlatformFile, FailuresAreTypedAndNameTheFile) {
    TempDir dir;
    try {
        File file(dir.File("missing.mp3"), File::Mode::Read);
        FAIL() << "opened a missing file";
    } catch (const OpenError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.mp3"), std::string::npos);
    }
    WriteFile(dir.File("short"), ToBytes("abc"));
    File file(dir.File("short"), File::Mode::Read);
    char buffer[10];
    EXPECT_THROW(file.ReadExact(buffer, 10), ReadError);
    EXPECT_THROW(File(dir.Path(), File::Mode::Read), OpenError);
}

TEST(PlatformFile, SecondExclusiveLockIsRefused) {
    TempDir dir;
    WriteFile(dir.File("a.mp3"), ToBytes("x"));
    File first(dir.File("a.mp3"), File::Mode::ReadWrite, File::Lock::Exclusive);
    EXPECT_THROW(File(dir.File("a.mp3"), File::Mode::ReadWrite, File::Lock::Exclusive), OpenError);
}

TEST(PlatformAttributes, ReadOnlyHiddenSystemAndFailureValue) {
    TempDir dir;
    WriteFile(dir.File("a.mp3"), ToBytes("x"));
    WriteFile(dir.File(".b.mp3"), ToBytes("x"));
    EXPECT_EQ(GetFileAttributesA(dir.File("a.mp3")), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(GetFileAttributesA(dir.File(".b.mp3")) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(::mkfifo(dir.File("fifo.mp3").c_str(), 0644), 0);
    EXPECT_TRUE(GetFileAttributesA(dir.File("fifo.mp3")) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(GetFileAttributesA(dir.Path()) & FILE_ATTRIBUTE_DIRECTORY);

    ::chmod(dir.File("a.mp3").c_str(), 0444);
    EXPECT_TRUE(GetFileAttributesA(dir.File("a.mp3")) & FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(SetFileAttributesA(dir.File("a.mp3"), FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetLastError(), 0u);
    struct stat st {};
    ::stat(dir.File("a.mp3").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);  // owner-write added, the rest kept
    EXPECT_FALSE(GetFileAttributesA(dir.File("a.mp3")) & FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(GetFileAttributesA(dir.File("gone.mp3")), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ENOENT));
    EXPECT_FALSE(SetFileAttributesA(dir.File("gone.mp3"), FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetLastError(), 2u);
}

TEST(PlatformDirectory, ListsEveryMp3EntryInAnyCaseAndOfAnyType) {
    TempDir dir;
    for (const char* name : {"a.mp3", "Song.MP3", ".hidden.mp3", ".mp3", "notes.txt", "x.mp4"}) {
        WriteFile(dir.File(name), ToBytes("x"));
    }
    ::mkdir(dir.File("folder.mp3").c_str(), 0755);
    ::symlink("a.mp3", dir.File("link.Mp3").c_str());
    auto names = ListMp3(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.mp3", ".mp3", "Song.MP3", "a.mp3",
                                               "folder.mp3", "link.Mp3"}));
    EXPECT_TRUE(ListMp3(dir.File("missing")).empty());
}

TEST(PlatformFile, FifoAndDanglingLinkAreRefusedWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    EXPECT_THROW(File(dir.File("pipe.mp3"), File::Mode::Read), OpenError);
    ::symlink("nowhere.mp3", dir.File("dangling.mp3").c_str());
    EXPECT_FALSE(FileExists(dir.File("dangling.mp3")));
    EXPECT_TRUE(FileExists(dir.File("pipe.mp3")));
}

TEST(PlatformAttributes, OpenFileGivesTheSameAttributesAsItsPath) {
    TempDir dir;
    for (const char* name : {"a.mp3", ".b.mp3"}) {
        WriteFile(dir.File(name), ToBytes("x"));
        for (const mode_t mode : {0644, 0444}) {
            ::chmod(dir.File(name).c_str(), mode);
            File file(dir.File(name), File::Mode::Read);
            EXPECT_EQ(GetFileAttributesA(file), GetFileAttributesA(dir.File(name))) << name;
        }
    }
}
