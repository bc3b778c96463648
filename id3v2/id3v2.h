// The ID3v2 tag library: one tag in memory (Tid3v2tag) with its frame table
// (TFrameIndex), loaded from and saved into MP3 files. Strings are std::string
// holding ISO-8859-1 bytes, except in the Utf8 operations. Indices into the frame table are
// 1-based. Public headers stand here at the top (id3v2.h, result_codes.h,
// pictures.h, recovery.h); the rooms below hold the implementation, one
// concern each, and internal.h gathers their headers for tests. Where each operation lives:
//   tag.cpp                      the tag object's lifetime, StartFreshTag
//   work_state.cpp               the state of the running load or save
//   frames/                      the frame table and what a frame holds
//     frame_index.cpp            the frame table, Unsynchronise, Resynchronise
//     compression.cpp            CompressFrame, DecompressFrame and the zlib glue
//     text_frames.cpp            GetText, SetText, GetComment, SetComment, DecodeText
//     unicode_frames.cpp         GetTextUtf8, SetTextUtf8, GetCommentUtf8, SetCommentUtf8
//     unicode_text.cpp           the text codec: every encoding to and from UTF-8
//     picture_frames.cpp         the APIC codec; ListPictures, GetPicture, AddPicture,
//                                ReplacePicture, RemovePicture, RemoveAllPictures
//     image_types.cpp            picture type names, image kinds from their bytes
//     unsync.cpp, crc32.cpp      byte-run unsynchronisation, CRC-32
//     version_conversion.cpp     ConvertToVersion: frames mapped between versions 3 and 4
//     layout.h                   byte layout shared by reader, writer and tests
//   read/                        loading a tag
//     reader.cpp                 LoadFromFile, LoadForListing, ReadTag, BeginsWithTagMarker
//     tag_parser.cpp             ParseV22, ParseV23, ParseV24: extended headers, frames, padding
//     frames_v22.cpp             version 2.2 frames as their version 3 equivalents
//     read_ring.cpp              the 64 KB read ring and its de-unsynchronisation
//   write/                       saving a tag
//     writer.cpp                 SaveToFile, SaveToStream, RemoveFromFile
//     frame_preparation.cpp      frames brought to their wanted form
//     tag_layout.cpp             headers, size, padding and CRC, writing the tag
//     padding.cpp                the padding policy
//     audio_move.cpp             moving the audio data when the tag's size changes
//     staged_output.cpp          16 KB block output and save progress
//     file_access.h              protected files and the codes of failed file operations
//   journal/                     surviving a save that is killed
//     journal.cpp                the journal of a move, for recovery after a kill
//     journal_checks.cpp         the checks a journal must pass before it is trusted
//     recovery.cpp               RecoverInterruptedSaves (id3v2/recovery.h)
//   result_codes.h               the result words, text results and status values
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "id3v2/pictures.h"
#include "id3v2/result_codes.h"

// Raised for a frame index outside 1..FrameCount or a part index other than 1 or 2.
class ERangeError : public std::out_of_range {
  public:
    ERangeError() : std::out_of_range("Array range out of bounds.") {}
};

// One frame of the table. All flag bytes use ID3v2.4 bit positions.
struct TFrameEntry {
    uint8_t Modified = 0;
    uint32_t FrameOffset = 0;  // frame header offset from the tag header, as read
    uint32_t RawSize = 0;      // data size before the last Unsynchronise
    // Image bytes of a picture that a listing load left in the file after
    // Data, which then holds the picture's fields only (LoadForListing).
    uint32_t LeftInFile = 0;
    std::string Id;  // four characters A-Z, 0-9
    // [0]: status byte as read; [1]: what Data holds now. The accessors below
    // number them 1 and 2.
    uint8_t State[2] = {0, 0};
    uint8_t StatusFlags = 0;  // wanted status flags
    uint8_t FormatFlags = 0;  // wanted format flags
    uint32_t DataLength = 0;  // length of the plain data when known
    uint8_t EncryptionMethod = 0;
    uint8_t GroupId = 0;
    std::vector<uint8_t> Data;  // everything after the header and its extra fields
};

class TFrameIndex {
  public:
    uint32_t FrameCount() const { return static_cast<uint32_t>(entries_.size()); }

