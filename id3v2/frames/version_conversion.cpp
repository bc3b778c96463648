// Conversion of a tag's frames between versions 3 and 4: the dates, the
// involved people and the text encodings version 3 lacks. A frame the other
// version has no equivalent for is kept as it is and named in the result.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "id3v2/frames/compression.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

namespace id3v2 {
namespace {

// Frames that only one of the two versions defines.
constexpr std::array<std::string_view, 14> kOnlyInV4 = {"ASPI", "EQU2", "RVA2", "SEEK", "SIGN",
                                                        "TDEN", "TDRL", "TDTG", "TMOO", "TPRO",
                                                        "TSOA", "TSOP", "TSOT", "TSST"};
constexpr std::array<std::string_view, 4> kOnlyInV3 = {"EQUA", "RVAD", "TRDA", "TSIZ"};
// Frames whose first byte is a text encoding, beside the text and comment
// frames that the writer re-encodes for version 3 and the lyrics done here.
constexpr std::array<std::string_view, 7> kEncodedFrames = {"APIC", "GEOB", "SYLT", "USER",
                                                            "OWNE", "COMR", "WXXX"};

template <size_t N>
bool Listed(const std::array<std::string_view, N>& list, const std::string& id) {
    for (const std::string_view entry : list) {
        if (entry == id) {
            return true;
        }
    }
    return false;
}

uint32_t Find(const TFrameIndex& frames, std::string_view id) {
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        if (frames.Id(i) == id) {
            return i;
        }
    }
    return 0;
}

void DeleteAll(TFrameIndex& frames, std::string_view id) {
    for (uint32_t i = frames.FrameCount(); i >= 1; --i) {
        if (frames.Id(i) == id) {
            frames.DeleteFrame(i);
        }
    }
}

bool Digits(std::string_view text, size_t count) {
    if (text.size() != count) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The text of the first frame with the identifier, when it is one whole value.
std::optional<std::string> WholeText(Tid3v2tag& tag, const std::string& id) {
    std::string text;
    if (Find(tag.Frames, id) == 0 || tag.GetTextUtf8(id, text) != kTextDone) {
        return std::nullopt;
    }
    return text;
}

// The parts of a version 4 timestamp, yyyy[-MM[-dd[THH[:mm[:ss]]]]]; the
// parts a timestamp leaves out are empty.
struct Timestamp {
    std::array<std::string, 6> parts;  // year, month, day, hour, minute, second
    bool Has(size_t part) const { return !parts[part].empty(); }
};
constexpr size_t kMonth = 1, kDay = 2, kHour = 3, kMinute = 4, kSecond = 5;

std::optional<Timestamp> ParseTimestamp(std::string_view text) {
    constexpr char kSeparators[] = "--T::";
    Timestamp stamp;
    size_t at = 0;
    for (size_t k = 0; k < stamp.parts.size() && (k == 0 || at < text.size()); ++k) {
        if (k > 0 && text[at++] != kSeparators[k - 1]) {
            return std::nullopt;
        }
        const size_t width = k == 0 ? 4 : 2;
        const std::string_view part = text.substr(at, width);
        if (!Digits(part, width)) {
            return std::nullopt;
        }
        stamp.parts[k] = part;
        at += width;
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return stamp;
}

// Makes the frame's data plain (not unsynchronised, not compressed); false for
// encrypted data or data that does not decompress. The writer applies the
// wanted flags again on the save.
bool MakePlain(TFrameIndex& frames, uint32_t i) {
    if (frames.IsEncrypted(i)) {
        return false;
    }
    if (frames.IsUnsynchronised(i) && frames.Resynchronise(i) != kFrameDone) {
        return false;
    }
    if (frames.IsCompressed(i)) {
        const int result = frames.DecompressFrame(i);
        return result == kFrameDone || result == kFrameSizeDiffers;
    }
    return true;
}

// New plain data for a frame.
void PutData(TFrameIndex& frames, uint32_t i, std::vector<uint8_t> data) {
    frames.Data(i) = std::move(data);
    frames.SetDataLength(i, 0);
}

// The strings of a text frame's plain data; none when it does not decode in full.
std::optional<std::vector<std::u32string>> Strings(const std::vector<uint8_t>& data) {
    if (data.empty() || !IsKnownEncoding(data[0])) {
        return std::nullopt;
    }
    std::vector<std::u32string> strings;
    for (size_t at = 1; at < data.size();) {
        TDecodedValue value = DecodeValue(data, at, data[0]);
        if (value.broken) {
            return std::nullopt;
        }
        strings.push_back(std::move(value.text));
        at = value.end;
    }
    return strings;
}

// A timestamp frame of version 4 (`from`) to the year frame of version 3,
// and, with `dateAndTime`, TDAT "DDMM" and TIME "HHMM". The frame stays when
// it holds more than they can carry (a month without day, seconds).
void TimestampToV3(Tid3v2tag& tag, const std::string& from, const std::string& yearId,
                   bool dateAndTime, TVersionConversion& result) {
    if (Find(tag.Frames, from) == 0) {
        return;
    }
    const std::optional<std::string> text = WholeText(tag, from);
    const std::optional<Timestamp> stamp = text ? ParseTimestamp(*text) : std::nullopt;
    if (!stamp) {
        result.Unmapped.push_back(from);
        return;
    }
    const bool date = dateAndTime && stamp->Has(kDay);
    const bool time = date && stamp->Has(kMinute);
    const bool carried =
        !stamp->Has(kMonth) || (date && (!stamp->Has(kHour) || (time && !stamp->Has(kSecond))));
    DeleteAll(tag.Frames, yearId);
    if (dateAndTime) {
        DeleteAll(tag.Frames, "TDAT");
        DeleteAll(tag.Frames, "TIME");
    }
    if (carried) {
        tag.Frames.RenameFrame(Find(tag.Frames, from), yearId);
    } else {
        result.Unmapped.push_back(from);
    }
    const auto& p = stamp->parts;
    tag.SetTextUtf8(yearId, p[0]);
    if (date) {
        tag.SetTextUtf8("TDAT", p[kDay] + p[kMonth]);
    }
    if (time) {
        tag.SetTextUtf8("TIME", p[kHour] + p[kMinute]);
    }
}

// The year frame of version 3, and with `dateAndTime` TDAT and TIME, to the
// timestamp frame of version 4 (`to`). A timestamp already there that begins
// with the same date holds more and stays.
void TimestampToV4(Tid3v2tag& tag, const std::string& yearId, const std::string& to,
                   bool dateAndTime, TVersionConversion& result) {
    TFrameIndex& frames = tag.Frames;
    std::vector<std::string> used;
    std::string stamp;
    if (const std::optional<std::string> year = WholeText(tag, yearId); year && Digits(*year, 4)) {
        stamp = *year;
        used.push_back(yearId);
    } else if (Find(frames, yearId) != 0) {
        result.Unmapped.push_back(yearId);
    }
    if (dateAndTime) {
        const std::optional<std::string> date = WholeText(tag, "TDAT");
        const std::optional<std::string> time = WholeText(tag, "TIME");
        if (!stamp.empty() && date && Digits(*date, 4)) {
            stamp += "-" + date->substr(2, 2) + "-" + date->substr(0, 2);
            used.push_back("TDAT");
            if (time && Digits(*time, 4)) {
                stamp += "T" + time->substr(0, 2) + ":" + time->substr(2, 2);
                used.push_back("TIME");
            }
        }
        for (const char* id : {"TDAT", "TIME"}) {
            if (Find(frames, id) != 0 && std::find(used.begin(), used.end(), id) == used.end()) {
                result.Unmapped.push_back(id);
            }
        }
    }
    if (stamp.empty()) {
        return;
    }
    const std::optional<std::string> current = WholeText(tag, to);
    if (!current || !current->starts_with(stamp)) {
        DeleteAll(frames, to);
        frames.RenameFrame(Find(frames, yearId), to);
        tag.SetTextUtf8(to, stamp);
    }
    for (const std::string& id : used) {
        DeleteAll(frames, id);
    }
}

// TIPL and TMCL to the one IPLS of version 3, in the place of the first, in
// ISO-8859-1 when every string fits, else in UTF-16 with byte order mark.
void PeopleToV3(TFrameIndex& frames, TVersionConversion& result) {
    std::vector<std::string> mapped;
    std::vector<std::u32string> strings;
    for (const char* id : {"TIPL", "TMCL"}) {
        const uint32_t i = Find(frames, id);
        if (i == 0) {
            continue;
        }
        const auto found = MakePlain(frames, i) ? Strings(frames.Data(i)) : std::nullopt;
        if (!found) {
            result.Unmapped.push_back(id);
            continue;
        }
        mapped.push_back(id);
        strings.insert(strings.end(), found->begin(), found->end());
    }
    if (mapped.empty()) {
        return;
    }
    bool latin1 = true;
    for (const std::u32string& text : strings) {
        latin1 = latin1 && IsLatin1Text(text);
    }
    const uint8_t encoding = latin1 ? kEncodingLatin1 : kEncodingUtf16;
    std::vector<uint8_t> data{encoding};
    for (const std::u32string& text : strings) {
        AppendEncoded(data, text, encoding);
        data.insert(data.end(), TerminatorWidth(encoding), 0);
    }
    const uint32_t first = Find(frames, mapped[0]);
    PutData(frames, first, std::move(data));
    frames.RenameFrame(first, "IPLS");
    if (mapped.size() == 2) {
        frames.DeleteFrame(Find(frames, mapped[1]));
    }
}

// Lyrics share the comment's layout, so they re-encode as a comment does;
// the other frames with an encoding byte stay as they are when version 3
// lacks their encoding. A frame in an encoding version 3 has is not touched.
void EncodingsToV3(TFrameIndex& frames, TVersionConversion& result) {
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        const std::string id = frames.Id(i);
        if (id != "USLT" && !Listed(kEncodedFrames, id)) {
            continue;
        }
        const std::optional<std::vector<uint8_t>> plain =
            frames.IsEncrypted(i) ? std::nullopt : PlainFrameData(frames, i);
        if (!plain) {
            result.Unmapped.push_back(id);
            continue;
        }
        if (plain->empty() ||
            (plain->front() != kEncodingUtf16Be && plain->front() != kEncodingUtf8)) {
            continue;
        }
        std::vector<uint8_t> reencoded;
        if (id == "USLT" && MakePlain(frames, i) &&
            ReencodeForVersion3("COMM", *plain, reencoded) == TReencoding::Reencoded) {
            PutData(frames, i, std::move(reencoded));
        } else {
            result.Unmapped.push_back(id);
        }
    }
}

template <size_t N>
void ListOnly(const TFrameIndex& frames, const std::array<std::string_view, N>& list,
              TVersionConversion& result) {
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        if (Listed(list, frames.Id(i))) {
            result.Unmapped.push_back(frames.Id(i));
        }
    }
}

}  // namespace
}  // namespace id3v2

TVersionConversion Tid3v2tag::ConvertToVersion(uint8_t version) {
    using namespace id3v2;
    TVersionConversion result;
    if (version != 3 && version != 4) {
        result.Error = kBadVersion;
        return result;
    }
    // The new frames get the encodings of the version they are written in.
    MajorVersion = version;
    Revision = 0;
    if (version == 3) {
        TimestampToV3(*this, "TDRC", "TYER", true, result);
        TimestampToV3(*this, "TDOR", "TORY", false, result);
        PeopleToV3(Frames, result);
        EncodingsToV3(Frames, result);
        ListOnly(Frames, kOnlyInV4, result);
    } else {
        TimestampToV4(*this, "TYER", "TDRC", true, result);
        TimestampToV4(*this, "TORY", "TDOR", false, result);
        if (const uint32_t i = Find(Frames, "IPLS"); i != 0) {
            if (Find(Frames, "TIPL") == 0) {
                Frames.RenameFrame(i, "TIPL");
            } else {
                result.Unmapped.push_back("IPLS");
            }
        }
        ListOnly(Frames, kOnlyInV3, result);
    }
    Modified = 1;
    return result;
}
