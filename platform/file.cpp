// POSIX implementation of platform::File.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

std::string DescribeError(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

File::File(const std::string& path, Mode mode, Lock lock) : path_(path) {
    // O_NONBLOCK keeps a FIFO named *.mp3 from blocking the open. Only regular
    // files and block devices are accepted, and reads and writes on those never
    // block, so the flag can stay.
    const int flags = (mode == Mode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK |
                      (mode == Mode::CreateNew ? O_CREAT | O_EXCL : 0);
    do {
        fd_ = ::open(path.c_str(), flags, S_IRUSR | S_IWUSR);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        const int error = errno;
        throw OpenError("Cannot open " + DescribeError(path, error), error);
    }
    // The lock comes before the status: a writer that finished between the
    // two would otherwise leave this object with the size it had before.
    if (lock == Lock::Exclusive) {
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int error = errno;
            ::close(fd_);
            throw OpenError("Cannot lock " + DescribeError(path, error), error);
        }
    }
    struct stat st {};
    int error = 0;
    if (::fstat(fd_, &st) != 0) {
        error = errno;
    } else if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode)) {
        error = EINVAL;  // FIFOs, sockets and character devices are not MP3 files
    }
    if (error != 0) {
        ::close(fd_);
        throw OpenError("Cannot open " + DescribeError(path, error), error);
    }
    size_ = st.st_size;
    statMode_ = st.st_mode;
    identity_ = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    links_ = st.st_nlink;
    modified_ = {static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

void File::SetModificationTime(const FileTime& time) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT}, {static_cast<time_t>(time.seconds), static_cast<long>(time.nanoseconds)}};
    if (::futimens(fd_, times) != 0) {
        throw WriteError("Cannot set the time of " + DescribeError(path_, errno), errno);
    }
}

File::~File() {
    if (fd_ >= 0) {
        ::close(fd_);  // also releases the flock
    }
}

int64_t File::Size() const {
    return size_;
}

void File::Seek(int64_t position) {
    if (position < 0) {
        throw IoError("Cannot seek " + DescribeError(path_, EINVAL));
    }
    position_ = position;
}

size_t File::ReadAt(int64_t offset, void* buffer, size_t n) const {
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, out + done, n - done, offset + static_cast<int64_t>(done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            throw ReadError("Cannot read " + DescribeError(path_, error), error);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

size_t File::Read(void* buffer, size_t n) {
    const size_t got = ReadAt(position_, buffer, n);
    position_ += static_cast<int64_t>(got);
    return got;
}

void File::ReadExact(void* buffer, size_t n) {
    if (Read(buffer, n) != n) {
        throw ReadError("Cannot read " + path_ + ": unexpected end of file");
    }
}

void File::WriteAt(int64_t offset, const void* buffer, size_t n) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    size_t done = 0;
    while (done < n) {
        const ssize_t put = ::pwrite(fd_, in + done, n - done, offset + static_cast<int64_t>(done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            throw WriteError("Cannot write " + DescribeError(path_, error), error);
        }
        done += static_cast<size_t>(put);
    }
    size_ = std::max(size_, offset + static_cast<int64_t>(n));
}

void File::Write(const void* buffer, size_t n) {
    WriteAt(position_, buffer, n);
    position_ += static_cast<int64_t>(n);
}

void File::Truncate(int64_t size) {
    int rc;
    do {
        rc = ::ftruncate(fd_, size);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        throw IoError("Cannot set the end of " + DescribeError(path_, error), error);
    }
    size_ = size;
}

bool File::Reserve(int64_t offset, int64_t length) {
    if (length <= 0) {
        return true;
    }
    int rc;
    do {
        rc = ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, offset, length);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        return true;
    }
    const int error = errno;
    if (error == EOPNOTSUPP || error == ENOSYS) {
        return false;
    }
    // Blocks a failed reservation allocated past the end are given back.
    [[maybe_unused]] const int cut = ::ftruncate(fd_, size_);
    throw WriteError("Cannot reserve room in " + DescribeError(path_, error), error);
}

void File::DataSync() {
    int rc;
    do {
        rc = ::fdatasync(fd_);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        throw WriteError("Cannot flush " + DescribeError(path_, error), error);
    }
}

bool RemoveFile(const std::string& path, int& error) {
    if (::unlink(path.c_str()) == 0) {
        return true;
    }
    error = errno;
    return false;
}

void RenameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        throw IoError("Cannot rename " + DescribeError(from, error), error);
    }
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS) {
        return error;
    }
    // A file system without the no-replace flag: look first, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        return EEXIST;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool IdentityAt(const std::string& path, FileIdentity& identity) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

}  // namespace platform
