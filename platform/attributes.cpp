// POSIX implementation of the attribute functions.
#include "platform/attributes.h"

#include "platform/file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

thread_local uint32_t lastError = 0;

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The attributes of an existing entry from its mode bits and its path.
uint32_t AttributesOf(const std::string& path, mode_t mode) {
    lastError = 0;
    uint32_t attributes = 0;
    if ((mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0) {
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
    return AttributesOf(path, st.st_mode);
}

uint32_t GetFileAttributesA(const File& file) {
    return AttributesOf(file.Path(), file.StatMode());
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

uint32_t GetLastError() {
    return lastError;
}

}  // namespace platform