    // Returns the new 1-based index, or 0 when the identifier is not four
    // characters A-Z/0-9 after upper-casing ASCII letters.
    uint32_t AddFrame(const std::string& id);
    // Gives the frame another identifier in its place of the table; false
    // when the identifier is refused as AddFrame refuses it.
    bool RenameFrame(uint32_t index, const std::string& id);
    // False when the index is out of range; later entries move down by one.
    bool DeleteFrame(uint32_t index);
    void ClearFrames();

    std::string Id(uint32_t index) const;
    size_t DataSize(uint32_t index) const;
    std::vector<uint8_t>& Data(uint32_t index);
    const std::vector<uint8_t>& Data(uint32_t index) const;
    uint8_t Modified(uint32_t index) const;

    uint32_t FrameOffset(uint32_t index) const;
    void SetFrameOffset(uint32_t index, uint32_t value);
    uint32_t RawSize(uint32_t index) const;
    uint32_t DataLength(uint32_t index) const;
    void SetDataLength(uint32_t index, uint32_t value);
    uint8_t EncryptionMethod(uint32_t index) const;
    void SetEncryptionMethod(uint32_t index, uint8_t value);  // marks modified on change
    uint8_t GroupId(uint32_t index) const;
    void SetGroupId(uint32_t index, uint8_t value);  // marks modified on change
    uint32_t LeftInFile(uint32_t index) const;
    void SetLeftInFile(uint32_t index, uint32_t value);

    // part 1: status byte as read; part 2: what Data holds now.
    uint8_t State(uint32_t index, uint32_t part) const;
    void SetState(uint32_t index, uint32_t part, uint8_t value);
    // Wanted flags; part 1: StatusFlags, part 2: FormatFlags. The setter marks modified.
    uint8_t WantedFlags(uint32_t index, uint32_t part) const;
    void SetWantedFlags(uint32_t index, uint32_t part, uint8_t value);

    // Wanted-flag tests.
    bool TagAlterPreservation(uint32_t index) const;   // StatusFlags 0x40
    bool FileAlterPreservation(uint32_t index) const;  // StatusFlags 0x20
    bool ReadOnly(uint32_t index) const;               // StatusFlags 0x10
    bool GroupingIdentity(uint32_t index) const;       // FormatFlags 0x40
    bool Compression(uint32_t index) const;            // FormatFlags 0x08
    bool Encryption(uint32_t index) const;             // FormatFlags 0x04
    bool Unsynchronisation(uint32_t index) const;      // FormatFlags 0x02
    bool DataLengthIndicator(uint32_t index) const;    // FormatFlags 0x01
    // State tests: what Data holds now, State(index, 2), held in State[1].
    bool IsGrouped(uint32_t index) const;         // State[1] 0x40
    bool IsCompressed(uint32_t index) const;      // State[1] 0x08
    bool IsEncrypted(uint32_t index) const;       // State[1] 0x04
    bool IsUnsynchronised(uint32_t index) const;  // State[1] 0x02

    // Status values (id3v2::kFrame...): done, nothing to do, failed; the
    // compression pair also encrypted, unsynchronised and, for DecompressFrame,
    // size differs (done, but not to DataLength bytes).
    int CompressFrame(uint32_t index, uint8_t level);
    int DecompressFrame(uint32_t index);
    int Unsynchronise(uint32_t index);
    int Resynchronise(uint32_t index);

  private:
    TFrameEntry& At(uint32_t index);
    const TFrameEntry& At(uint32_t index) const;

    std::vector<TFrameEntry> entries_;
};

// The comment frame as one value.
struct COMM {
    uint8_t Encoding = 0;
    std::string Language;  // at most 3 characters
    std::string Description;
    std::string Text;
};

// What Tid3v2tag::ConvertToVersion did.
struct TVersionConversion {
    uint8_t Error = 0;  // id3v2::kBadVersion for a version other than 3 and 4; nothing changed
    // The identifiers of the frames kept as they were, one entry a frame, in
    // table order: the version converted to has no equivalent for them, or
    // for part of what they hold.
    std::vector<std::string> Unmapped;
};

