// The frame table: entries in table order, addressed 1-based, and the
// unsynchronisation transforms of one entry's data.
#include "id3v2/frames/layout.h"
#include "id3v2/frames/unsync.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

using id3v2::kFrameDone;
using id3v2::kFrameFailed;
using id3v2::kFrameNothingToDo;

TFrameEntry& TFrameIndex::At(uint32_t index) {
    if (index < 1 || index > entries_.size()) {
        throw ERangeError();
    }
    return entries_[index - 1];
}

const TFrameEntry& TFrameIndex::At(uint32_t index) const {
    if (index < 1 || index > entries_.size()) {
        throw ERangeError();
    }
    return entries_[index - 1];
}

namespace {

// The identifier upper-cased, or "" when it is not four characters A-Z/0-9.
std::string FrameIdOf(const std::string& id) {
    if (id.size() != 4) {
        return {};
    }
    std::string upper = id;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return {};
        }
    }
    return upper;
}

}  // namespace

uint32_t TFrameIndex::AddFrame(const std::string& id) {
    const std::string upper = FrameIdOf(id);
    if (upper.empty()) {
        return 0;
    }
    TFrameEntry& entry = entries_.emplace_back();
    entry.Id = upper;
    entry.Modified = 1;
    return FrameCount();
}

bool TFrameIndex::RenameFrame(uint32_t index, const std::string& id) {
    const std::string upper = FrameIdOf(id);
    if (upper.empty()) {
        return false;
    }
    TFrameEntry& entry = At(index);
    entry.Id = upper;
    entry.Modified = 1;
    return true;
}

bool TFrameIndex::DeleteFrame(uint32_t index) {
    if (index < 1 || index > entries_.size()) {
        return false;
    }
    entries_.erase(entries_.begin() + (index - 1));
    return true;
}

void TFrameIndex::ClearFrames() {
    while (!entries_.empty()) {
        entries_.pop_back();
    }
}

std::string TFrameIndex::Id(uint32_t index) const {
    return At(index).Id;
}
size_t TFrameIndex::DataSize(uint32_t index) const {
    return At(index).Data.size();
}
std::vector<uint8_t>& TFrameIndex::Data(uint32_t index) {
    return At(index).Data;
}
const std::vector<uint8_t>& TFrameIndex::Data(uint32_t index) const {
    return At(index).Data;
}
uint8_t TFrameIndex::Modified(uint32_t index) const {
    return At(index).Modified;
}

uint32_t TFrameIndex::FrameOffset(uint32_t index) const {
    return At(index).FrameOffset;
}
void TFrameIndex::SetFrameOffset(uint32_t index, uint32_t value) {
    At(index).FrameOffset = value;
}
uint32_t TFrameIndex::RawSize(uint32_t index) const {
    return At(index).RawSize;
}
uint32_t TFrameIndex::DataLength(uint32_t index) const {
    return At(index).DataLength;
}
void TFrameIndex::SetDataLength(uint32_t index, uint32_t value) {
    At(index).DataLength = value;
}

uint8_t TFrameIndex::EncryptionMethod(uint32_t index) const {
    return At(index).EncryptionMethod;
}
void TFrameIndex::SetEncryptionMethod(uint32_t index, uint8_t value) {
    TFrameEntry& entry = At(index);
    if (entry.EncryptionMethod != value) {
        entry.EncryptionMethod = value;
        entry.Modified = 1;
    }
}

uint8_t TFrameIndex::GroupId(uint32_t index) const {
    return At(index).GroupId;
}
void TFrameIndex::SetGroupId(uint32_t index, uint8_t value) {
    TFrameEntry& entry = At(index);
    if (entry.GroupId != value) {
        entry.GroupId = value;
        entry.Modified = 1;
    }
}
uint32_t TFrameIndex::LeftInFile(uint32_t index) const {
    return At(index).LeftInFile;
}
void TFrameIndex::SetLeftInFile(uint32_t index, uint32_t value) {
    At(index).LeftInFile = value;
}

