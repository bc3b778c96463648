// The platform file services: typed failures, attributes and the *.mp3 listing.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <iterator>

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

// Ways a file with its owner-write bit set can still be closed to writing. Each
// is made in a child process, so that its mount, user or flag ends with it.
struct WriteRule {
    const char* name;
    bool readOnly;
    // Returns why this machine cannot make the case, or nothing.
    std::string (*prepare)(const std::string& path);
};

std::string AsIs(const std::string&) {
    return {};
}

std::string NoWriteBits(const std::string& path) {
    ::chmod(path.c_str(), 0444);
    return {};
}

// A root-owned 0644 file seen by another user.
std::string OtherUser(const std::string& path) {
    ::chmod(path.substr(0, path.rfind('/')).c_str(), 0755);
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        return "cannot change to another user";
    }
    return {};
}

std::string ReadOnlyMount(const std::string& path) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        return std::string("no read-only bind mount: ") + std::strerror(errno);
    }
    return {};
}

bool SetImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return done;
}

std::string Immutable(const std::string& path) {
    return SetImmutable(path, true) ? std::string() : "no immutable flag on this file system";
}

// Makes faccessat2 fail with `error`, as on a kernel older than the call (ENOSYS)
// or in a sandbox whose filter refuses calls it does not know (EPERM).
bool RefuseFaccessat2(unsigned error) {
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_faccessat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | error),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

std::string OldKernelReadOnlyMount(const std::string& path) {
    const std::string skip = ReadOnlyMount(path);
    return !skip.empty() || RefuseFaccessat2(ENOSYS) ? skip : "no seccomp filter";
}

std::string SandboxRefusesCall(const std::string&) {
    return RefuseFaccessat2(EPERM) ? std::string() : "no seccomp filter";
}

class PlatformWriteRules : public ::testing::TestWithParam<WriteRule> {};

TEST_P(PlatformWriteRules, OpenFileAndPathAgreeOnReadOnly) {
    const WriteRule rule = GetParam();
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteFile(path, ToBytes("x"));
    int reason[2];
    ASSERT_EQ(::pipe(reason), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(reason[0]);
        const std::string skip = rule.prepare(path);
        if (!skip.empty()) {
            (void)!::write(reason[1], skip.data(), skip.size());
            ::_exit(77);
        }
        const uint32_t fromPath = GetFileAttributesA(path);
        const uint32_t fromFile = GetFileAttributesA(File(path, File::Mode::Read));
        SetImmutable(path, false);
        ::_exit((fromPath & FILE_ATTRIBUTE_READONLY ? 1 : 0) |
                (fromFile & FILE_ATTRIBUTE_READONLY ? 2 : 0) | (fromPath != fromFile ? 4 : 0));
    }
    ::close(reason[1]);
    char text[200] = {};
    const ssize_t got = ::read(reason[0], text, sizeof text - 1);
    ::close(reason[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << std::string(text, got > 0 ? got : 0);
    }
    const int expected = rule.readOnly ? 3 : 0;
    EXPECT_EQ(WEXITSTATUS(status), expected) << "bit 1: path read-only, 2: open file read-only, "
                                                "4: other attributes differ";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlatformWriteRules,
    ::testing::Values(WriteRule{"Writable", false, AsIs},
                      WriteRule{"NoWriteBits", true, NoWriteBits},
                      WriteRule{"OtherUser", true, OtherUser},
                      WriteRule{"ReadOnlyMount", true, ReadOnlyMount},
                      WriteRule{"Immutable", true, Immutable},
                      WriteRule{"OldKernelReadOnlyMount", true, OldKernelReadOnlyMount},
                      WriteRule{"SandboxRefusesCall", false, SandboxRefusesCall}),
    [](const ::testing::TestParamInfo<WriteRule>& info) { return info.param.name; });
