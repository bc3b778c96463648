// readdir-based listing of *.mp3 entries.
#include "platform/directory.h"

#include <dirent.h>

#include <memory>

namespace platform {
namespace {

bool EndsWithMp3(const char* name, size_t length) {
    if (length < 4) {
        return false;
    }
    const char* tail = name + length - 4;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return tail[0] == '.' && lower(tail[1]) == 'm' && lower(tail[2]) == 'p' && tail[3] == '3';
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::vector<std::string> ListMp3(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "/" : folder.c_str()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (EndsWithMp3(entry->d_name, name.size())) {
            names.emplace_back(name);
        }
    }
    return names;
}

}  // namespace platform
