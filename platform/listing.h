// Listing the MP3 files of a folder tree: the folder and all its subfolders,
// delivered in batches while the walk goes on, so a caller can show the first
// files early and stop the walk.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// A folder the walk could not list, by its path relative to the top folder
// ("" for the top itself) and the errno value. A link that leads back into a
// folder the walk is inside of gives ELOOP and is not followed.
struct ListingProblem {
    std::string folder;
    int error = 0;
    bool operator==(const ListingProblem&) const = default;
};

enum class ListingStep { Continue, Stop };

// Called on the walking thread with each batch of newly found relative paths;
// Stop ends the walk (a caller's stop flag, checked here, ends it early).
using ListingBatchSink = std::function<ListingStep(std::span<const std::string> batch)>;

struct TreeListing {
    // Relative paths ("sub/dir/name.mp3"), bytes as the file system holds
    // them, in the order the walk found them; the caller sorts.
    std::vector<std::string> files;
    std::vector<ListingProblem> problems;
    // The sink asked to stop before the walk was done.
    bool stopped = false;
};

// Every entry whose name ends in ".mp3" in any case, of any type, in the
// folder and its subfolders. Links to folders are followed unless they loop.
// The sink, when given, receives the paths in batches of `batchSize` (the
// last one smaller) as they are found.
TreeListing ListMp3Tree(const std::string& folder, size_t batchSize = 0,
                        const ListingBatchSink& sink = {});

}  // namespace platform
