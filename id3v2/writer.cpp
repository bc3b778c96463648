// The tag writer: renders the tag object as an ID3v2.3 or ID3v2.4 tag and puts it
// into its file in place, moving the audio data when the tag's size changes.
#include "id3v2/writer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "id3v2/crc32.h"
#include "id3v2/file_attributes.h"
#include "id3v2/layout.h"
#include "id3v2/result_codes.h"
#include "id3v2/work_state.h"
#include "platform/attributes.h"
#include "platform/file.h"

namespace id3v2 {

namespace {
uint64_t stagedBytesWritten = 0;
}  // namespace

size_t CountUnsync(const uint8_t* bytes, size_t length) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < length; ++i) {
        if (bytes[i] == 0xFF && NeedsUnsyncByte(bytes[i + 1])) {
            ++count;
        }
    }
    return count;
}

size_t CountUnsync32(uint32_t value) {
    uint8_t bytes[4];
    WriteBigEndian32(bytes, value);
    return CountUnsync(bytes, 4);
}

size_t UnsyncInPlace(uint8_t* buffer, size_t length) {
    const size_t inserted = CountUnsync(buffer, length);
    // From the end backwards each byte moves once. While insertions are still
    // to be placed, every write lands above `in + 1`, so the follower examined
    // is still the original byte.
    size_t out = length + inserted;
    size_t in = length;
    while (out > in) {
        --in;
        if (in + 1 < length && buffer[in] == 0xFF && NeedsUnsyncByte(buffer[in + 1])) {
            buffer[--out] = 0x00;
        }
        buffer[--out] = buffer[in];
    }
    return inserted;
}

size_t CountResync(const uint8_t* bytes, size_t length) {
    size_t count = 0;
    for (size_t i = 1; i + 1 < length; ++i) {
        if (bytes[i] == 0x00 && bytes[i - 1] == 0xFF && NeedsUnsyncByte(bytes[i + 1])) {
            ++count;
        }
    }
    return count;
}

void WriteStaged(const uint8_t* source, size_t count) {
    std::vector<uint8_t>& stage = *Work.Staging;
    platform::File& file = *Work.FileStream;
    const auto flush = [&] {
        file.Write(stage.data(), stage.size());
        stagedBytesWritten += stage.size();
        stage.clear();
    };
    if (count == 0) {
        if (!stage.empty()) {
            flush();
        }
        return;
    }
    while (count > 0) {
        if (stage.empty() && count >= kStageSize) {
            // A whole block goes out straight from the source, sparing a copy.
            file.Write(source, kStageSize);
            stagedBytesWritten += kStageSize;
            source += kStageSize;
            count -= kStageSize;
            continue;
        }
        const size_t take = std::min(count, kStageSize - stage.size());
        stage.insert(stage.end(), source, source + take);
        source += take;
        count -= take;
        if (stage.size() == kStageSize) {
            flush();
        }
    }
}

uint64_t StagedBytesWritten() {
    return stagedBytesWritten;
}

uint32_t AlignedPadding(uint64_t fileSize, uint32_t oldSize, uint64_t newSize, uint32_t block) {
    const uint32_t b = block == 0 ? 1 : block;
    const auto f = static_cast<uint32_t>(fileSize);
    const uint32_t first = (f / b + 1) * b - (f - oldSize) - static_cast<uint32_t>(newSize);
    // Subtracting b while the value exceeds b ends in 1..b.
    return first > b ? (first - 1) % b + 1 : first;
}

uint32_t ChoosePadding(const Tid3v2tag& tag, uint64_t fileSize, uint32_t oldSize,
                       uint64_t newSize) {
    const uint32_t block = tag.PaddingBlock == 0 ? 1 : tag.PaddingBlock;
    if (tag.PaddingMode == 0) {
        return tag.PaddingSize;
    }
    if (tag.PaddingMode == 2 || newSize > oldSize || tag.PaddingLimit >= block) {
        return AlignedPadding(fileSize, oldSize, newSize, block);
    }
    return static_cast<uint32_t>(oldSize - newSize);  // the tag keeps its old size
}

