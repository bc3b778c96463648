// The field table of the command line.
#include "cli/field_names.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

using bulk::Column;

struct TNamedField {
    std::string_view name;   // as typed, lower case; "" for a frame only named
    std::string_view frame;  // the frame that holds it
    std::string_view label;  // the readable name
    std::optional<Column> column;
};

// The row's seven values first (their frames as the row codec writes them),
// then the frames written as they are, then frames only named for `show`.
constexpr std::array kFields{
    TNamedField{"title", "TIT2", "Title", Column::Title},
    TNamedField{"artist", "TPE1", "Artist", Column::Artist},
    TNamedField{"album", "TALB", "Album", Column::Album},
    TNamedField{"year", "TYER", "Year", Column::Year},
    TNamedField{"", "TDRC", "Recording time", Column::Year},
    TNamedField{"comment", "COMM", "Comment", Column::Comment},
    TNamedField{"track", "TRCK", "Track", Column::Track},
    TNamedField{"genre", "TCON", "Genre", Column::Genre},
    TNamedField{"albumartist", "TPE2", "Album artist", std::nullopt},
    TNamedField{"disc", "TPOS", "Disc", std::nullopt},
    TNamedField{"composer", "TCOM", "Composer", std::nullopt},
    TNamedField{"", "TXXX", "User text", std::nullopt},
    TNamedField{"", "APIC", "Picture", std::nullopt},
};

constexpr std::string_view kUserTextPrefix = "txxx:";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Four characters A-Z or 0-9 beginning with "T", and not "TXXX".
bool TextFrameId(std::string_view id) {
    return id.size() == 4 && id[0] == 'T' && id != "TXXX" &&
           std::all_of(id.begin(), id.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

TFieldTarget Target(const TNamedField& field) {
    TFieldTarget target;
    if (field.column) {
        target.column = *field.column;
    } else {
        target.kind = TFieldTarget::Kind::TextFrame;
        target.frameId = std::string(field.frame);
    }
    return target;
}

}  // namespace

std::optional<TFieldTarget> ResolveField(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower.starts_with(kUserTextPrefix) && name.size() > kUserTextPrefix.size()) {
        TFieldTarget target;
        target.kind = TFieldTarget::Kind::UserText;
        target.description = std::string(name.substr(kUserTextPrefix.size()));
        return target;
    }
    for (const TNamedField& field : kFields) {
        if ((!field.name.empty() && field.name == lower) || field.frame == name) {
            if (field.column || TextFrameId(field.frame)) {
                return Target(field);
            }
        }
    }
    if (TextFrameId(name)) {
        TFieldTarget target;
        target.kind = TFieldTarget::Kind::TextFrame;
        target.frameId = std::string(name);
        return target;
    }
    return std::nullopt;
}

std::string_view FrameName(std::string_view id) {
    const auto* field = std::find_if(kFields.begin(), kFields.end(),
                                     [id](const TNamedField& f) { return f.frame == id; });
    return field == kFields.end() ? std::string_view() : field->label;
}

std::string FieldNameList() {
    std::string list;
    for (const TNamedField& field : kFields) {
        if (!field.name.empty()) {
            list += list.empty() ? "" : ", ";
            list += field.name;
        }
    }
    return list;
}

}  // namespace cli
