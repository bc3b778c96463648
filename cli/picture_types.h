// Picture types as typed on the command line: "front", "back", "leaflet-page",
// or the number 0 to 20.
#pragma once

#include <optional>
#include <string>

namespace cli {

std::optional<int> PictureTypeOf(const std::string& text);
// The keyword of a picture type ("front" for "Front cover").
std::string PictureTypeKeyword(int type);
// Every keyword, for the usage text.
std::string PictureTypeList();

}  // namespace cli