namespace {

using platform::File;

// Encryption and grouping are never applied by the writer, so their flags must
// agree with the data; with AdjustFlags the flag follows the data instead.
uint16_t MatchFlagToData(Tid3v2tag& tag, uint8_t bit, uint8_t refusal, uint16_t& warnings) {
    TFrameIndex& frames = tag.Frames;
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        const uint8_t held = frames.State(i, 2) & bit;
        const uint8_t format = frames.WantedFlags(i, 2);
        if (held != (format & bit)) {
            if (!tag.AdjustFlags) {
                return ResultWord(refusal);
            }
            frames.SetWantedFlags(i, 2, static_cast<uint8_t>((format & ~bit) | held));
            warnings |= kWarnFlagsAdjusted;
        }
    }
    return 0;
}

// Brings every frame's data to the form its wanted flags ask for. Returns an
// error word, 0 when the save may go on; warnings collect in `warnings`.
uint16_t PrepareFrames(Tid3v2tag& tag, uint8_t version, uint16_t& warnings) {
    TFrameIndex& frames = tag.Frames;
    const auto setFormat = [&](uint32_t i, uint8_t bit, bool on) {
        const uint8_t format = frames.WantedFlags(i, 2);
        frames.SetWantedFlags(i, 2, static_cast<uint8_t>(on ? format | bit : format & ~bit));
    };

    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        if (frames.Unsynchronisation(i)) {
            tag.SetUnsynchronisation(true);
            break;
        }
    }
    if (tag.Unsynchronisation()) {
        for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
            setFormat(i, kFormatUnsync, true);
        }
    }
    if (tag.PruneFrames) {
        for (uint32_t i = frames.FrameCount(); i >= 1; --i) {
            if (frames.Compression(i) && !frames.DataLengthIndicator(i)) {
                setFormat(i, kFormatDataLength, true);
            }
            if (frames.DataSize(i) == 0) {
                frames.DeleteFrame(i);
            }
        }
    }
    if (frames.FrameCount() == 0) {
        return ResultWord(kNoFrames);
    }

    if (version == 4) {
        for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
            if (!frames.DataLengthIndicator(i)) {
                continue;
            }
            // Plain data's length is its size, also when new text replaced the
            // data after a load and left the loaded length behind.
            if (!frames.IsUnsynchronised(i) && !frames.IsEncrypted(i) && !frames.IsCompressed(i)) {
                frames.SetDataLength(i, static_cast<uint32_t>(frames.DataSize(i)));
                continue;
            }
            if (frames.DataLength(i) != 0) {
                continue;
            }
            if (frames.IsUnsynchronised(i) && frames.Resynchronise(i) != kFrameDone) {
                return ResultWord(kIoFailed);
            }
            if (frames.IsEncrypted(i)) {
                if (!tag.AdjustFlags) {
                    return ResultWord(kEncryptedLengthUnknown);
                }
                setFormat(i, kFormatDataLength, false);
                warnings |= kWarnFlagsAdjusted;
                frames.SetDataLength(i, 0);
                continue;
            }
            if (frames.IsCompressed(i)) {
                const int result = frames.DecompressFrame(i);
                if (result != kFrameDone && result != kFrameSizeDiffers) {
                    return ResultWord(kIoFailed);  // the data length cannot be known
                }
            }
            frames.SetDataLength(i, static_cast<uint32_t>(frames.DataSize(i)));
        }
    }

    const uint32_t count = frames.FrameCount();
    for (uint32_t i = 1; i <= count; ++i) {
        tag.Progress = static_cast<uint8_t>(5 * i / count);
        const bool wanted = frames.Compression(i);
        if (frames.IsCompressed(i) == wanted) {
            continue;
        }
        tag.Status = "Applying compression";
        // zlib works on the plain bytes; unsynchronisation is put back later.
        if (frames.IsUnsynchronised(i) && frames.Resynchronise(i) != kFrameDone) {
            return ResultWord(kIoFailed);
        }
        if (wanted) {
            if (frames.CompressFrame(i, tag.CompressionLevel) != kFrameDone) {
                // Encrypted, or zlib failed: the frame goes out uncompressed.
                setFormat(i, kFormatCompression, false);
                warnings |= kWarnFlagsAdjusted;
            }
        } else {
            const int result = frames.DecompressFrame(i);
            if (result != kFrameDone && result != kFrameSizeDiffers) {
                return ResultWord(kIoFailed);
            }
            if (frames.DataLengthIndicator(i)) {
                frames.SetDataLength(i, static_cast<uint32_t>(frames.DataSize(i)));
            }
        }
    }

    if (const uint16_t refused =
            MatchFlagToData(tag, kFormatEncryption, kEncryptionMismatch, warnings)) {
        return refused;
    }

    for (uint32_t i = 1; i <= count; ++i) {
        tag.Progress = static_cast<uint8_t>(5 * i / count + 5);
        const bool wanted = frames.Unsynchronisation(i);
        if (frames.IsUnsynchronised(i) == wanted) {
            continue;
        }
        tag.Status = "Applying unsync";
        if ((wanted ? frames.Unsynchronise(i) : frames.Resynchronise(i)) != kFrameDone) {
            return ResultWord(kIoFailed);
        }
    }

    return MatchFlagToData(tag, kFormatGrouping, kGroupingMismatch, warnings);
}

