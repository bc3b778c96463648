// The load entry points: LoadFromFile opens the file and ReadTag checks the
// tag header and hands the body to the parser of its version.
#include <memory>
#include <string>
#include <vector>

#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "id3v2/read/tag_parser.h"
#include "id3v2/result_codes.h"
#include "id3v2/work_state.h"
#include "id3v2/write/file_access.h"
#include "platform/attributes.h"
#include "platform/file.h"

using namespace id3v2;

uint16_t Tid3v2tag::LoadFromFile(const std::string& fileName, int64_t tagOffset) {
    // TagOffset holds 32 bits; a tag further in is refused, never cut short.
    if (tagOffset > kMaxTagOffset) {
        return ResultWord(kOffsetTooLarge);
    }
    Work.CurrentTag = this;
    Work.TagStart = tagOffset;
    WorkStateRelease release;
    try {
        // Opening first lets the attributes come from the status read at
        // opening, sparing a lookup of the path on every load.
        try {
            Work.FileStream =
                std::make_unique<platform::File>(fileName, platform::File::Mode::Read);
        } catch (const platform::OpenError&) {
            if (platform::FileExists(fileName)) {
                ReadOnlyFile = IsProtectedFile(platform::GetFileAttributesA(fileName)) ? 1 : 0;
            }
            return ResultWord(kCannotOpen);
        }
        ReadOnlyFile = IsProtectedFile(platform::GetFileAttributesA(*Work.FileStream)) ? 1 : 0;
        Work.FileSize = Work.FileStream->Size();
        if (Work.FileSize <= tagOffset) {
            return ResultWord(kOffsetPastEnd);
        }
        Work.FileStream->Seek(tagOffset);
        FileName = fileName;
        return ReadTag();
    } catch (const platform::IoError& error) {
        return ResultWord(ErrorCodeOf(error));
    }
}

uint16_t Tid3v2tag::LoadForListing(const std::string& fileName) {
    // The work state forgets the mark when the load releases it.
    Work.Listing = true;
    return LoadFromFile(fileName, 0);
}

uint16_t Tid3v2tag::ReadTag() {
    Complete = 0;
    Progress = 0;
    Status = "Loading tag";
    uint16_t result = 0;
    if (Work.FileSize - Work.FileStream->Position() < 10) {
        return ResultWord(kNoTag);
    }
    Work.ScratchStream = std::make_unique<std::vector<uint8_t>>(10);
    const uint8_t* header = Work.ScratchStream->data();
    Work.FileStream->ReadExact(Work.ScratchStream->data(), 10);
    if (!IsTagHeader(header)) {
        return ResultWord(kNoTag);
    }
    MajorVersion = header[3];
    Revision = header[4];
    TagOffset = static_cast<uint32_t>(Work.TagStart);
    if (MajorVersion < 2 || MajorVersion > 4) {
        return ResultWord(kBadVersion);
    }
    if (Revision != 0 && AcceptRevisions == 0) {
        return ResultWord(kRevisionRefused);
    }
    if (Revision != 0) {
        result |= kWarnRevision;
    }
    if (MajorVersion == 2) {
        ParseV22(result);
    } else if (MajorVersion == 3) {
        ParseV23(result);
    } else {
        ParseV24(result);
    }
    LastResult = result;
    Complete = 1;
    Progress = 100;
    Status = "Load Complete";
    return result;
}

bool id3v2::BeginsWithTagMarker(const std::string& fileName) {
    try {
        platform::File file(fileName, platform::File::Mode::Read);
        char marker[3];
        return file.ReadAt(0, marker, sizeof marker) == sizeof marker &&
               std::string(marker, sizeof marker) == "ID3";
    } catch (const platform::IoError&) {
        return false;
    }
}