// How the caller wants tags loaded and saved: one unit, so that a fresh start
// of the tag keeps every setting, those added later too. Tid3v2tag derives
// from it, so each setting is a public member of the tag.
struct Tid3v2settings {
    uint8_t AcceptRevisions = 1;
    uint8_t AdjustFlags = 0;
    uint8_t PruneFrames = 1;
    uint8_t CompressionLevel = 2;
    uint8_t PaddingMode = 1;
    uint32_t PaddingBlock = 4096;
    uint32_t PaddingLimit = 4096;
    // Bytes of audio a save moves between flushes to the disk, each flushed
    // with its step in the save's journal, so that a power failure in the
    // middle of a save is recovered too. 0, the default, flushes nothing; a
    // killed program or session is recovered all the same.
    uint32_t SyncEvery = 0;
    // 1: a save, and the recovery of a save that was interrupted, put the
    // file's modification time back as it was before the save.
    uint8_t KeepModificationTime = 0;
};

// One ID3v2 tag in memory. Loads and saves return a result word: high byte an
// error code (0 success), low byte warning bits; id3v2::Succeeded tells success.
// The codes and bits are named in id3v2/result_codes.h.
class Tid3v2tag : public Tid3v2settings {
  public:
    Tid3v2tag() = default;
    Tid3v2tag(const Tid3v2tag&) = default;
    Tid3v2tag(Tid3v2tag&&) = default;
    Tid3v2tag& operator=(const Tid3v2tag&) = default;
    Tid3v2tag& operator=(Tid3v2tag&&) = default;
    virtual ~Tid3v2tag();

    // The version loaded, converted to, or last saved. After a version 2.2
    // load it stays 2 while the frames are already version 3 ones, and a save
    // of version 255 writes version 3.
    uint8_t MajorVersion = 3;
    uint8_t Revision = 0;
    uint32_t TagSize = 0;
    uint8_t Flags = 0;          // 0x80 unsync, 0x40 extended header, 0x20 experimental, 0x10 footer
    uint8_t ExtendedFlags = 0;  // ID3v2.4 positions: 0x40 update, 0x20 CRC, 0x10 restrictions
    uint32_t PaddingSize = 0;
    uint32_t ExtendedHeaderSize = 0;
    uint32_t Crc = 0;
    uint8_t Restrictions = 0;
    uint16_t LastResult = 0;
    uint8_t Modified = 0;
    uint8_t ReadOnlyFile = 0;
    std::string FileName;
    uint32_t TagOffset = 0;
    uint8_t Complete = 1;
    uint8_t Progress = 0;
    std::string Status;
    TFrameIndex Frames;

    // Flag properties; every setter sets Modified to 1, even when the bit stays.
    bool Unsynchronisation() const { return (Flags & 0x80) != 0; }
    void SetUnsynchronisation(bool on) { SetBit(Flags, 0x80, on); }
    bool ExtendedHeader() const { return (Flags & 0x40) != 0; }
    void SetExtendedHeader(bool on) { SetBit(Flags, 0x40, on); }
    void SetExperimental(bool on) { SetBit(Flags, 0x20, on); }
    void SetFooter(bool on) { SetBit(Flags, 0x10, on); }
    bool TagIsUpdate() const { return (ExtendedFlags & 0x40) != 0; }
    void SetTagIsUpdate(bool on) { SetBit(ExtendedFlags, 0x40, on); }
    bool CrcPresent() const { return (ExtendedFlags & 0x20) != 0; }
    void SetCrcPresent(bool on) { SetBit(ExtendedFlags, 0x20, on); }
    bool RestrictionsPresent() const { return (ExtendedFlags & 0x10) != 0; }
    void SetRestrictionsPresent(bool on) { SetBit(ExtendedFlags, 0x10, on); }

    // Forgets the tag last loaded, so that a file without a tag gets one of its
    // own: the header values, results and frames return to their defaults. The
    // file name and read-only mark, the progress of the running work and the
    // writer settings stay.
    void StartFreshTag();

    // Loads the tag that starts at tagOffset of the file; an offset of 4 GiB or
    // more gives kOffsetTooLarge.
    uint16_t LoadFromFile(const std::string& fileName, int64_t tagOffset);
    // Loads the tag at the start of the file to list it: as LoadFromFile, but
    // the image bytes of a large picture stored plain stay in the file, so that
    // listing a folder of covers does not read them. The pictures are listed
    // in full; GetPicture of such a picture gives kPictureUnreadable and a save
    // is refused (kLastLoadFailed) until LoadFromFile reads the tag whole.
    uint16_t LoadForListing(const std::string& fileName);
    // Reads the tag at the current position of the open work-state file.
    uint16_t ReadTag();

