// The tag reader: loads the ID3v2.3 or ID3v2.4 tag at an offset of a file into
// the tag object, streaming the body forwards through a 64 KB ring of pages.
#include "id3v2/reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "id3v2/file_attributes.h"
#include "id3v2/id3v2.h"
#include "id3v2/layout.h"
#include "id3v2/result_codes.h"
#include "id3v2/work_state.h"
#include "platform/attributes.h"
#include "platform/file.h"

namespace id3v2 {
namespace {

uint8_t& RingByte(uint32_t k) {
    return Work.Pages[k / kPageSize][k % kPageSize];
}
uint32_t RingAdd(uint32_t k, uint32_t n) {
    return (k + n) % kRingSize;
}

// Moves n ring bytes from `from` down to `to` (which lags behind), in pieces
// that stay inside one page on both sides.
void RingMove(uint32_t to, uint32_t from, uint32_t n) {
    while (n > 0) {
        const uint32_t piece =
            std::min({n, kPageSize - to % kPageSize, kPageSize - from % kPageSize});
        std::memmove(&RingByte(to), &RingByte(from), piece);
        to = RingAdd(to, piece);
        from = RingAdd(from, piece);
        n -= piece;
    }
}

// Body bytes still in the file, not yet copied into the ring.
uint32_t NotLoaded() {
    const int64_t bodyEnd = Work.TagStart + 10 + Work.BodySize;
    return static_cast<uint32_t>(bodyEnd - Work.FileStream->Position());
}

// Offset of the next byte to take, from the tag header, as the file position
// and the ring's fill tell it.
int64_t TakenOffset() {
    return Work.FileStream->Position() - Work.TagStart - Work.Available;
}

void UpdateProgress() {
    Tid3v2tag& tag = *Work.CurrentTag;
    const int64_t done = Work.FileStream->Position() - Work.TagStart;
    tag.Progress = static_cast<uint8_t>(done * 100 / (int64_t{tag.TagSize} + 10));
}

// Copies n file bytes to the ring at WritePos, in pieces that never cross a page.
uint32_t LoadIntoRing(uint32_t n) {
    uint32_t loaded = 0;
    while (loaded < n) {
        const uint32_t piece = std::min(n - loaded, kPageSize - Work.WritePos % kPageSize);
        // A page is created when the first byte is loaded into it, so a small
        // tag costs one page instead of four.
        auto& page = Work.Pages[Work.WritePos / kPageSize];
        if (!page) {
            page = std::make_unique_for_overwrite<uint8_t[]>(kPageSize);
        }
        Work.FileStream->ReadExact(&RingByte(Work.WritePos), piece);
        Work.WritePos = RingAdd(Work.WritePos, piece);
        Work.Available += piece;
        loaded += piece;
        UpdateProgress();
    }
    return loaded;
}

void Refill() {
    // The last available byte is the look-ahead that the previous
    // de-unsynchronisation pass left unexamined; the next pass starts there.
    const uint32_t lookAhead = RingAdd(Work.WritePos, kRingSize - 1);
    const uint32_t loaded = LoadIntoRing(std::min(kRingSize - Work.Available, NotLoaded()));
    if (NotLoaded() == 0) {
        Work.AllLoaded = true;
    }
    if (Work.DeunsyncBody && loaded > 0) {
        Work.Available -= DeunsyncRing(lookAhead, RingAdd(lookAhead, loaded));
        Work.WritePos = RingAdd(Work.ReadPos, Work.Available);
    }
}

// Takes exactly n body bytes into the scratch stream.
bool Take(uint32_t n) {
    Work.ScratchStream->clear();
    return ReadBody(*Work.ScratchStream, n) == n;
}

// Header flags, tag size, the check against the file size and the first fill
// of the ring. False when the tag reaches past the end of the file.
bool StartBody(uint16_t& result, const uint8_t* header, bool v4) {
    Tid3v2tag& tag = *Work.CurrentTag;
    const uint8_t flags = header[5];
    tag.SetUnsynchronisation(flags & kTagUnsync);
    tag.SetExtendedHeader(flags & kTagExtendedHeader);
    tag.SetExperimental(flags & kTagExperimental);
    if (v4) {
        tag.SetFooter(flags & kTagFooter);
    } else {
        // Nothing of an earlier version-4 tag may linger in a version-3 one.
        tag.SetFooter(false);
        tag.SetTagIsUpdate(false);
        tag.SetRestrictionsPresent(false);
    }
    if (flags & (v4 ? 0x0F : 0x1F)) {
        result |= kWarnHeaderFlags;
    }
    tag.TagSize = ReadSyncsafe32(header + 6);
    Work.BodySize = tag.TagSize;
    if (Work.TagStart + 10 + int64_t{tag.TagSize} > Work.FileSize) {
        SetErrorCode(result, kTagPastEnd);
        return false;
    }

    Work.AllLoaded = false;
    for (auto& page : Work.Pages) {
        page.reset();
    }
    Work.Available = 0;
    Work.ReadPos = 0;
    Work.WritePos = 0;
    LoadIntoRing(std::min(tag.TagSize, kRingSize));
    Work.WritePos = 0;
    if (tag.TagSize < kRingSize) {
        Work.AllLoaded = true;
    }
    Work.DeunsyncBody = !v4 && tag.Unsynchronisation();
    Work.DeunsyncPrevious = 0;
    if (Work.DeunsyncBody && Work.Available > 0) {
        Work.Available -= DeunsyncRing(0, Work.Available - 1);
    }
    Work.Remaining = NotLoaded() + Work.Available;
    Work.WritePos = Work.Available % kRingSize;
    UpdateProgress();
    return true;
}

bool ExtendedHeaderV3(uint16_t& result) {
    Tid3v2tag& tag = *Work.CurrentTag;
    tag.Crc = 0;
    if (tag.ExtendedHeader() && Work.Remaining > 10) {
        if (!Take(10)) {
            SetErrorCode(result, kCorrupt);
            return false;
        }
        const uint8_t* ext = Work.ScratchStream->data();
        tag.ExtendedHeaderSize = ReadBigEndian32(ext);
        tag.SetCrcPresent(ext[4] & 0x80);
        if ((ext[4] & 0x7F) != 0 || ext[5] != 0) {
            result |= kWarnExtendedHeader;
        }
        tag.PaddingSize = ReadBigEndian32(ext + 6);
        if (tag.CrcPresent() && tag.ExtendedHeaderSize == 10) {
            if (!Take(4)) {
                SetErrorCode(result, kCorrupt);
                return false;
            }
            tag.Crc = ReadBigEndian32(Work.ScratchStream->data());
        }
    } else {
        tag.ExtendedHeaderSize = 0;
        tag.PaddingSize = 0;
        tag.SetCrcPresent(false);
    }
    tag.Restrictions = 0;
    tag.Modified = 0;
    return true;
}

// The version-4 extended header, taken whole; every length byte of its flag
// data is checked against its size so nothing past it is ever read.
bool ExtendedHeaderV4(uint16_t& result) {
    Tid3v2tag& tag = *Work.CurrentTag;
    if (!tag.ExtendedHeader() || Work.Remaining <= 6) {
        tag.ExtendedHeaderSize = 0;
        tag.PaddingSize = 0;
        tag.Crc = 0;
        tag.Restrictions = 0;
        tag.SetTagIsUpdate(false);
        tag.SetCrcPresent(false);
        tag.SetRestrictionsPresent(false);
        tag.Modified = 0;
        return true;
    }
    const auto corrupt = [&result] {
        SetErrorCode(result, kCorrupt);
        return false;
    };
    if (!Take(4)) {
        return corrupt();
    }
    const uint32_t size = ReadSyncsafe32(Work.ScratchStream->data());
    tag.ExtendedHeaderSize = size;
    if (size < 6 || size - 4 > Work.Remaining) {
        return corrupt();
    }
    std::vector<uint8_t> ext(Work.ScratchStream->begin(), Work.ScratchStream->end());
    if (ReadBody(ext, size - 4) != size - 4 || ext[4] == 0) {
        return corrupt();
    }
    tag.PaddingSize = 0;
    const uint8_t flags = ext[5];
    tag.SetTagIsUpdate(flags & kExtUpdate);
    tag.SetCrcPresent(flags & kExtCrc);
    tag.SetRestrictionsPresent(flags & kExtRestrictions);

    // p: the length byte of the next flag data, counted from the first size byte.
    size_t p = 5 + size_t{ext[4]};
    const auto skipFlagData = [&](uint8_t minimum) {
        if (p >= size || ext[p] < minimum || p + 1 + ext[p] > size) {
            return false;
        }
        p += 1 + size_t{ext[p]};
        return true;
    };
    if ((flags & 0x80) && !skipFlagData(0)) {
        return corrupt();
    }
    if (tag.TagIsUpdate() && !skipFlagData(0)) {
        return corrupt();
    }
    tag.Crc = 0;
    if (tag.CrcPresent()) {
        const size_t crcAt = p + 1;
        if (!skipFlagData(5)) {
            return corrupt();
        }
        uint64_t crc = 0;
        for (size_t i = crcAt; i < crcAt + 5; ++i) {
            crc = (crc << 7) + ext[i];
        }
        tag.Crc = static_cast<uint32_t>(crc);
    }
    tag.Restrictions = 0;
    if (tag.RestrictionsPresent()) {
        if (p + 1 >= size) {
            return corrupt();
        }
        tag.Restrictions = ext[p + 1];
    }
    if ((flags & 0x8F) != 0 || ext[4] > 1) {
        result |= kWarnExtendedHeader;
    }
    tag.Modified = 0;
    return true;
}

// The extra fields after a frame header, in the order the version stores them.
bool ReadFrameExtras(uint32_t index, uint32_t& size, bool v4) {
    TFrameIndex& frames = Work.CurrentTag->Frames;
    const uint8_t format = frames.State(index, 2);
    const bool grouped = format & kFormatGrouping;
    const bool encrypted = format & kFormatEncryption;
    const bool lengthKnown = format & kFormatDataLength;
    const uint32_t needed = (grouped ? 1 : 0) + (encrypted ? 1 : 0) + (lengthKnown ? 4 : 0);
    if (needed > size) {
        return false;
    }
    size -= needed;
    const auto takeLength = [&] {
        if (!Take(4)) {
            return false;
        }
        const uint8_t* p = Work.ScratchStream->data();
        frames.SetDataLength(index, v4 ? ReadSyncsafe32(p) : ReadBigEndian32(p));
        return true;
    };
    const auto takeByte = [&](void (TFrameIndex::*set)(uint32_t, uint8_t)) {
        if (!Take(1)) {
            return false;
        }
        (frames.*set)(index, Work.ScratchStream->front());
        return true;
    };
    if (v4) {
        return (!grouped || takeByte(&TFrameIndex::SetGroupId)) &&
               (!encrypted || takeByte(&TFrameIndex::SetEncryptionMethod)) &&
               (!lengthKnown || takeLength());
    }
    return (!lengthKnown || takeLength()) &&
           (!encrypted || takeByte(&TFrameIndex::SetEncryptionMethod)) &&
           (!grouped || takeByte(&TFrameIndex::SetGroupId));
}

void FrameLoop(uint16_t& result, bool v4) {
    Tid3v2tag& tag = *Work.CurrentTag;
    TFrameIndex& frames = tag.Frames;
    std::vector<uint8_t>& block = *Work.ScratchStream;
    while (Work.Remaining > 0) {
        block.clear();
        ReadBody(block, std::min<uint32_t>(10, Work.Remaining));
        UpdateProgress();
        if (IsPadding(block)) {
            const uint32_t length = static_cast<uint32_t>(block.size());
            if (Work.Remaining > 0) {
                const uint32_t found = length + Work.Remaining;
                Work.Remaining = 0;
                if (v4 || tag.PaddingSize == 0) {
                    tag.PaddingSize = found;
                } else if (found != tag.PaddingSize) {
                    result |= kWarnPaddingDiffers;
                }
            } else {
                tag.PaddingSize = length;
            }
            block.clear();
        }
        if (Work.Remaining == 0) {
            // A trailing block that is neither padding nor a whole frame is
            // corrupt, unless a version-3 extended header declared padding.
            if (tag.PaddingSize == 0) {
                SetErrorCode(result, kCorrupt);
            }
            return;
        }
        if (block.size() < 10) {
            SetErrorCode(result, kCorrupt);
            return;
        }

        const uint32_t index = frames.AddFrame(std::string(block.begin(), block.begin() + 4));
        if (index == 0) {
            SetErrorCode(result, kBadFrameId);
            return;
        }
        uint32_t size = v4 ? ReadSyncsafe32(&block[4]) : ReadBigEndian32(&block[4]);
        const int64_t dataOffset = TakenOffset();
        if (size > Work.Remaining || (!v4 && dataOffset + size > 0x10000000)) {
            SetErrorCode(result, kCorrupt);
            return;
        }
        const uint32_t frameOffset = static_cast<uint32_t>(dataOffset - 10);
        frames.SetFrameOffset(index, frameOffset);
        const uint8_t status = v4 ? block[8] : StatusFromV3(block[8]);
        const uint8_t format = v4 ? block[9] : FormatFromV3(block[9]);
        frames.SetState(index, 1, status);
        frames.SetState(index, 2, format);
        frames.SetWantedFlags(index, 1, status);
        frames.SetWantedFlags(index, 2, format);
        if (!ReadFrameExtras(index, size, v4)) {
            SetErrorCode(result, kCorrupt);
            return;
        }
        frames.SetHeaderLength(index, static_cast<uint32_t>(TakenOffset() - frameOffset));
        std::vector<uint8_t>& data = frames.Data(index);
        if (ReadBody(data, size) != size) {
            data.clear();
            SetErrorCode(result, kCorrupt);
            return;
        }
    }
}

// The tag header is still in the scratch stream when a parser starts; it is
// copied out because the parser reuses the stream for every field it takes.
void ParseBody(uint16_t& result, bool v4) {
    std::array<uint8_t, 10> header;
    std::copy_n(Work.ScratchStream->begin(), 10, header.begin());
    if (!StartBody(result, header.data(), v4)) {
        return;
    }
    if (!(v4 ? ExtendedHeaderV4(result) : ExtendedHeaderV3(result))) {
        return;
    }
    Work.CurrentTag->Frames.ClearFrames();
    FrameLoop(result, v4);
}

}  // namespace

void ParseV23(uint16_t& result) {
    ParseBody(result, false);
}
void ParseV24(uint16_t& result) {
    ParseBody(result, true);
}

uint32_t ReadBody(std::vector<uint8_t>& destination, uint32_t n) {
    destination.reserve(destination.size() + std::min(n, Work.Remaining));
    uint32_t taken = 0;
    while (taken < n) {
        uint32_t chunk = std::min(n - taken, kPageSize - Work.ReadPos % kPageSize);
        // Until the whole body is loaded the ring keeps two bytes of look-ahead,
        // which the de-unsynchronisation of the next refill examines again.
        if (!Work.AllLoaded && chunk + 2 > Work.Available) {
            Refill();
        }
        const uint32_t keep = Work.AllLoaded ? 0 : 2;
        if (Work.Available <= keep) {
            break;
        }
        chunk = std::min(chunk, Work.Available - keep);
        const uint8_t* from = &RingByte(Work.ReadPos);
        destination.insert(destination.end(), from, from + chunk);
        Work.Available -= chunk;
        Work.ReadPos = RingAdd(Work.ReadPos, chunk);
        taken += chunk;
    }
    Work.Remaining = NotLoaded() + Work.Available;
    return taken;
}

// Works in runs that end at a 0xFF, found with memchr, so that bytes far from
// any 0xFF are examined once by a fast scan and moved at most once.
uint32_t DeunsyncRing(uint32_t first, uint32_t last) {
    uint32_t removed = 0;
    uint32_t out = first;
    uint32_t k = first;
    bool afterFF = Work.DeunsyncPrevious == 0xFF;
    while (k != last) {
        if (afterFF && RingByte(k) == 0x00 && NeedsUnsyncByte(RingByte(RingAdd(k, 1)))) {
            ++removed;
            afterFF = false;
            k = RingAdd(k, 1);
            continue;
        }
        // The run: from k through the next 0xFF, within k's page and before last.
        const uint32_t toLast = (last + kRingSize - k) % kRingSize;
        const uint32_t span = std::min(kPageSize - k % kPageSize, toLast);
        const uint8_t* start = &RingByte(k);
        const auto* ff = static_cast<const uint8_t*>(std::memchr(start, 0xFF, span));
        const uint32_t run = ff != nullptr ? static_cast<uint32_t>(ff - start) + 1 : span;
        afterFF = ff != nullptr;
        if (removed > 0) {
            RingMove(out, k, run);
        }
        out = RingAdd(out, run);
        k = RingAdd(k, run);
    }
    Work.DeunsyncPrevious = afterFF ? 0xFF : 0x00;
    RingByte(out) = RingByte(last);
    return removed;
}

bool IsPadding(const std::vector<uint8_t>& block) {
    if (block.size() >= 4 && std::memcmp(block.data(), "MP3e", 4) == 0) {
        return true;
    }
    return std::all_of(block.begin(), block.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace id3v2

using namespace id3v2;

uint16_t Tid3v2tag::LoadFromFile(const std::string& fileName, int64_t tagOffset) {
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
    } catch (const platform::OpenError&) {
        return ResultWord(kCannotOpen);
    } catch (const platform::ReadError&) {
        return ResultWord(kReadFailed);
    } catch (const platform::IoError&) {
        return ResultWord(kIoFailed);
    }
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
    if (MajorVersion != 3 && MajorVersion != 4) {
        return ResultWord(kBadVersion);
    }
    if (Revision != 0 && AcceptRevisions == 0) {
        return ResultWord(kRevisionRefused);
    }
    if (Revision != 0) {
        result |= kWarnRevision;
    }
    if (MajorVersion == 3) {
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
