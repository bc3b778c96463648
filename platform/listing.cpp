// The folder tree walk: each folder is read whole through its descriptor and
// closed before its subfolders are entered, so a deep tree never holds more
// than one folder open.
#include "platform/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "platform/directory.h"
#include "platform/file.h"

namespace platform {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using OpenFolder = std::unique_ptr<DIR, DirCloser>;

std::string Joined(const std::string& folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (!folder.empty() && !folder.ends_with('/')) {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

// Whether the entry is a folder, links followed; the type from the directory
// when it tells, else a status query.
bool IsFolderEntry(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat status {};
    return ::fstatat(folder, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

class TreeWalk {
  public:
    TreeWalk(std::string top, size_t batchSize, const ListingBatchSink& sink)
        // An empty folder path is the root, as for a single folder's listing.
        : top_(top.empty() ? "/" : std::move(top)),
          batchSize_(batchSize == 0 ? 1 : batchSize),
          sink_(sink) {}

    TreeListing Run() {
        Walk("");
        if (!listing_.stopped) {
            Deliver();
        }
        return std::move(listing_);
    }

  private:
    // Lists the folder at `relative` and then its subfolders, depth first.
    void Walk(const std::string& relative) {
        std::vector<std::string> subfolders;
        if (!ReadFolder(relative, subfolders)) {
            return;
        }
        for (const std::string& name : subfolders) {
            if (listing_.stopped) {
                break;
            }
            Walk(Joined(relative, name));
        }
        chain_.pop_back();
    }

    // Adds the folder's MP3 entries and collects its subfolders' names. False
    // when the folder cannot be entered; then nothing is left on the chain.
    bool ReadFolder(const std::string& relative, std::vector<std::string>& subfolders) {
        const std::string path = relative.empty() ? top_ : Joined(top_, relative);
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) {
            Report(relative, errno);
            return false;
        }
        OpenFolder folder(::fdopendir(descriptor));
        if (!folder) {
            Report(relative, errno);
            ::close(descriptor);
            return false;
        }
        if (!EnterChain(descriptor, relative)) {
            return false;
        }
        errno = 0;
        while (const dirent* entry = ::readdir(folder.get())) {
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            if (HasMp3Extension(name)) {
                listing_.files.push_back(Joined(relative, name));
                if (listing_.files.size() - delivered_ >= batchSize_ && !Deliver()) {
                    return true;
                }
            }
            if (IsFolderEntry(descriptor, *entry)) {
                subfolders.emplace_back(name);
            }
            errno = 0;
        }
        if (errno != 0) {
            Report(relative, errno);
        }
        return true;
    }

    // Puts the open folder on the chain of folders the walk is inside of,
    // unless it is one of them already: a link that loops.
    bool EnterChain(int descriptor, const std::string& relative) {
        struct stat status {};
        if (::fstat(descriptor, &status) != 0) {
            Report(relative, errno);
            return false;
        }
        const FileIdentity identity{static_cast<uint64_t>(status.st_dev),
                                    static_cast<uint64_t>(status.st_ino)};
        for (const FileIdentity& outer : chain_) {
            if (outer == identity) {
                Report(relative, ELOOP);
                return false;
            }
        }
        chain_.push_back(identity);
        return true;
    }

    void Report(const std::string& relative, int error) {
        listing_.problems.push_back({relative, error});
    }

    // Hands the paths found since the last batch to the sink; false when it
    // asks to stop.
    bool Deliver() {
        if (!sink_ || delivered_ == listing_.files.size()) {
            return true;
        }
        const std::span<const std::string> batch(listing_.files.begin() + delivered_,
                                                 listing_.files.end());
        delivered_ = listing_.files.size();
        if (sink_(batch) == ListingStep::Stop) {
            listing_.stopped = true;
        }
        return !listing_.stopped;
    }

    const std::string top_;
    const size_t batchSize_;
    const ListingBatchSink& sink_;
    TreeListing listing_;
    size_t delivered_ = 0;
    std::vector<FileIdentity> chain_;
};

}  // namespace

TreeListing ListMp3Tree(const std::string& folder, size_t batchSize, const ListingBatchSink& sink) {
    return TreeWalk(folder, batchSize, sink).Run();
}

}  // namespace platform
