// The files a command works on: folders given to `show` listed (with their
// subfolders on -r) in the order the window lists them, and the checks that
// tell a file that cannot be read or written before anything is tried.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/report.h"

namespace cli {

// True when the name ends in ".mp3" in any letter case.
bool EndsWithMp3(const std::string& path);

// Each argument that is a folder (and is not named *.mp3) replaced by its MP3
// entries, subfolders after the files when `recursive` (symbolic links to
// folders are not followed, so no loop is walked); any other argument kept as
// given.
std::vector<std::string> ExpandFolders(const std::vector<std::string>& arguments, bool recursive);

// Why the path cannot be read as an MP3 file (missing, a folder, not a
// regular file), or "" when it can.
std::string ReadProblem(const std::string& path);
// Why the file cannot be written (ReadProblem, read-only, immutable), or "".
std::string WriteProblem(const std::string& path);

// ForEachFile over the files that can be read; each other one is reported
// with its ReadProblem.
void ForEachReadableFile(const std::vector<std::string>& files, TReport& report,
                         const std::function<void(const std::string&)>& handle);

// True when the file can be written; else its WriteProblem is reported.
bool Writable(const std::string& path, TReport& report);

// The entries of a folder, every name but "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// The folder part of a path ("." for a bare name) and the name after it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace cli
