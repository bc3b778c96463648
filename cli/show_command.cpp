// show: a file's ID3v2 tag (every frame, its pictures), its ID3v1 record and
// its audio properties, as text for people or as one JSON object a line for
// scripts.
#include <optional>
#include <sstream>

#include "audio/audio_properties.h"
#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/frame_listing.h"
#include "cli/json.h"
#include "cli/picture_types.h"
#include "cli/tag_io.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "platform/file.h"

namespace cli {

namespace {

using bulk::Column;

// What `show` found in one file.
struct TShownFile {
    std::string path;
    int version = 0;  // the ID3v2 tag's major version; 0 without one
    std::vector<frames::TFrameView> frames;
    std::vector<TPictureInfo> pictures;
    std::optional<Tv1TAGInfo> record;             // none when the file ends without one
    std::optional<audio::AudioProperties> audio;  // none when not asked for
};

constexpr std::pair<const char*, Column> kRecordTexts[] = {
    {"title", Column::Title}, {"artist", Column::Artist},   {"album", Column::Album},
    {"year", Column::Year},   {"comment", Column::Comment}, {"genre", Column::Genre}};

std::string RecordValue(const Tv1TAGInfo& record, Column column) {
    // A record without genre holds the byte 255, which reads as a blank name.
    return row_codec::RecordText(record, column).trimmed().toStdString();
}

// Reads the file; "" when read, else the reason.
std::string ReadShownFile(const std::string& path, bool withAudio, TShownFile& shown) {
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
        // The record and the audio are read through one open file.
        platform::File file(path, platform::File::Mode::Read);
        if (Tv1TAGInfo record = ReadV1Tag(file); !record.NoTag) {
            shown.record = std::move(record);
        }
        if (withAudio) {
            shown.audio =
                audio::ReadAudioProperties(file, audio::AudioStart(audio::FileSource(file)));
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

// The audio properties as an object; without audio every value but the
// findings is null, so a script finds the same keys.
TJsonWriter& AudioJson(const audio::AudioProperties& audio, TJsonWriter& json) {
    const auto text = [&](const char* key, const std::string& value) {
        json.Key(key);
        audio.found ? json.String(value) : json.Null();
    };
    const auto number = [&](const char* key, long long value) {
        json.Key(key);
        audio.found ? json.Number(value) : json.Null();
    };
    const auto flag = [&](const char* key, bool value) {
        json.Key(key);
        audio.found ? json.Bool(value) : json.Null();
    };
    json.BeginObject();
    text("version", audio::VersionName(audio.version));
    number("layer", audio.layer);
    number("sample_rate", audio.sampleRate);
    text("channels", audio::ChannelModeName(audio.channelMode));
    number("bitrate_kbps", audio.bitrateKbps);
    flag("variable", audio.variableBitrate);
    number("duration_ms", audio.durationMs);
    flag("duration_exact", audio.durationExact);
    text("vbr_header", audio::VbrHeaderName(audio.vbrHeader));
    text("encoder", audio.encoder);
    json.Key("findings").BeginArray();
    for (const audio::Finding& finding : audio.findings) {
        json.String(finding.text);
    }
    return json.EndArray().EndObject();
}

std::string Json(const TShownFile& shown) {
    TJsonWriter json;
    json.BeginObject().Key("file").String(shown.path).Key("kind").String(Kind(shown));
    json.Key("version");
    shown.version != 0 ? json.String(VersionText(shown.version)) : json.Null();
    json.Key("frames").BeginArray();
    for (const frames::TFrameView& frame : shown.frames) {
        json.BeginObject().Key("id").String(frame.id).Key("name").String(frame.name);
        json.Key("size").Number(static_cast<long long>(frame.size));
        if (HasLanguage(frame.kind)) {
            json.Key("language").String(frame.language);
        }
        if (HasDescription(frame.kind)) {
            json.Key("description").String(frame.description);
        }
        json.Key("values").BeginArray();
        for (const std::string& value : frame.values) {
            json.String(value);
        }
        json.EndArray().Key("kind").String(KindName(frame.kind));
        json.Key("damaged").Bool(frame.damaged).EndObject();
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
    json.Key("audio");
    shown.audio ? AudioJson(*shown.audio, json) : json.Null();
    json.EndObject();
    return json.Text();
}

std::string Text(const TShownFile& shown) {
    std::ostringstream text;
    text << PrintableText(shown.path) << ": "
         << (shown.version != 0 ? "ID3v" + VersionText(shown.version) : "no ID3v2 tag") << '\n';
    for (const frames::TFrameView& frame : shown.frames) {
        text << "  " << frame.id << " (" << PrintableText(frame.name) << "), " << frame.size
             << " bytes";
        // A user text or URL frame's name holds its description already.
        if (HasLanguage(frame.kind) || frame.kind == frames::FrameKind::Picture) {
            text << (frame.description.empty() ? ""
                                               : ", \"" + PrintableText(frame.description) + '"');
        }
        for (size_t i = 0; i < frame.values.size(); ++i) {
            text << (i == 0 ? ": " : " / ") << PrintableText(frame.values[i]);
        }
        text << (frame.damaged ? " (damaged)" : "") << '\n';
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
    if (shown.audio) {
        text << "  audio: " << audio::Summary(*shown.audio) << '\n';
        for (const audio::Finding& finding : shown.audio->findings) {
            text << "  audio fault: " << finding.text << '\n';
        }
    }
    return text.str();
}

}  // namespace

int RunShow(const TOptions& options, std::ostream& out, TReport& report) {
    ForEachFile(ExpandFolders(options.files, options.recursive), report,
                [&](const std::string& path) {
                    TShownFile shown;
                    if (const std::string problem = ReadShownFile(path, options.audio, shown);
                        !problem.empty()) {
                        report.Fail(path, problem);
                        return;
                    }
                    out << (options.json ? Json(shown) + '\n' : Text(shown));
                });
    out.flush();
    return report.ExitCode();
}

}  // namespace cli
