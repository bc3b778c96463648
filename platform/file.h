// A file opened over a POSIX descriptor. Every failure throws one of the typed
// exceptions below, whose message names the file and the operating system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Base of every input/output failure ("other input/output failure" when thrown as is).
class IoError : public std::runtime_error {
  public:
    explicit IoError(const std::string& what, int code = 0)
        : std::runtime_error(what), code_(code) {}
    // The errno value behind the failure, 0 when none was given.
    int Code() const { return code_; }

  private:
    int code_;
};
class OpenError : public IoError {
  public:
    using IoError::IoError;
};
class ReadError : public IoError {
  public:
    using IoError::IoError;
};
class WriteError : public IoError {
  public:
    using IoError::IoError;
};

// Which file an open File is, whatever its path is now.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file's modification time, to the nanosecond.
struct FileTime {
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    bool operator==(const FileTime&) const = default;
};

class File {
  public:
    // CreateNew makes a new file, private to the user, and fails when one
    // exists at the path.
    enum class Mode { Read, ReadWrite, CreateNew };
    enum class Lock { None, Exclusive };

    // ReadWrite never creates or truncates the file. Exclusive takes an advisory
    // flock that other writers honour while this object lives; a file another
    // writer holds is refused at once. Everything this object tells about the
    // file is read after the lock is held, so no writer that finished in
    // between leaves it with a stale size.
    File(const std::string& path, Mode mode, Lock lock = Lock::None);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    const std::string& Path() const { return path_; }
    // The size seen at opening (under the lock), kept up to date by this
    // object's own writes.
    int64_t Size() const;
    // The file's type and permission bits (st_mode) seen at opening.
    uint32_t StatMode() const { return statMode_; }
    FileIdentity Identity() const { return identity_; }
    // The modification time seen at opening (under the lock).
    FileTime ModificationTime() const { return modified_; }
    // Puts the modification time back to `time`, leaving the access time.
    void SetModificationTime(const FileTime& time);
    // Whether the file had no name left when it was opened and locked: it
    // was removed, or another file took its name, in between.
    bool Unlinked() const { return links_ == 0; }
    // The open descriptor, for questions the kernel answers about the file itself.
    int Descriptor() const { return fd_; }
    int64_t Position() const { return position_; }
    void Seek(int64_t position);

    // Reads up to n bytes at the current position; fewer only at the end of the file.
    size_t Read(void* buffer, size_t n);
    // Reads exactly n bytes or throws ReadError.
    void ReadExact(void* buffer, size_t n);
    // Writes all n bytes at the current position or throws WriteError.
    void Write(const void* buffer, size_t n);
    // Positioned forms that leave the current position alone.
    size_t ReadAt(int64_t offset, void* buffer, size_t n) const;
    void WriteAt(int64_t offset, const void* buffer, size_t n);
    // Sets the end of the file.
    void Truncate(int64_t size);
    // Allocates the blocks of the range, past the end too, without changing
    // the size or a byte, so that writes there cannot run out of room. False
    // when the file system cannot reserve; WriteError when there is no room.
    bool Reserve(int64_t offset, int64_t length);
    // Waits until the file's data written so far is on the disk.
    void DataSync();

  private:
    std::string path_;
    int fd_ = -1;
    int64_t position_ = 0;
    int64_t size_ = 0;
    uint32_t statMode_ = 0;
    FileIdentity identity_;
    uint64_t links_ = 0;
    FileTime modified_;
};

// Removes the file at the path; false with `error` (errno) when it cannot.
bool RemoveFile(const std::string& path, int& error);
// Gives the file at `from` the path `to`, replacing what is there.
void RenameFile(const std::string& from, const std::string& to);

// Gives the entry at `from` the path `to` unless an entry is there already;
// 0, or the errno value (EEXIST when `to` is taken). Never replaces a file.
int RenameNoReplace(const std::string& from, const std::string& to);
// The identity of the entry at the path, links not followed; false when there is none.
bool IdentityAt(const std::string& path, FileIdentity& identity);

// Text of the form "<path>: <reason>" for an errno value.
std::string DescribeError(const std::string& path, int error);

}  // namespace platform
