// readdir-based listing of *.mp3 entries.
#include "platform/directory.h"

#include <dirent.h>

#include <memory>

namespace platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool HasMp3Extension(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - 4);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return tail[0] == '.' && lower(tail[1]) == 'm' && lower(tail[2]) == 'p' && tail[3] == '3';
}

std::vector<std::string> ListMp3(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "/" : folder.c_str()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (HasMp3Extension(name)) {
            names.emplace_back(name);
        }
    }
    return names;
}

}  // namespace platform
