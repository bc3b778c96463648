// The field table of the command line: the row's values, then the frames
// room's added columns.
#include "cli/field_names.h"

#include <algorithm>
#include <array>

#include "editor/frames/frame_encoding.h"

namespace cli {

namespace {

using bulk::Column;

constexpr std::array<std::pair<std::string_view, Column>, 7> kRowFields{{
    {"title", Column::Title},
    {"artist", Column::Artist},
    {"album", Column::Album},
    {"year", Column::Year},
    {"comment", Column::Comment},
    {"track", Column::Track},
    {"genre", Column::Genre},
}};

// The prefixes of a user text frame's field; "user:" is the columns' own key.
constexpr std::array<std::string_view, 2> kUserTextPrefixes{"txxx:", "user:"};

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

TFieldTarget AddedTarget(frames::TAddedColumn column) {
    return {TFieldTarget::Kind::AddedColumn, Column::Title, std::move(column)};
}

// The standard column whose frame, in either version, is `id`.
std::optional<frames::TAddedColumn> ColumnOfFrame(std::string_view id) {
    const auto& columns = frames::StandardColumns();
    const auto found = std::find_if(columns.begin(), columns.end(),
                                    [id](const auto& c) { return c.v3Id == id || c.v4Id == id; });
    return found == columns.end() ? std::nullopt : std::optional(*found);
}

}  // namespace

std::optional<TFieldTarget> ResolveField(std::string_view name) {
    const std::string lower = Lower(name);
    for (const std::string_view prefix : kUserTextPrefixes) {
        if (lower.starts_with(prefix)) {
            // A user text frame is told apart from the others by its description.
            return name.size() == prefix.size() ? std::nullopt
                                                : std::optional(AddedTarget(frames::UserTextColumn(
                                                      std::string(name.substr(prefix.size())))));
        }
    }
    for (const auto& [field, column] : kRowFields) {
        if (field == lower) {
            return TFieldTarget{TFieldTarget::Kind::RowValue, column, {}};
        }
    }
    if (auto column = frames::ColumnOfKey(lower)) {
        return AddedTarget(std::move(*column));
    }
    if (!TextFrameId(name)) {
        return std::nullopt;
    }
    if (auto column = ColumnOfFrame(name)) {
        return AddedTarget(std::move(*column));
    }
    const std::string id(name);
    return TFieldTarget{TFieldTarget::Kind::TextFrame, Column::Title, {id, id, id, id, {}}};
}

std::string FieldValueProblem(const TFieldTarget& target, std::string_view value) {
    if (target.kind == TFieldTarget::Kind::RowValue) {
        return {};
    }
    const frames::TAddedColumn& column = target.added;
    if (target.kind == TFieldTarget::Kind::TextFrame) {
        // A frame without a column is written as one value.
        return frames::ValueProblem(column.v3Id, value);
    }
    // A column whose frame differs between versions must suit both: the
    // file's version is known only when it is read.
    for (const std::string& id : {column.v3Id, column.v4Id}) {
        if (std::string problem = frames::ValuesProblem(id, value); !problem.empty()) {
            return problem;
        }
    }
    return column.description.empty() ? "" : frames::ValueProblem("TXXX", column.description);
}

std::string FieldNameList() {
    std::string list;
    for (const auto& [field, column] : kRowFields) {
        list += list.empty() ? "" : ", ";
        list += field;
    }
    for (const frames::TAddedColumn& column : frames::StandardColumns()) {
        list += ", " + column.key;
    }
    return list;
}

}  // namespace cli