// A version 3 frame header as written. With whole-tag unsynchronisation the
// header is unsynchronised together with the first data byte, so that a 0xFF
// ending the header gets its zero byte when the data starts with 0x00 or 0xE0+.
std::vector<uint8_t> FrameHeaderV3(const TFrameIndex& frames, uint32_t i, bool unsync) {
    const std::vector<uint8_t>& data = frames.Data(i);
    const uint8_t format = frames.WantedFlags(i, 2);
    // The size field counts the data as the reader sees it, de-unsynchronised.
    uint64_t size = data.size();
    if (frames.IsUnsynchronised(i)) {
        size -= CountResync(data.data(), data.size());
    }
    std::vector<uint8_t> header(10);
    std::copy_n(frames.Id(i).begin(), 4, header.begin());
    header[8] = StatusToV3(frames.WantedFlags(i, 1));
    header[9] = FormatToV3(format);
    if (format & kFormatCompression) {
        header.resize(14);
        WriteBigEndian32(&header[10], frames.DataLength(i));
    }
    if (format & kFormatEncryption) {
        header.push_back(frames.EncryptionMethod(i));
    }
    if (format & kFormatGrouping) {
        header.push_back(frames.GroupId(i));
    }
    WriteBigEndian32(&header[4], static_cast<uint32_t>(size + header.size() - 10));
    if (unsync) {
        const bool follower = !data.empty();
        if (follower) {
            header.push_back(data[0]);
        }
        const size_t length = header.size();
        header.resize(length + CountUnsync(header.data(), length));
        UnsyncInPlace(header.data(), length);
        if (follower) {
            header.pop_back();
        }
    }
    return header;
}

std::vector<uint8_t> FrameHeaderV4(const TFrameIndex& frames, uint32_t i) {
    const uint8_t format =
        frames.WantedFlags(i, 2) & (kFormatGrouping | kFormatCompression | kFormatEncryption |
                                    kFormatUnsync | kFormatDataLength);
    std::vector<uint8_t> header(10);
    std::copy_n(frames.Id(i).begin(), 4, header.begin());
    header[8] = frames.WantedFlags(i, 1) & (kStatusTagAlter | kStatusFileAlter | kStatusReadOnly);
    header[9] = format;
    if (format & kFormatGrouping) {
        header.push_back(frames.GroupId(i));
    }
    if (format & kFormatEncryption) {
        header.push_back(frames.EncryptionMethod(i));
    }
    if (format & kFormatDataLength) {
        header.resize(header.size() + 4);
        WriteSyncsafe32(&header[header.size() - 4], frames.DataLength(i));
    }
    WriteSyncsafe32(&header[4], static_cast<uint32_t>(frames.DataSize(i) + header.size() - 10));
    return header;
}

// The tag as it will be written, worked out before the file is touched.
struct TagLayout {
    uint8_t version = 3;
    bool unsync = false;
    bool extended = false;
    bool crcPresent = false;
    std::vector<std::vector<uint8_t>> frameHeaders;
    uint64_t framesSize = 0;  // frame headers and data as written
    uint32_t crc = 0xFFFFFFFF;
    uint32_t padding = 0;
    std::vector<uint8_t> extendedHeader;
    uint64_t size = 0;  // the whole tag, 10-byte header included
};

// Lays out the frames and folds them into the CRC register when one is wanted.
TagLayout PlanFrames(Tid3v2tag& tag, uint8_t version) {
    TagLayout layout;
    layout.version = version;
    layout.unsync = tag.Unsynchronisation();
    layout.crcPresent = tag.CrcPresent();
    if (layout.crcPresent) {
        tag.Flags |= kTagExtendedHeader;
        tag.Status = "Calculating CRC-32";
    }
    layout.extended = tag.ExtendedHeader();
    const TFrameIndex& frames = tag.Frames;
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        std::vector<uint8_t> header =
            version == 3 ? FrameHeaderV3(frames, i, layout.unsync) : FrameHeaderV4(frames, i);
        const std::vector<uint8_t>& data = frames.Data(i);
        if (layout.crcPresent) {
            UpdateCrc32(header.data(), header.size(), layout.crc);
            UpdateCrc32(data.data(), data.size(), layout.crc);
        }
        layout.framesSize += header.size() + data.size();
        layout.frameHeaders.push_back(std::move(header));
    }
    return layout;
}

