// The save entry points: SaveToFile opens the file and SaveToStream runs the
// save's passes in order, turning failures into the result word.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "id3v2/journal/journal.h"
#include "id3v2/recovery.h"
#include "id3v2/result_codes.h"
#include "id3v2/work_state.h"
#include "id3v2/write/audio_move.h"
#include "id3v2/write/file_access.h"
#include "id3v2/write/frame_preparation.h"
#include "id3v2/write/staged_output.h"
#include "id3v2/write/tag_layout.h"
#include "platform/attributes.h"
#include "platform/file.h"

namespace id3v2 {
namespace {

using platform::File;

// The size of the tag at the start offset, 0 when there is none. A version 4
// footer is counted so that it is replaced along with its tag instead of being
// left in front of the audio data.
uint32_t FindOldTagSize(File& file, int64_t start, int64_t fileSize) {
    if (fileSize - start < 10) {
        return 0;
    }
    uint8_t header[10];
    file.Seek(start);
    file.ReadExact(header, sizeof header);
    if (!IsTagHeader(header)) {
        return 0;
    }
    int64_t size = int64_t{ReadSyncsafe32(header + 6)} + 10;
    if (header[3] == 4 && (header[5] & kTagFooter) && start + size + 10 <= fileSize) {
        uint8_t footer[3];
        if (file.ReadAt(start + size, footer, 3) == 3 && footer[0] == '3' && footer[1] == 'D' &&
            footer[2] == 'I') {
            size += 10;
        }
    }
    return static_cast<uint32_t>(std::min(size, fileSize - start));
}

// The checks that refuse a save before anything changes; 0 lets it go on.
uint16_t RefuseRequest(const Tid3v2tag& tag, uint8_t version, uint8_t revision) {
    if (version != 3 && version != 4) {
        return ResultWord(kBadVersion);
    }
    if (revision != 0) {
        return ResultWord(kRevisionRefused);
    }
    if (tag.Frames.FrameCount() == 0) {
        return ResultWord(kNoFrames);
    }
    // A picture whose image a listing load left in the file would be written
    // without it.
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        if (tag.Frames.LeftInFile(i) != 0) {
            return ResultWord(kLastLoadFailed);
        }
    }
    if (!Work.FileStream) {
        return ResultWord(kIoFailed);
    }
    // TagOffset holds 32 bits; a tag further in could not be found again.
    if (Work.TagStart > kMaxTagOffset) {
        return ResultWord(kOffsetTooLarge);
    }
    return 0;
}

// The audio moves in chunks of SyncEvery bytes when each is flushed to the disk.
uint32_t Chunk(const Tid3v2tag& tag) {
    constexpr uint32_t kPage = 4096;
    const uint64_t wanted = (uint64_t{tag.SyncEvery} + kPage - 1) / kPage * kPage;
    return static_cast<uint32_t>(std::clamp<uint64_t>(wanted, kMoveChunk, 64u << 20));
}

// The bytes that stand where the old tag is, kept for an undo.
std::vector<uint8_t> ReadOldTag(const File& file, const Relayout& plan) {
    std::vector<uint8_t> bytes(plan.oldSize);
    if (file.ReadAt(plan.start, bytes.data(), bytes.size()) != bytes.size()) {
        throw platform::ReadError("Cannot read " + file.Path() + ": unexpected end of file");
    }
    return bytes;
}

// Moves the audio data for the new tag's size, then writes the tag. A save
// that moves audio, or writes a large tag in place, keeps a journal, so that
// a recovery can finish it after a kill; returns why there was none when one
// could not be made.
std::string PutTagIntoFile(Tid3v2tag& tag, File& file, const Relayout& plan,
                           const std::vector<uint8_t>& newTag) {
    const std::vector<uint8_t> oldTag = ReadOldTag(file, plan);
    const bool durable = tag.SyncEvery != 0;
    std::string noJournal;
    std::unique_ptr<MoveJournal> journal;
    if (plan.Journalled()) {
        journal = MoveJournal::Begin(file, plan, newTag, durable, noJournal,
                                     tag.KeepModificationTime != 0);
    }
    SaveProgress progress(tag, plan.RelayedBytes() + newTag.size());
    tag.Status = "Re-positioning audio data";
    bool restored = true;
    std::string ignored;
    try {
        RelayAndWriteTag({file, plan, oldTag, newTag, journal.get(), durable}, progress, restored);
    } catch (const platform::IoError&) {
        if (restored && journal) {
            journal->Remove(ignored);
        } else if (!restored) {
            tag.Status = journal ? "Save failed; the file is repaired at the next start"
                                 : "Save failed and the file could not be put back as it was";
        }
        throw;
    }
    if (journal) {
        journal->Remove(ignored);
    }
    return noJournal;
}

// What a completed save records in the tag object.
void RecordSave(Tid3v2tag& tag, uint8_t version, uint8_t revision, int64_t start,
                const TagLayout& layout, uint16_t result) {
    tag.MajorVersion = version;
    tag.Revision = revision;
    tag.TagSize = static_cast<uint32_t>(layout.size);
    tag.Crc = layout.crc;
    tag.LastResult = result;
    tag.Modified = 0;
    tag.TagOffset = static_cast<uint32_t>(start);
    tag.Flags &= static_cast<uint8_t>(~kTagFooter);
    tag.Progress = 100;
    tag.Status = "Save Complete";
}

// Opens the file of a save or a removal, locked, as the work-state file;
// returns the refusal, or 0. Throws platform::IoError.
uint16_t OpenLocked(Tid3v2tag& tag, const std::string& path) {
    if (!platform::FileExists(path)) {
        return ResultWord(kCannotOpen);
    }
    if (IsProtectedFile(platform::GetFileAttributesA(path))) {
        return ResultWord(kProtectedFile);
    }
    Work.FileStream = std::make_unique<platform::File>(path, platform::File::Mode::ReadWrite,
                                                       platform::File::Lock::Exclusive);
    // A save never works on a file whose last save was interrupted.
    RecoveredFile pending;
    if (RecoverPendingSave(*Work.FileStream, pending) &&
        pending.outcome == RecoveredFile::Outcome::Failed) {
        tag.Status = "An interrupted save of this file could not be finished: " + pending.reason;
        return ResultWord(kWriteFailed);
    }
    return 0;
}

// Puts back the modification time the work-state file had at opening, when
// the tag keeps it; a save that failed left the file as it was, or leaves it
// to the recovery, which puts the same time back. A time that cannot be set
// does not undo a save that succeeded: the status tells it.
void KeepTime(Tid3v2tag& tag) {
    if (!tag.KeepModificationTime) {
        return;
    }
    try {
        Work.FileStream->SetModificationTime(Work.FileStream->ModificationTime());
    } catch (const platform::IoError& error) {
        tag.Status += std::string(" (the modification time was not kept: ") + error.what() + ")";
    }
}

// Removes the tag at `start` of the open work-state file: the audio moves like
// any save's that shrinks its tag, journal included, only to a tag of no bytes.
uint16_t RemoveTag(Tid3v2tag& tag, int64_t start) {
    try {
        File& file = *Work.FileStream;
        const int64_t fileSize = file.Size();
        if (fileSize < start) {
            return ResultWord(kOffsetPastEnd);
        }
        const uint32_t oldSize = FindOldTagSize(file, start, fileSize);
        if (oldSize == 0) {
            return ResultWord(kNoTag);
        }
        tag.Progress = 0;
        const SaveBuffers buffers;
        const std::string noJournal =
            PutTagIntoFile(tag, file, {start, fileSize, oldSize, 0, Chunk(tag)}, {});
        tag.StartFreshTag();
        tag.Progress = 100;
        tag.Status = "Tag removed";
        if (!noJournal.empty()) {
            tag.Status += " (without a recovery journal: " + noJournal + ")";
        }
        return 0;
    } catch (const platform::IoError& error) {
        return ResultWord(ErrorCodeOf(error));
    }
}

}  // namespace
}  // namespace id3v2

