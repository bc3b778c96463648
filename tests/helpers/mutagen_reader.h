// mutagen as a second independent reader of the tags we write: what it reads
// of a file's ID3v2 tag (version, frames in order with their data bytes after
// its own de-unsynchronisation and decompression, each frame's parsed fields).
// It runs tests/helpers/mutagen_frames.py with /usr/bin/python3; and how
// mutagen and eyeD3 name the genres of an ID3v1 record.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/helpers/mp3_files.h"

namespace testing_mp3 {

struct MutagenFrame {
    std::string id;
    // "parsed"; "unknown" (mutagen keeps the raw bytes without parsing them);
    // "dropped" (mutagen discards the frame).
    std::string status;
    Bytes data;
    // Parsed values by mutagen's field names ("encoding", "text", "lang",
    // "desc", "mime", "type", "data"...), in order: text as UTF-8, binary data
    // as is, numbers in decimal; a list field has one value per element.
    std::map<std::string, std::vector<std::string>> fields;

    // The first value of a field, or "" when the frame has none.
    std::string Field(const std::string& name) const;
};

struct MutagenTag {
    bool found = false;  // false: no ID3v2 tag, or mutagen refused it (see error)
    int version = 0;
    int revision = 0;
    int flags = 0;  // the header's flags byte
    uint32_t padding = 0;
    Bytes extended;  // the extended header after its size field
    std::vector<MutagenFrame> frames;
    std::string error;

    std::vector<std::string> Ids() const;
    // The first frame with this identifier; throws std::out_of_range when none.
    const MutagenFrame& Find(const std::string& id) const;
};

// Why mutagen cannot run here (no /usr/bin/python3, or no mutagen module), or
// "" when it can. Tests skip on a non-empty answer.
std::string MutagenMissing();
#define SKIP_WITHOUT_MUTAGEN()                                                       \
    if (const std::string missing = testing_mp3::MutagenMissing(); !missing.empty()) \
    GTEST_SKIP() << missing

MutagenTag ReadWithMutagen(const std::string& path);

// How mutagen and eyeD3 name ID3v1 genres (tests/helpers/peer_genres.py), a
// pair of names a line: with "--table" for each byte 0 to 191, with files the
// genre each reads from each file's record. Nothing when either is missing.
std::vector<std::vector<std::string>> PeerGenres(const std::vector<std::string>& arguments);

// Runs the script `name` of tests/helpers with /usr/bin/python3 and the
// arguments; its exit status, or -1 when it did not run or end normally.
int RunHelperScript(const std::string& name, const std::vector<std::string>& arguments);

// mutagen gives text as UTF-8; our tags hold ISO-8859-1.
std::string Latin1ToUtf8(const std::string& latin1);

}  // namespace testing_mp3
