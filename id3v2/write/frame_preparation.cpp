// The preparation passes of a save over the frame table, in the order they run.
#include "id3v2/write/frame_preparation.h"

#include <optional>
#include <string>
#include <vector>

#include "id3v2/frames/compression.h"
#include "id3v2/frames/layout.h"
#include "id3v2/frames/picture_frames.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/result_codes.h"

namespace id3v2 {
namespace {

void SetFormatBit(TFrameIndex& frames, uint32_t i, uint8_t bit, bool on) {
    const uint8_t format = frames.WantedFlags(i, 2);
    frames.SetWantedFlags(i, 2, static_cast<uint8_t>(on ? format | bit : format & ~bit));
}

// One unsynchronised frame makes the whole tag unsynchronised, and an
// unsynchronised tag unsynchronises every frame.
void SpreadUnsynchronisation(Tid3v2tag& tag) {
    TFrameIndex& frames = tag.Frames;
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        if (frames.Unsynchronisation(i)) {
            tag.SetUnsynchronisation(true);
            break;
        }
    }
    if (tag.Unsynchronisation()) {
        for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
            SetFormatBit(frames, i, kFormatUnsync, true);
        }
    }
}

// Compressed frames get the data length indicator; frames without data go.
void PruneEmptyFrames(TFrameIndex& frames) {
    for (uint32_t i = frames.FrameCount(); i >= 1; --i) {
        if (frames.Compression(i) && !frames.DataLengthIndicator(i)) {
            SetFormatBit(frames, i, kFormatDataLength, true);
        }
        if (frames.DataSize(i) == 0) {
            frames.DeleteFrame(i);
        }
    }
}

// Version 4: every frame with the data length indicator gets the length of its
// plain data, decoding the data when the length is not known otherwise.
uint16_t SettleDataLengths(Tid3v2tag& tag, uint16_t& warnings) {
    TFrameIndex& frames = tag.Frames;
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
            SetFormatBit(frames, i, kFormatDataLength, false);
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
    return 0;
}

// Version 3 has neither UTF-16BE nor UTF-8, and its readers show such text
// empty: text-information, comment and picture frames in them become UTF-16
// with byte order mark, held plain so that the later passes encode them as
// wanted. A frame that cannot be re-encoded (encrypted, or not decodable)
// stays as it is, with a warning for text and comment frames.
void ReencodeTextForVersion3(TFrameIndex& frames, uint16_t& warnings) {
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        const std::string id = frames.Id(i);
        if (id != "COMM" && id != "APIC" && id[0] != 'T') {
            continue;
        }
        // Unsynchronisation never changes the first byte, so the encoding of
        // uncompressed data tells without a copy (pictures are large) whether
        // there is anything to do.
        const std::vector<uint8_t>& held = frames.Data(i);
        if (!frames.IsEncrypted(i) && !frames.IsCompressed(i) &&
            (held.empty() || (held[0] != kEncodingUtf16Be && held[0] != kEncodingUtf8))) {
            continue;
        }
        std::optional<std::vector<uint8_t>> plain;
        if (!frames.IsEncrypted(i)) {
            plain = PlainFrameData(frames, i);
        }
        std::vector<uint8_t> reencoded;
        TReencoding outcome = TReencoding::Cannot;
        if (plain) {
            outcome = id == "APIC" ? ReencodePictureForVersion3(*plain, reencoded)
                                   : ReencodeForVersion3(id, *plain, reencoded);
        }
        if (outcome == TReencoding::Cannot) {
            // The warning names text and comment frames; a picture that cannot
            // be read is kept as it is, as every save keeps it.
            if (id != "APIC") {
                warnings |= kWarnFlagsAdjusted;
            }
        } else if (outcome == TReencoding::Reencoded) {
            frames.Data(i) = std::move(reencoded);
            frames.SetState(
                i, 2,
                static_cast<uint8_t>(frames.State(i, 2) & ~(kFormatCompression | kFormatUnsync)));
            frames.SetDataLength(i, 0);
        }
    }
}

// Progress runs from 0 to 5 over this pass.
uint16_t ApplyCompression(Tid3v2tag& tag, uint16_t& warnings) {
    TFrameIndex& frames = tag.Frames;
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
                SetFormatBit(frames, i, kFormatCompression, false);
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
    return 0;
}

// Progress runs from 5 to 10 over this pass.
uint16_t ApplyUnsynchronisation(Tid3v2tag& tag) {
    TFrameIndex& frames = tag.Frames;
    const uint32_t count = frames.FrameCount();
    for (uint32_t i = 1; i <= count; ++i) {
        tag.Progress = static_cast<uint8_t>(5 * i / count + 5);
        const bool wanted = frames.Unsynchronisation(i);
        if (frames.IsUnsynchronised(i) == wanted) {
            // Data held unsynchronised as a file had it (from another writer,
            // or from our own saves before) may end in 0xFF without the zero
            // that every reader expects after it.
            std::vector<uint8_t>& data = frames.Data(i);
            if (wanted && !data.empty() && data.back() == 0xFF) {
                data.push_back(0x00);
            }
            continue;
        }
        tag.Status = "Applying unsync";
        if ((wanted ? frames.Unsynchronise(i) : frames.Resynchronise(i)) != kFrameDone) {
            return ResultWord(kIoFailed);
        }
    }
    return 0;
}

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

}  // namespace

uint16_t PrepareFrames(Tid3v2tag& tag, uint8_t version, uint16_t& warnings) {
    SpreadUnsynchronisation(tag);
    if (tag.PruneFrames) {
        PruneEmptyFrames(tag.Frames);
    }
    if (tag.Frames.FrameCount() == 0) {
        return ResultWord(kNoFrames);
    }
    if (version == 4) {
        if (const uint16_t refused = SettleDataLengths(tag, warnings)) {
            return refused;
        }
    } else {
        ReencodeTextForVersion3(tag.Frames, warnings);
    }
    if (const uint16_t refused = ApplyCompression(tag, warnings)) {
        return refused;
    }
    if (const uint16_t refused =
            MatchFlagToData(tag, kFormatEncryption, kEncryptionMismatch, warnings)) {
        return refused;
    }
    if (const uint16_t refused = ApplyUnsynchronisation(tag)) {
        return refused;
    }
    return MatchFlagToData(tag, kFormatGrouping, kGroupingMismatch, warnings);
}

}  // namespace id3v2
