// POSIX implementation of the attribute functions.
#include "platform/attributes.h"

#include "platform/file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace platform {
namespace {

thread_local uint32_t lastError = 0;

// A view, not a copy: every load asks for the attributes of its file.
std::string_view BaseName(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Whether the real user may write the file, read-only mounts (EROFS) and
// immutable files (EPERM, even for root) included.
bool UserMayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

// The same question asked of the open descriptor (faccessat2 with AT_EMPTY_PATH,
// Linux 5.8), sparing a second lookup of the path. Without AT_EACCESS it checks
// the real user, as access() does. Only a plain yes or a plain no is taken from
// it: a kernel without the call (ENOSYS, or EINVAL from the C library), a
// sandbox that refuses it with EPERM, and immutable files go to the path.
bool UserMayWrite(const File& file) {
    if (::faccessat(file.Descriptor(), "", W_OK, AT_EMPTY_PATH) == 0) {
        return true;
    }
    if (errno == EACCES || errno == EROFS) {
        return false;
    }
    return UserMayWrite(file.Path());
}

// The attributes of an existing entry from its mode bits, its path and whether
// the user may write it (asked only when the owner-write bit is set).
template <typename Entry>
uint32_t AttributesOf(const std::string& path, mode_t mode, const Entry& entry) {
    lastError = 0;
    uint32_t attributes = 0;
    if ((mode & S_IWUSR) == 0 || !UserMayWrite(entry)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (BaseName(path).starts_with('.')) {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    if (S_ISDIR(mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    } else if (!S_ISREG(mode)) {
        attributes |= FILE_ATTRIBUTE_SYSTEM;
    }
    if (attributes == 0) {
        attributes = FILE_ATTRIBUTE_ARCHIVE;
    }
    return attributes;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;  // a dangling link names no file
}

uint32_t GetFileAttributesA(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        lastError = static_cast<uint32_t>(errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(path, st.st_mode, path);
}

uint32_t GetFileAttributesA(const File& file) {
    return AttributesOf(file.Path(), file.StatMode(), file);
}

bool SetFileAttributesA(const std::string& path, uint32_t attributes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        lastError = static_cast<uint32_t>(errno);
        return false;
    }
    mode_t mode = st.st_mode & 07777;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else {
        mode |= S_IWUSR;
    }
    if (::chmod(path.c_str(), mode) != 0) {
        lastError = static_cast<uint32_t>(errno);
        return false;
    }
    lastError = 0;
    return true;
}

bool IsImmutable(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return false;
    }
    int flags = 0;
    const bool immutable =
        ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL) != 0;
    ::close(descriptor);
    return immutable;
}

uint32_t GetLastError() {
    return lastError;
}

}  // namespace platform