uint8_t TFrameIndex::State(uint32_t index, uint32_t part) const {
    const TFrameEntry& entry = At(index);
    if (part < 1 || part > 2) {
        throw ERangeError();
    }
    return entry.State[part - 1];
}

void TFrameIndex::SetState(uint32_t index, uint32_t part, uint8_t value) {
    TFrameEntry& entry = At(index);
    if (part < 1 || part > 2) {
        throw ERangeError();
    }
    entry.State[part - 1] = value;
}

uint8_t TFrameIndex::WantedFlags(uint32_t index, uint32_t part) const {
    const TFrameEntry& entry = At(index);
    if (part < 1 || part > 2) {
        throw ERangeError();
    }
    return part == 1 ? entry.StatusFlags : entry.FormatFlags;
}

void TFrameIndex::SetWantedFlags(uint32_t index, uint32_t part, uint8_t value) {
    TFrameEntry& entry = At(index);
    if (part < 1 || part > 2) {
        throw ERangeError();
    }
    (part == 1 ? entry.StatusFlags : entry.FormatFlags) = value;
    entry.Modified = 1;
}

bool TFrameIndex::TagAlterPreservation(uint32_t i) const {
    return At(i).StatusFlags & id3v2::kStatusTagAlter;
}
bool TFrameIndex::FileAlterPreservation(uint32_t i) const {
    return At(i).StatusFlags & id3v2::kStatusFileAlter;
}
bool TFrameIndex::ReadOnly(uint32_t i) const {
    return At(i).StatusFlags & id3v2::kStatusReadOnly;
}
bool TFrameIndex::GroupingIdentity(uint32_t i) const {
    return At(i).FormatFlags & id3v2::kFormatGrouping;
}
bool TFrameIndex::Compression(uint32_t i) const {
    return At(i).FormatFlags & id3v2::kFormatCompression;
}
bool TFrameIndex::Encryption(uint32_t i) const {
    return At(i).FormatFlags & id3v2::kFormatEncryption;
}
bool TFrameIndex::Unsynchronisation(uint32_t i) const {
    return At(i).FormatFlags & id3v2::kFormatUnsync;
}
bool TFrameIndex::DataLengthIndicator(uint32_t i) const {
    return At(i).FormatFlags & id3v2::kFormatDataLength;
}
bool TFrameIndex::IsGrouped(uint32_t i) const {
    return At(i).State[1] & id3v2::kFormatGrouping;
}
bool TFrameIndex::IsCompressed(uint32_t i) const {
    return At(i).State[1] & id3v2::kFormatCompression;
}
bool TFrameIndex::IsEncrypted(uint32_t i) const {
    return At(i).State[1] & id3v2::kFormatEncryption;
}
bool TFrameIndex::IsUnsynchronised(uint32_t i) const {
    return At(i).State[1] & id3v2::kFormatUnsync;
}

int TFrameIndex::Unsynchronise(uint32_t index) {
    TFrameEntry& entry = At(index);
    if (entry.State[1] & id3v2::kFormatUnsync) {
        return kFrameNothingToDo;
    }
    try {
        std::vector<uint8_t>& data = entry.Data;
        const size_t size = data.size();
        if ((entry.State[1] & (id3v2::kFormatCompression | id3v2::kFormatEncryption)) == 0) {
            entry.DataLength = static_cast<uint32_t>(size);
        }
        entry.RawSize = static_cast<uint32_t>(size);
        id3v2::UnsyncData(data);
        entry.State[1] |= id3v2::kFormatUnsync;
        entry.Modified = 1;
        return kFrameDone;
    } catch (...) {
        return kFrameFailed;
    }
}

int TFrameIndex::Resynchronise(uint32_t index) {
    TFrameEntry& entry = At(index);
    if ((entry.State[1] & id3v2::kFormatUnsync) == 0) {
        return kFrameNothingToDo;
    }
    try {
        // A final zero after 0xFF goes too: Unsynchronise put it there.
        id3v2::ResyncBytes(entry.Data);
        entry.State[1] &= static_cast<uint8_t>(~id3v2::kFormatUnsync);
        entry.Modified = 1;
        return kFrameDone;
    } catch (...) {
        return kFrameFailed;
    }
}
