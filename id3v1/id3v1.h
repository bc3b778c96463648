// The 128-byte ID3v1.1 record at the end of an MP3 file. Texts are ISO-8859-1
// bytes. The genre table that maps the record's genre byte lives in genres.h.
#pragma once

#include <cstdint>
#include <string>

#include "id3v1/genres.h"

namespace platform {
class File;
}

// A record as read.
struct Tv1TAGInfo {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;  // four digits, or "-001" when the record holds no year
    std::string Comment;
    uint8_t Track = 0;
    uint8_t Genre = 0;
    bool NotFound = false;  // the file does not exist
    bool NoTag = false;     // the file exists but does not end with a record
};

// The values of a record, as bits of TV1Values::Fields.
enum TV1Field : unsigned {
    kV1Title = 1,
    kV1Artist = 2,
    kV1Album = 4,
    kV1Year = 8,
    kV1Comment = 16,
    kV1Track = 32,
    kV1Genre = 64,
    kV1AllFields = 127,
};

// A row's values to be written as a record.
struct TV1Values {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Comment;
    int Year = -1;   // -1: no year
    int Track = -1;  // -1: no track
    std::string Genre;
    // The values written; the others keep the bytes of the file's record, or
    // hold nothing in a new one.
    unsigned Fields = kV1AllFields;
};

// Throws platform::IoError (or a subclass) when the file cannot be read.
Tv1TAGInfo ReadV1Tag(const std::string& path);
// The record of a file already open, so that a caller reading more of the
// file opens it once; moves the file's position.
Tv1TAGInfo ReadV1Tag(platform::File& file);
// Overwrites the file's record or appends one. A year of -1 is four zero bytes,
// a track of -1 the byte 0 ("no track"); the genre is stored by RecordGenreByte.
// With keepModificationTime the file's modification time is put back after
// the write. Throws platform::IoError on failure.
void WriteV1Tag(const std::string& path, const TV1Values& values,
                bool keepModificationTime = false);
// Cuts the file's record off its end, under the file's lock, only when its
// last 128 bytes are a record; false when they are not (nothing changes).
// Throws platform::IoError on failure.
bool RemoveV1Tag(const std::string& path, bool keepModificationTime = false);