    // Text frames ("T..." but not "TXXX") and the comment frame; the results
    // are the id3v2::kText... values (id3v2::TextReadInFull tells whether the
    // text got is the whole stored value).
    uint8_t GetText(const std::string& id, std::string& text);
    uint8_t SetText(const std::string& id, const std::string& text);
    uint8_t GetComment(COMM& value, const std::string& description, const std::string& language);
    uint8_t SetComment(const COMM& value, const std::string& description,
                       const std::string& language);

    // The same frames with UTF-8 texts (unicode_frames.cpp; result codes in
    // id3v2/result_codes.h). Getters read every encoding in full; setters write
    // a text of U+0001..U+00FF as ISO-8859-1 (the bytes SetText and SetComment
    // write), any other as UTF-16 with byte order mark, or as UTF-8 when
    // MajorVersion is 4. SetCommentUtf8 chooses the encoding itself and ignores
    // value.Encoding; the comment's Language is UTF-8 too.
    uint8_t GetTextUtf8(const std::string& id, std::string& text);
    // Every value of the frame, separated by zero bytes (GetTextUtf8 gives the first).
    uint8_t GetTextValuesUtf8(const std::string& id, std::string& text);
    uint8_t SetTextUtf8(const std::string& id, const std::string& text);
    uint8_t GetCommentUtf8(COMM& value, const std::string& description,
                           const std::string& language);
    uint8_t SetCommentUtf8(const COMM& value, const std::string& description,
                           const std::string& language);

    // Attached pictures (APIC frames, id3v2/pictures.h), numbered from 1 in
    // table order. Listing copies no image data; GetPicture copies the bytes of
    // one. Add and Replace write the description in ISO-8859-1 when it fits,
    // else as SetTextUtf8 writes text, and the MIME type told from the bytes.
    // They never make two pictures share a description: one that another
    // picture holds is made unique by a suffix " (2)", " (3)"... (the result is
    // in the list). A frame that cannot be read is listed as not Readable and
    // kept byte for byte until it is replaced or removed.
    std::vector<TPictureInfo> ListPictures() const;
    uint8_t GetPicture(uint32_t number, TPicture& picture) const;
    uint8_t AddPicture(const TPicture& picture);
    uint8_t ReplacePicture(uint32_t number, const TPicture& picture);
    uint8_t RemovePicture(uint32_t number);
    uint32_t RemoveAllPictures();  // the number removed

    // Converts the frames to those of version 3 or 4 and makes it the version
    // a save writes (see version_conversion.cpp for the frames it maps).
    // Frames it does not know stay byte for byte.
    TVersionConversion ConvertToVersion(uint8_t version);

    // fileName "=" means FileName; version/revision 255 mean MajorVersion/Revision;
    // a negative startOffset means TagOffset with "=", else 0. A save that
    // fails leaves the file as it was (see id3v2/audio_move.h).
    uint16_t SaveToFile(const std::string& fileName, uint8_t version, int64_t startOffset,
                        uint8_t revision);
    // Removes the tag that starts the file ("=": FileName and the tag at
    // TagOffset), moving what follows it in its place through the same
    // journalled move as a save; every other byte stays. kNoTag when no tag
    // stands there. Afterwards the tag object holds a fresh tag for the file.
    uint16_t RemoveFromFile(const std::string& fileName);
    // Saves into the file and at the offset that SaveToFile put into the work state.
    uint16_t SaveToStream(uint8_t version, uint8_t revision);

  private:
    void SetBit(uint8_t& flags, uint8_t bit, bool on) {
        flags = on ? static_cast<uint8_t>(flags | bit) : static_cast<uint8_t>(flags & ~bit);
        Modified = 1;
    }
};

namespace id3v2 {

// True when the file begins with the bytes "ID3": a tag stands there, loaded
// or not, and no new tag may be put in front of it.
bool BeginsWithTagMarker(const std::string& fileName);

}  // namespace id3v2