// Extended-header size before any unsynchronisation of its fields.
uint32_t ExtendedHeaderBaseSize(const Tid3v2tag& tag, const TagLayout& layout) {
    if (!layout.extended) {
        return 0;
    }
    if (layout.version == 3) {
        return layout.crcPresent ? 14 : 10;
    }
    return 6 + (tag.TagIsUpdate() ? 1 : 0) + (layout.crcPresent ? 6 : 0) +
           (tag.RestrictionsPresent() ? 2 : 0);
}

std::vector<uint8_t> ExtendedHeaderBytes(const Tid3v2tag& tag, const TagLayout& layout) {
    std::vector<uint8_t> bytes;
    if (!layout.extended) {
        return bytes;
    }
    if (layout.version == 3) {
        bytes.assign(6, 0);
        bytes[3] = layout.crcPresent ? 10 : 6;
        bytes[4] = layout.crcPresent ? 0x80 : 0x00;
        // Padding size and CRC form one run for unsynchronisation.
        const size_t runStart = bytes.size();
        bytes.resize(runStart + 4);
        WriteBigEndian32(&bytes[runStart], layout.padding);
        if (layout.crcPresent) {
            bytes.resize(runStart + 8);
            WriteBigEndian32(&bytes[runStart + 4], layout.crc);
        }
        if (layout.unsync) {
            const size_t runLength = bytes.size() - runStart;
            const size_t inserted = layout.crcPresent ? CountUnsync(&bytes[runStart], runLength)
                                                      : CountUnsync32(layout.padding);
            bytes.resize(bytes.size() + inserted);
            UnsyncInPlace(&bytes[runStart], runLength);
        }
        return bytes;
    }
    bytes.resize(4);
    WriteSyncsafe32(bytes.data(), ExtendedHeaderBaseSize(tag, layout));
    bytes.push_back(0x01);
    bytes.push_back(static_cast<uint8_t>((tag.TagIsUpdate() ? kExtUpdate : 0) |
                                         (layout.crcPresent ? kExtCrc : 0) |
                                         (tag.RestrictionsPresent() ? kExtRestrictions : 0)));
    if (tag.TagIsUpdate()) {
        bytes.push_back(0x00);
    }
    if (layout.crcPresent) {
        const uint32_t crc = layout.crc;
        bytes.insert(
            bytes.end(),
            {0x05, static_cast<uint8_t>(crc >> 28), static_cast<uint8_t>((crc >> 21) & 0x7F),
             static_cast<uint8_t>((crc >> 14) & 0x7F), static_cast<uint8_t>((crc >> 7) & 0x7F),
             static_cast<uint8_t>(crc & 0x7F)});
    }
    if (tag.RestrictionsPresent()) {
        bytes.push_back(0x01);
        bytes.push_back(tag.Restrictions);
    }
    return bytes;
}

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

// Progress from 10 to 100 over the bytes the save moves and writes.
class SaveProgress {
  public:
    SaveProgress(Tid3v2tag& tag, uint64_t total) : tag_(tag), total_(std::max<uint64_t>(total, 1)) {
        tag_.Progress = 10;
    }
    void Add(uint64_t bytes) {
        done_ += bytes;
        tag_.Progress = static_cast<uint8_t>(std::min<uint64_t>(10 + 90 * done_ / total_, 100));
    }

  private:
    Tid3v2tag& tag_;
    uint64_t total_;
    uint64_t done_ = 0;
};

void ReadChunk(const File& file, int64_t offset, uint8_t* buffer, size_t count) {
    if (file.ReadAt(offset, buffer, count) != count) {
        throw platform::ReadError("Cannot read " + file.Path() + ": unexpected end of file");
    }
}

void WriteZeros(uint64_t count, SaveProgress& progress) {
    const uint8_t* zeros = Work.PaddingBlock->data();
    while (count > 0) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, kStageSize));
        WriteStaged(zeros, piece);
        count -= piece;
        progress.Add(piece);
    }
}

