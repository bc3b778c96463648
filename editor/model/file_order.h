// The order in which the window lists a folder's files: the order a Linux file
// manager shows, case-insensitive, digit runs compared by value ("2 - x" before
// "10 - x"), by the desktop's collation. The directory itself returns hash order.
#pragma once

#include <string>
#include <vector>

namespace file_order {

// The names (bytes as the file system holds them) in file-manager order; names
// that the collation finds equal ("a.mp3", "A.mp3") keep a fixed byte order.
std::vector<std::string> SortedLikeFileManager(std::vector<std::string> names);

}  // namespace file_order
