// The user's state folder: data that must outlive a crash of the program, such
// as the journals of saves in progress. No configuration lives here.
#pragma once

#include <string>
#include <vector>

namespace platform {

// $XDG_STATE_HOME/tagvora/<name> (~/.local/state/tagvora/<name> when the
// variable is unset, empty or not an absolute path); with `create` it is
// made as needed, private to the user. "" with `error` set when it cannot be
// made or named.
std::string StateFolder(const std::string& name, std::string& error, bool create = true);

// Names of the folder's entries that end in `suffix`; empty when it cannot
// be read.
std::vector<std::string> ListFolder(const std::string& folder, const std::string& suffix);

// Waits until the folder's entries (a file just created in it) are on the disk.
void SyncFolder(const std::string& folder);

}  // namespace platform