// Copies first chunk first; safe when the target lies below the source.
void CopyForward(File& file, int64_t from, int64_t to, uint64_t count, SaveProgress& progress) {
    uint8_t* buffer = Work.WorkBuffer->data();
    file.Seek(to);
    for (uint64_t done = 0; done < count;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count - done, kStageSize));
        ReadChunk(file, from + static_cast<int64_t>(done), buffer, piece);
        WriteStaged(buffer, piece);
        done += piece;
        progress.Add(piece);
    }
    WriteStaged(nullptr, 0);
}

// Copies last chunk first; safe when the target lies above the source.
void CopyBackward(File& file, int64_t from, int64_t to, uint64_t count, SaveProgress& progress) {
    uint8_t* buffer = Work.WorkBuffer->data();
    for (uint64_t left = count; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kStageSize));
        left -= piece;
        ReadChunk(file, from + static_cast<int64_t>(left), buffer, piece);
        file.Seek(to + static_cast<int64_t>(left));
        WriteStaged(buffer, piece);
        WriteStaged(nullptr, 0);
        progress.Add(piece);
    }
}

// Moves the bytes after the old tag so that they follow the new one.
void RelayAudio(File& file, int64_t start, int64_t fileSize, uint32_t oldSize, uint64_t newSize,
                SaveProgress& progress) {
    const int64_t audio = fileSize - start - oldSize;
    const int64_t growth = static_cast<int64_t>(newSize) - oldSize;
    if (audio > 0 && growth > 0) {
        // The file is first extended by appending, which leaves every byte it
        // had untouched; only then are bytes inside it overwritten.
        const int64_t tail = std::min(growth, audio);
        const int64_t filler = growth - tail;
        try {
            file.Seek(fileSize);
            WriteZeros(static_cast<uint64_t>(filler), progress);
            WriteStaged(nullptr, 0);
            CopyForward(file, fileSize - tail, fileSize + filler, static_cast<uint64_t>(tail),
                        progress);
        } catch (const platform::IoError&) {
            // Give the file back its old size; the failure itself is what is reported.
            try {
                Work.Staging->clear();
                file.Truncate(fileSize);
            } catch (const platform::IoError&) {
            }
            throw;
        }
        CopyBackward(file, start + oldSize, start + static_cast<int64_t>(newSize),
                     static_cast<uint64_t>(audio - tail), progress);
    } else if (audio > 0 && growth < 0) {
        CopyForward(file, start + oldSize, start + static_cast<int64_t>(newSize),
                    static_cast<uint64_t>(audio), progress);
        file.Truncate(fileSize + growth);
    } else if (growth < 0) {
        file.Truncate(fileSize + growth);
    }
}

void WriteTag(File& file, int64_t start, const Tid3v2tag& tag, const TagLayout& layout,
              SaveProgress& progress) {
    uint8_t header[10] = {
        'I',
        'D',
        '3',
        layout.version,
        0,
        static_cast<uint8_t>(tag.Flags & (kTagUnsync | kTagExtendedHeader | kTagExperimental))};
    WriteSyncsafe32(header + 6, static_cast<uint32_t>(layout.size - 10));
    file.Seek(start);
    const auto put = [&](const uint8_t* bytes, size_t count) {
        // A count of 0 would flush the staging buffer in the middle of the tag.
        if (count == 0) {
            return;
        }
        WriteStaged(bytes, count);
        progress.Add(count);
    };
    put(header, sizeof header);
    put(layout.extendedHeader.data(), layout.extendedHeader.size());
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        const std::vector<uint8_t>& frameHeader = layout.frameHeaders[i - 1];
        const std::vector<uint8_t>& data = tag.Frames.Data(i);
        put(frameHeader.data(), frameHeader.size());
        put(data.data(), data.size());
    }
    WriteZeros(layout.padding, progress);
    WriteStaged(nullptr, 0);
}

