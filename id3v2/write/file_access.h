// The tag library's side of the platform's file services, shared by loads and
// saves: which files count as protected (the error code of a failed file
// operation is public, in result_codes.h).
#pragma once

#include <cstdint>

#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/file.h"

namespace id3v2 {

// Read-only, hidden or system, or attributes that cannot be read at all: a
// load records such a file in ReadOnlyFile and a save refuses it.
inline bool IsProtectedFile(uint32_t attributes) {
    return (attributes & (platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN |
                          platform::FILE_ATTRIBUTE_SYSTEM)) != 0;
}

}  // namespace id3v2
