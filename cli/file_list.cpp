// Listing the files of folders and checking files before they are touched.
#include "cli/file_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "editor/model/file_order.h"
#include "editor/model/save_logic.h"
#include "platform/attributes.h"
#include "platform/directory.h"
#include "platform/state_folder.h"

namespace cli {

namespace {

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A folder, not reached through a symbolic link.
bool IsRealFolder(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

void ListFolder(const std::string& folder, bool recursive, std::vector<std::string>& files) {
    for (const std::string& name : file_order::SortedLikeFileManager(platform::ListMp3(folder))) {
        files.push_back(Joined(folder, name));
    }
    if (!recursive) {
        return;
    }
    std::vector<std::string> subfolders;
    for (const std::string& name : FolderEntries(folder)) {
        if (IsRealFolder(Joined(folder, name))) {
            subfolders.push_back(name);
        }
    }
    for (const std::string& name : file_order::SortedLikeFileManager(std::move(subfolders))) {
        ListFolder(Joined(folder, name), recursive, files);
    }
}

}  // namespace

bool EndsWithMp3(const std::string& path) {
    constexpr std::string_view kExtension = ".mp3";
    return path.size() >= kExtension.size() &&
           std::equal(
               kExtension.begin(), kExtension.end(), path.end() - kExtension.size(),
               [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::vector<std::string> ExpandFolders(const std::vector<std::string>& arguments, bool recursive) {
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        // A name ending in ".mp3" is taken for a file without asking the file
        // system: a folder so named is then reported when it is read.
        if (!EndsWithMp3(argument) && IsFolder(argument)) {
            ListFolder(argument, recursive, files);
        } else {
            files.push_back(argument);
        }
    }
    return files;
}

std::string ReadProblem(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(status.st_mode)) {
        return "is a folder, not an MP3 file";
    }
    if (!S_ISREG(status.st_mode)) {
        return "is not a regular file";
    }
    return {};
}

std::string WriteProblem(const std::string& path) {
    if (std::string problem = ReadProblem(path); !problem.empty()) {
        return problem;
    }
    if (platform::IsImmutable(path)) {
        return "the file is immutable; nothing was written";
    }
    if (save_logic::FileIsReadOnly(path)) {
        return "the file is read-only; nothing was written";
    }
    return {};
}

bool Writable(const std::string& path, TReport& report) {
    const std::string problem = WriteProblem(path);
    if (!problem.empty()) {
        report.Fail(path, problem);
    }
    return problem.empty();
}

void ForEachReadableFile(const std::vector<std::string>& files, TReport& report,
                         const std::function<void(const std::string&)>& handle) {
    ForEachFile(files, report, [&](const std::string& path) {
        if (const std::string problem = ReadProblem(path); !problem.empty()) {
            report.Fail(path, problem);
        } else {
            handle(path);
        }
    });
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names = platform::ListFolder(folder, "");
    // The folder itself and its parent are no entries of it: walking them
    // would never end.
    std::erase_if(names, [](const std::string& name) { return name == "." || name == ".."; });
    return names;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    return save_logic::FileNameOf(path);
}

}  // namespace cli
