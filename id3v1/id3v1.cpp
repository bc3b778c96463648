// Reading and writing the 128-byte ID3v1.1 record at the end of a file. One
// table of field offsets serves both directions.
#include "id3v1/id3v1.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/file.h"

namespace {

constexpr size_t kRecordSize = 128;
using Record = std::array<char, kRecordSize>;

struct Field {
    size_t offset;
    size_t width;
};

constexpr Field kMarker{0, 3};
constexpr Field kTitle{3, 30};
constexpr Field kArtist{33, 30};
constexpr Field kAlbum{63, 30};
constexpr Field kYear{93, 4};
// A comment of 28 bytes leaves 125 as a zero byte, which makes 126 the track number.
constexpr Field kComment{97, 28};
constexpr size_t kCommentEndOffset = 125;
constexpr size_t kTrackOffset = 126;
constexpr size_t kGenreOffset = 127;

// The text of a field: its bytes up to the first zero byte.
std::string GetField(const Record& record, Field field) {
    const char* begin = record.data() + field.offset;
    return std::string(begin, std::find(begin, begin + field.width, '\0'));
}

// The first `width` bytes of the text; the record starts zeroed, so the rest stays zero.
void PutField(Record& record, Field field, const std::string& text) {
    std::copy_n(text.begin(), std::min(text.size(), field.width), record.begin() + field.offset);
}

std::string GetYear(const Record& record) {
    const std::string year(record.data() + kYear.offset, kYear.width);
    const bool digits = std::ranges::all_of(year, [](char c) { return c >= '0' && c <= '9'; });
    return digits ? year : "-001";
}

// The file's last 128 bytes when they are a record (they begin with "TAG" in
// upper case). A file shorter than a record has none.
std::optional<Record> LastRecord(platform::File& file, int64_t size) {
    if (size < static_cast<int64_t>(kRecordSize)) {
        return std::nullopt;
    }
    Record record;
    file.Seek(size - static_cast<int64_t>(kRecordSize));
    file.ReadExact(record.data(), record.size());
    if (std::memcmp(record.data() + kMarker.offset, "TAG", kMarker.width) != 0) {
        return std::nullopt;
    }
    return record;
}

Tv1TAGInfo NoRecord() {
    Tv1TAGInfo info;
    info.Year = std::to_string(platform::CurrentYear());
    info.NoTag = true;
    return info;
}

// A record with no values: texts and year zero bytes, no track, no genre.
Record EmptyRecord() {
    Record record{};
    PutField(record, kMarker, "TAG");
    record[kGenreOffset] = static_cast<char>(0xFF);
    return record;
}

// Puts the chosen values of a row into the record; the other fields keep their bytes.
void PutValues(Record& record, const TV1Values& values) {
    const auto put = [&record, &values](unsigned field, Field at, const std::string& text) {
        if (values.Fields & field) {
            std::fill_n(record.begin() + at.offset, at.width, '\0');
            PutField(record, at, text);
        }
    };
    put(kV1Title, kTitle, values.Title);
    put(kV1Artist, kArtist, values.Artist);
    put(kV1Album, kAlbum, values.Album);
    // Any year but -1 keeps at most the first four characters of its decimal text.
    put(kV1Year, kYear, values.Year == -1 ? std::string() : std::to_string(values.Year));
    put(kV1Comment, kComment, values.Comment);
    if (values.Fields & (kV1Comment | kV1Track)) {
        // A record whose comment filled 30 bytes becomes one with a track number.
        record[kCommentEndOffset] = '\0';
    }
    if (values.Fields & kV1Track) {
        // -1 is the field's "no track"; 0 says so in a record.
        record[kTrackOffset] = static_cast<char>(values.Track == -1 ? 0 : values.Track & 0xFF);
    }
    if (values.Fields & kV1Genre) {
        record[kGenreOffset] = static_cast<char>(RecordGenreByte(values.Genre));
    }
}

// A file opened for a change of its record must not be a device: it reports
// no size, so the record would land on its first bytes.
void RefuseDevice(const platform::File& file) {
    if (platform::GetFileAttributesA(file) & platform::FILE_ATTRIBUTE_SYSTEM) {
        throw platform::WriteError("Cannot write " + platform::DescribeError(file.Path(), EINVAL));
    }
}

}  // namespace

Tv1TAGInfo ReadV1Tag(const std::string& path) {
    if (!platform::FileExists(path)) {
        Tv1TAGInfo info = NoRecord();
        info.NotFound = true;
        return info;
    }
    platform::File file(path, platform::File::Mode::Read);
    return ReadV1Tag(file);
}

Tv1TAGInfo ReadV1Tag(platform::File& file) {
    const std::optional<Record> record = LastRecord(file, file.Size());
    if (!record) {
        return NoRecord();
    }
    Tv1TAGInfo info;
    info.Title = GetField(*record, kTitle);
    info.Artist = GetField(*record, kArtist);
    info.Album = GetField(*record, kAlbum);
    info.Year = GetYear(*record);
    info.Comment = GetField(*record, kComment);
    info.Track = static_cast<uint8_t>((*record)[kTrackOffset]);
    info.Genre = static_cast<uint8_t>((*record)[kGenreOffset]);
    return info;
}

void WriteV1Tag(const std::string& path, const TV1Values& values, bool keepModificationTime) {
    platform::File file(path, platform::File::Mode::ReadWrite, platform::File::Lock::Exclusive);
    RefuseDevice(file);
    const int64_t size = file.Size();
    // Overwrite the file's own record, or append one; the record goes out in
    // one write so a failure leaves everything before it untouched. Nothing
    // moves, so unlike an ID3v2 save this needs no journal: a kill leaves the
    // old record, the new one, or a part of it at the end, never a lost byte.
    const std::optional<Record> stored = LastRecord(file, size);
    Record record = stored.value_or(EmptyRecord());
    PutValues(record, values);
    const int64_t at = stored ? size - static_cast<int64_t>(kRecordSize) : size;
    file.WriteAt(at, record.data(), record.size());
    if (keepModificationTime) {
        file.SetModificationTime(file.ModificationTime());
    }
}

bool RemoveV1Tag(const std::string& path, bool keepModificationTime) {
    platform::File file(path, platform::File::Mode::ReadWrite, platform::File::Lock::Exclusive);
    RefuseDevice(file);
    const int64_t size = file.Size();
    if (!LastRecord(file, size)) {
        return false;
    }
    // One cut: a kill leaves the record whole or gone, never a part of it.
    file.Truncate(size - static_cast<int64_t>(kRecordSize));
    if (keepModificationTime) {
        file.SetModificationTime(file.ModificationTime());
    }
    return true;
}
