// File attributes in the shape the program's logic expects (read-only, hidden,
// system, archive), mapped onto POSIX permissions and file types.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class File;

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// True when an entry of any type exists at the path (links followed).
bool FileExists(const std::string& path);

// Read-only: no owner-write bit, or the current user cannot write the file.
// Hidden: the name begins with ".". System: neither a regular file nor a directory.
// INVALID_FILE_ATTRIBUTES when the entry does not exist or cannot be examined;
// GetLastError() then holds errno.
uint32_t GetFileAttributesA(const std::string& path);
// The same for a file already open, from the status read when it was opened.
uint32_t GetFileAttributesA(const File& file);

// Only "archive" (any value without the read-only bit) is supported: it makes
// the file writable by its owner and keeps the other permission bits.
// Returns false on failure; GetLastError() then holds errno (0 after success).
bool SetFileAttributesA(const std::string& path, uint32_t attributes);

// True when the file carries the immutable inode flag, which refuses every
// change, even its owner's and root's, until the flag is removed.
bool IsImmutable(const std::string& path);

// The error number of the last attribute call on this thread.
uint32_t GetLastError();

}  // namespace platform
