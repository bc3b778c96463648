// Directory listing for the folder view.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Names of every entry of the folder whose name ends in ".mp3" in any case, of
// any type (files, hidden files, directories, links), in the order the
// operating system returns them. An unreadable folder gives an empty list.
std::vector<std::string> ListMp3(const std::string& folder);

}  // namespace platform