uint16_t Tid3v2tag::SaveToFile(const std::string& fileName, uint8_t version, int64_t startOffset,
                               uint8_t revision) {
    using namespace id3v2;
    Work.CurrentTag = this;
    const bool sameFile = fileName == "=";
    const int64_t start = startOffset >= 0 ? startOffset : (sameFile ? int64_t{TagOffset} : 0);
    const std::string path = sameFile ? FileName : fileName;
    const WorkStateRelease release;
    if (!Succeeded(LastResult)) {
        return ResultWord(kLastLoadFailed);
    }
    try {
        if (const uint16_t refused = OpenLocked(*this, path)) {
            return refused;
        }
        Work.TagStart = start;
        const uint16_t result = SaveToStream(version, revision);
        if (Succeeded(result)) {
            FileName = path;
        }
        KeepTime(*this);
        return result;
    } catch (const platform::IoError& error) {
        return ResultWord(ErrorCodeOf(error));
    }
}

uint16_t Tid3v2tag::SaveToStream(uint8_t version, uint8_t revision) {
    using namespace id3v2;
    Work.CurrentTag = this;
    // A version 2.2 tag, loaded as version 3 frames, is written as version 3.
    version = version != 255 ? version : MajorVersion == 2 ? 3 : MajorVersion;
    revision = revision == 255 ? Revision : revision;
    if (const uint16_t refused = RefuseRequest(*this, version, revision)) {
        return refused;
    }

    uint16_t warnings = 0;
    try {
        Progress = 0;
        Status = "Preparing tag";
        const SaveBuffers buffers;
        platform::File& file = *Work.FileStream;
        const int64_t start = Work.TagStart;
        const int64_t fileSize = file.Size();
        if (fileSize < start) {
            return ResultWord(kOffsetPastEnd);
        }
        if (const uint16_t refused = PrepareFrames(*this, version, warnings)) {
            return refused | warnings;
        }
        Work.OldTagSize = FindOldTagSize(file, start, fileSize);
        const TagLayout layout =
            LayOutTag(*this, version, static_cast<uint64_t>(fileSize), Work.OldTagSize);
        if (layout.size - 10 > kMaxTagBody) {
            return ResultWord(kTagTooLarge) | warnings;
        }
        const std::string noJournal = PutTagIntoFile(
            *this, file, {start, fileSize, Work.OldTagSize, layout.size, Chunk(*this)},
            RenderTag(*this, layout));
        RecordSave(*this, version, revision, start, layout, warnings);
        if (!noJournal.empty()) {
            Status += " (without a recovery journal: " + noJournal + ")";
        }
        return warnings;
    } catch (const platform::IoError& error) {
        return ResultWord(ErrorCodeOf(error)) | warnings;
    }
}

uint16_t Tid3v2tag::RemoveFromFile(const std::string& fileName) {
    using namespace id3v2;
    Work.CurrentTag = this;
    const bool sameFile = fileName == "=";
    const int64_t start = sameFile ? int64_t{TagOffset} : 0;
    const std::string path = sameFile ? FileName : fileName;
    const WorkStateRelease release;
    try {
        if (const uint16_t refused = OpenLocked(*this, path)) {
            return refused;
        }
        const uint16_t result = RemoveTag(*this, start);
        if (Succeeded(result)) {
            FileName = path;
        }
        KeepTime(*this);
        return result;
    } catch (const platform::IoError& error) {
        return ResultWord(ErrorCodeOf(error));
    }
}
