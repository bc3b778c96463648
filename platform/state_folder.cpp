// The state folder under XDG_STATE_HOME and the listing of its entries.
#include "platform/state_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/file.h"

namespace platform {
namespace {

// Creates every missing folder of the path, each private to the user.
bool MakeFolders(const std::string& path, std::string& error) {
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
            error = DescribeError(folder, errno);
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = DescribeError(path, ENOTDIR);
        return false;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::string StateFolder(const std::string& name, std::string& error, bool create) {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        error = "no state folder: neither XDG_STATE_HOME nor HOME is an absolute path";
        return {};
    }
    const std::string folder = base + "/tagvora/" + name;
    return !create || MakeFolders(folder, error) ? folder : std::string();
}

std::vector<std::string> ListFolder(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name(entry->d_name);
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw WriteError("Cannot flush " + DescribeError(folder, errno));
    }
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (rc != 0) {
        throw WriteError("Cannot flush " + DescribeError(folder, error));
    }
}

}  // namespace platform
