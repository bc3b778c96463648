// A shared, writable mapping of part of an open file. Stores into it are in
// the file's page cache at once, so they outlive a kill of the process, and
// they cost no system call: the journal of a save records its steps here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace platform {

class FileMapping {
  public:
    // Maps `length` bytes of the file from `offset` (a multiple of the page
    // size); the file must already reach that far. Throws IoError.
    FileMapping(File& file, int64_t offset, size_t length);
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    uint8_t* Data() { return data_; }
    // Waits until the mapped bytes are on the disk.
    void Sync();

  private:
    std::string path_;
    uint8_t* data_ = nullptr;
    size_t length_ = 0;
};

}  // namespace platform
