// Directory listing for the folder view.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Whether the name ends in ".mp3", compared without regard to case.
bool HasMp3Extension(std::string_view name);

// Names of every entry of the folder whose name ends in ".mp3" in any case, of
// any type (files, hidden files, directories, links), in the order the
// operating system returns them. An unreadable folder gives an empty list.
std::vector<std::string> ListMp3(const std::string& folder);

}  // namespace platform
