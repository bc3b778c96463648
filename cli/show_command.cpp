// show: a file's ID3v2 tag (every frame, its pictures) and its ID3v1 record,
// as text for people or as one JSON object a line for scripts.
#include <optional>
#include <sstream>

#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/frame_listing.h"
#include "cli/json.h"
#include "cli/picture_types.h"
#include "cli/tag_io.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using bulk::Column;

// What `show` found in one file.
struct TShownFile {
    std::string path;
    int version = 0;  // the ID3v2 tag's major version; 0 without one
    std::vector<TFrameDescription> frames;
    std::vector<TPictureInfo> pictures;
    std::optional<Tv1TAGInfo> record;  // none when the file ends without one
};

constexpr std::pair<const char*, Column> kRecordTexts[] = {
    {"title", Column::Title}, {"artist", Column::Artist},   {"album", Column::Album},
    {"year", Column::Year},   {"comment", Column::Comment}, {"genre", Column::Genre}};

std::string RecordValue(const Tv1TAGInfo& record, Column column) {
    // A record without genre holds the byte 255, which reads as a blank name.
    return row_codec::RecordText(record, column).trimmed().toStdString();
}

// Reads the file; "" when read, else the reason.
std::string ReadShownFile(const std::string& path, TShownFile& shown) {
    shown.path = path;
    Tid3v2tag tag;
    const uint16_t loaded = tag.LoadForListing(path);
    if (id3v2::Succeeded(loaded)) {
        shown.version = tag.MajorVersion;
        shown.frames = DescribeFrames(tag);
        shown.pictures = tag.ListPictures();
    } else if (!id3v2::FoundNoTag(loaded)) {
        // The file is examined only when it did not load, so a listing of
        // thousands of files asks the file system once a file for the tag.
        const std::string problem = ReadProblem(path);
        return problem.empty() ? LoadFailure(loaded, path) : problem;
    }
    try {
        if (Tv1TAGInfo record = ReadV1Tag(path); !record.NoTag && !record.NotFound) {
            shown.record = std::move(record);
        }
    } catch (const platform::IoError& error) {
        return error.what();
    }
    return {};
}

std::string Kind(const TShownFile& shown) {
    return shown.version != 0 ? "id3v2" : shown.record ? "id3v1" : "none";
}

std::string VersionText(int version) {
    return "2." + std::to_string(version);
}

std::string Json(const TShownFile& shown) {
    TJsonWriter json;
    json.BeginObject().Key("file").String(shown.path).Key("kind").String(Kind(shown));
    json.Key("version");
    shown.version != 0 ? json.String(VersionText(shown.version)) : json.Null();
    json.Key("frames").BeginArray();
    for (const TFrameDescription& frame : shown.frames) {
        json.BeginObject().Key("id").String(frame.id).Key("name").String(frame.name);
        json.Key("size").Number(static_cast<long long>(frame.size));
        if (frame.language) {
            json.Key("language").String(*frame.language);
        }
        if (frame.description) {
            json.Key("description").String(*frame.description);
        }
        json.Key("values").BeginArray();
        for (const std::string& value : frame.values) {
            json.String(value);
        }
        json.EndArray().EndObject();
    }
    json.EndArray().Key("pictures").BeginArray();
    for (const TPictureInfo& picture : shown.pictures) {
        json.BeginObject().Key("type").Number(picture.PictureType);
        json.Key("type_name").String(PictureTypeKeyword(picture.PictureType));
        json.Key("mime").String(picture.MimeType);
        json.Key("description").String(picture.Description);
        json.Key("size").Number(static_cast<long long>(picture.Size)).EndObject();
    }
    json.EndArray().Key("v1");
    if (shown.record) {
        json.BeginObject();
        for (const auto& [key, column] : kRecordTexts) {
            json.Key(key).String(RecordValue(*shown.record, column));
        }
        json.Key("track").Number(shown.record->Track).EndObject();
    } else {
        json.Null();
    }
    // Reserved for the audio properties: always present, so the shape stays.
    json.Key("audio").BeginObject().EndObject().EndObject();
    return json.Text();
}

std::string Text(const TShownFile& shown) {
    std::ostringstream text;
    text << PrintableText(shown.path) << ": "
         << (shown.version != 0 ? "ID3v" + VersionText(shown.version) : "no ID3v2 tag") << '\n';
    for (const TFrameDescription& frame : shown.frames) {
        text << "  " << frame.id;
        if (!frame.name.empty()) {
            text << " (" << frame.name << ')';
        }
        text << ", " << frame.size << " bytes";
        if (frame.description && !frame.description->empty()) {
            text << ", \"" << PrintableText(*frame.description) << '"';
        }
        for (size_t i = 0; i < frame.values.size(); ++i) {
            text << (i == 0 ? ": " : " / ") << PrintableText(frame.values[i]);
        }
        text << (frame.unreadable ? " (damaged)" : "") << '\n';
    }
    for (const TPictureInfo& picture : shown.pictures) {
        text << "  picture: " << PictureTypeKeyword(picture.PictureType) << ", "
             << (picture.MimeType.empty() ? "unknown type" : PrintableText(picture.MimeType))
             << ", " << picture.Size << " bytes";
        text << (picture.Description.empty() ? ""
                                             : ", \"" + PrintableText(picture.Description) + '"')
             << '\n';
    }
    if (shown.record) {
        text << "  ID3v1:";
        for (const auto& [key, column] : kRecordTexts) {
            text << ' ' << key << " \"" << PrintableText(RecordValue(*shown.record, column)) << '"';
        }
        text << " track " << int(shown.record->Track) << '\n';
    } else {
        text << "  no ID3v1 record\n";
    }
    return text.str();
}

}  // namespace

int RunShow(const TOptions& options, std::ostream& out, TReport& report) {
    ForEachFile(ExpandFolders(options.files, options.recursive), report,
                [&](const std::string& path) {
                    TShownFile shown;
                    if (const std::string problem = ReadShownFile(path, shown); !problem.empty()) {
                        report.Fail(path, problem);
                        return;
                    }
                    out << (options.json ? Json(shown) + '\n' : Text(shown));
                });
    out.flush();
    return report.ExitCode();
}

}  // namespace cli
