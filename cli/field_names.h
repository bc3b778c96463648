// The names a user gives fields on the command line ("title", "albumartist",
// "TPOS", "TXXX:CATALOGNUMBER") and the readable names of frames: one table,
// so a field added here is known to `set` and `show` alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/model/bulk_logic.h"

namespace cli {

// Where a field's value goes: one of the row's seven values (written by the
// row codec as the window writes it), a text frame of its own, or a
// user-defined text frame (TXXX) with its description.
struct TFieldTarget {
    enum class Kind { RowValue, TextFrame, UserText };
    Kind kind = Kind::RowValue;
    bulk::Column column = bulk::Column::Title;
    std::string frameId;      // TextFrame: the four-character identifier
    std::string description;  // UserText: the TXXX description
};

// The target of a field name: a name of the table (any letter case), a
// text frame identifier ("TPE2", upper case) or "TXXX:DESCRIPTION" ("txxx:"
// in any case, a description not empty). Nothing for anything else.
std::optional<TFieldTarget> ResolveField(std::string_view name);

// The readable name of a frame ("Album artist" for TPE2), "" when unknown.
std::string_view FrameName(std::string_view id);

// The field names of the table, for the usage text: "title, artist, ...".
std::string FieldNameList();

}  // namespace cli
