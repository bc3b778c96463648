// The tag library's reading of a file's attributes, shared by loads and saves.
#pragma once

#include <cstdint>

#include "platform/attributes.h"

namespace id3v2 {

// Read-only, hidden or system, or attributes that cannot be read at all: a
// load records such a file in ReadOnlyFile and a save refuses it.
inline bool IsProtectedFile(uint32_t attributes) {
    return (attributes & (platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
                          platform::FILE_ATTRIBUTE_SYSTEM)) != 0;
}

}  // namespace id3v2
