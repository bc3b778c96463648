// What several commands share around the row codec: a file's row loaded into
// a one-row model as the window loads a row, and the plain reasons of failed
// loads and saves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"

class Tid3v2tag;

namespace cli {

// The row every command keeps a file's values in.
constexpr int kRow = 0;

// Loads the file's ID3v2 tag (for listing) into `tag` and its values into
// row kRow of `rows` (set to edit ID3v2), with the values of the added
// columns. "" when loaded or the file holds no tag, else the reason it could
// not be read.
std::string LoadV2Row(Tid3v2tag& tag, const std::string& path, rows::TRowModel& rows,
                      const std::vector<frames::TAddedColumn>& columns = {});
// The same for the file's ID3v1 record.
std::string LoadV1Row(const std::string& path, rows::TRowModel& rows);

// How the command's ID3v2 saves choose their version: new tags in the one
// asked for (--version), or as the window writes them.
row_codec::TV2Versions SaveVersions(const TOptions& options);

// The plain reason of a failed load or save of the file (a result word of
// 256 or more).
std::string LoadFailure(uint16_t result, const std::string& path);
std::string SaveFailure(uint16_t result, const std::string& path);

}  // namespace cli
