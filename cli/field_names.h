// The names a user gives fields on the command line: the row's seven values
// ("title"), the frames room's added columns ("albumartist", "txxx:CATALOGNUMBER")
// and any other text frame by its identifier ("TKEY").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/frames/added_columns.h"
#include "editor/model/bulk_logic.h"

namespace cli {

// Where a field's value goes: one of the row's seven values or an added
// column (both written by the row codec as the window writes them), or a
// text frame that no column stands for, written on its own.
struct TFieldTarget {
    enum class Kind { RowValue, AddedColumn, TextFrame };
    Kind kind = Kind::RowValue;
    bulk::Column column = bulk::Column::Title;
    // AddedColumn: the column; TextFrame: its identifier in v3Id and v4Id.
    frames::TAddedColumn added;
};

// The target of a field name: a row value's name or an added column's key
// (any letter case), "TXXX:DESCRIPTION" or "user:DESCRIPTION" (the prefix in
// any case, a description not empty), or a text frame identifier ("TPE2",
// upper case; a column's own frame counts as that column). Nothing for
// anything else.
std::optional<TFieldTarget> ResolveField(std::string_view name);

// Why `value` cannot be stored in the field (a value or description the frame
// refuses, with the frames room's reason), or "".
std::string FieldValueProblem(const TFieldTarget& target, std::string_view value);

// The field names, for the usage text: "title, artist, ..., encodedby".
std::string FieldNameList();

}  // namespace cli
