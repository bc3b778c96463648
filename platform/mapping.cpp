// mmap-based FileMapping.
#include "platform/mapping.h"

#include <sys/mman.h>

#include <cerrno>

namespace platform {

FileMapping::FileMapping(File& file, int64_t offset, size_t length)
    : path_(file.Path()), length_(length) {
    void* data =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, file.Descriptor(), offset);
    if (data == MAP_FAILED) {
        const int error = errno;
        throw IoError("Cannot map " + DescribeError(path_, error), error);
    }
    data_ = static_cast<uint8_t*>(data);
}

FileMapping::~FileMapping() {
    ::munmap(data_, length_);
}

void FileMapping::Sync() {
    if (::msync(data_, length_, MS_SYNC) != 0) {
        const int error = errno;
        throw WriteError("Cannot flush " + DescribeError(path_, error), error);
    }
}

}  // namespace platform