// Frees the save's buffers when the save ends, however it ends.
struct SaveBuffers {
    SaveBuffers() = default;
    SaveBuffers(const SaveBuffers&) = delete;
    SaveBuffers& operator=(const SaveBuffers&) = delete;
    ~SaveBuffers() {
        Work.Staging.reset();
        Work.WorkBuffer.reset();
        Work.PaddingBlock.reset();
    }
};

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
    if (LastResult > 0xFF) {
        return ResultWord(kLastLoadFailed);
    }
    try {
        if (!platform::FileExists(path)) {
            return ResultWord(kCannotOpen);
        }
        if (IsProtectedFile(platform::GetFileAttributesA(path))) {
            return ResultWord(kProtectedFile);
        }
        Work.FileStream = std::make_unique<platform::File>(path, platform::File::Mode::ReadWrite,
                                                           platform::File::Lock::Exclusive);
        Work.TagStart = start;
        const uint16_t result = SaveToStream(version, revision);
        if (Succeeded(result)) {
            FileName = path;
        }
        return result;
    } catch (const platform::OpenError&) {
        return ResultWord(kCannotOpen);
    } catch (const platform::ReadError&) {
        return ResultWord(kReadFailed);
    } catch (const platform::WriteError&) {
        return ResultWord(kWriteFailed);
    } catch (const platform::IoError&) {
        return ResultWord(kIoFailed);
    }
}

uint16_t Tid3v2tag::SaveToStream(uint8_t version, uint8_t revision) {
    using namespace id3v2;
    Work.CurrentTag = this;
    if (version == 255) {
        version = MajorVersion;
    }
    if (revision == 255) {
        revision = Revision;
    }
    if (version != 3 && version != 4) {
        return ResultWord(kBadVersion);
    }
    if (revision != 0) {
        return ResultWord(kRevisionRefused);
    }
    if (Frames.FrameCount() == 0) {
        return ResultWord(kNoFrames);
    }
    if (!Work.FileStream) {
        return ResultWord(kIoFailed);
    }

    const SaveBuffers buffers;
    uint16_t warnings = 0;
    try {
        Progress = 0;
        Status = "Preparing tag";
        Work.Staging = std::make_unique<std::vector<uint8_t>>();
        Work.Staging->reserve(kStageSize);
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
        const uint32_t oldSize = Work.OldTagSize;
        TagLayout layout = PlanFrames(*this, version);
        const uint64_t sizeWithoutPadding =
            10 + ExtendedHeaderBaseSize(*this, layout) + layout.framesSize;
        layout.padding =
            ChoosePadding(*this, static_cast<uint64_t>(fileSize), oldSize, sizeWithoutPadding);
        PaddingSize = layout.padding;
        Work.PaddingBlock = std::make_unique<std::vector<uint8_t>>(kStageSize, 0);
        if (version == 4 && layout.crcPresent) {
            // The version 4 CRC covers the padding too.
            for (uint64_t left = layout.padding; left > 0;) {
                const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kStageSize));
                UpdateCrc32(Work.PaddingBlock->data(), piece, layout.crc);
                left -= piece;
            }
        }
        layout.extendedHeader = ExtendedHeaderBytes(*this, layout);
        layout.size = 10 + layout.extendedHeader.size() + layout.framesSize + layout.padding;
        if (layout.size - 10 > kMaxTagBody) {
            return ResultWord(kTagTooLarge) | warnings;
        }

        Work.WorkBuffer = std::make_unique<std::vector<uint8_t>>(kStageSize);
        const int64_t audio = fileSize - start - oldSize;
        const int64_t growth = static_cast<int64_t>(layout.size) - oldSize;
        const uint64_t moved = audio > 0 && growth != 0 ? static_cast<uint64_t>(audio) : 0;
        const uint64_t filler =
            audio > 0 && growth > audio ? static_cast<uint64_t>(growth - audio) : 0;
        const uint64_t tagWork = layout.crcPresent ? layout.size * 11 / 10 : layout.size;
        SaveProgress progress(*this, moved + filler + tagWork);
        Status = "Re-positioning audio data";
        RelayAudio(file, start, fileSize, oldSize, layout.size, progress);
        Status = "Writing new tag";
        WriteTag(file, start, *this, layout, progress);

        MajorVersion = version;
        Revision = revision;
        TagSize = static_cast<uint32_t>(layout.size);
        Crc = layout.crc;
        LastResult = warnings;
        Modified = 0;
        TagOffset = static_cast<uint32_t>(start);
        Flags &= static_cast<uint8_t>(~kTagFooter);
        Progress = 100;
        Status = "Save Complete";
        return warnings;
    } catch (const platform::ReadError&) {
        return ResultWord(kReadFailed) | warnings;
    } catch (const platform::WriteError&) {
        return ResultWord(kWriteFailed) | warnings;
    } catch (const platform::IoError&) {
        return ResultWord(kIoFailed) | warnings;
    }
}
