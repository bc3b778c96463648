// The folder tree listing: relative paths sorted as the window sorts them,
// links that loop, folders that cannot be listed, names that are not UTF-8,
// and batches that end the walk early.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "editor/model/file_order.h"
#include "platform/listing.h"
#include "tests/helpers/mp3_files.h"

using namespace platform;

namespace {

struct TreeCase {
    const char* rule;
    std::vector<std::string> files;                          // made empty, folders as needed
    std::vector<std::pair<std::string, std::string>> links;  // path, target
    size_t batchSize;
    std::string atFirstBatch;  // what the sink does then: "stop", or a folder to remove
    std::vector<std::string> sorted;
    std::vector<ListingProblem> problems;
};

TEST(PlatformListing, ListsTheTreeAsRelativePaths) {
    // clang-format off
    const TreeCase cases[] = {
        {"digit runs by value, across folders",
         {"10.mp3", "9.mp3", "Disc 10/1.mp3", "Disc 2/1.MP3", "Disc 2/c.jpg", "Disc 2/a/b.mp3"},
         {}, 40, "",
         {"9.mp3", "10.mp3", "Disc 2/1.MP3", "Disc 2/a/b.mp3", "Disc 10/1.mp3"}, {}},
        {"a link to a folder is followed, links back up are reported",
         {"a/x.mp3"}, {{"b", "a"}, {"a/up", ".."}, {"a/self", "."}}, 40, "", {"a/x.mp3", "b/x.mp3"},
         {{"a/self", ELOOP}, {"a/up", ELOOP}, {"b/self", ELOOP}, {"b/up", ELOOP}}},
        {"a folder gone before it is read is reported",
         {"a.mp3", "gone/g.mp3"}, {}, 1, "gone", {"a.mp3"}, {{"gone", ENOENT}}},
        {"names keep their bytes", {"d\xE9/\xFF\xFE.mp3"}, {}, 40, "", {"d\xE9/\xFF\xFE.mp3"}, {}},
        {"the sink stops the walk",
         {"1.mp3", "2.mp3", "sub/3.mp3"}, {}, 2, "stop", {"1.mp3", "2.mp3"}, {}},
    };
    // clang-format on
    for (const TreeCase& c : cases) {
        SCOPED_TRACE(c.rule);
        testing_mp3::TempDir dir;
        for (const std::string& file : c.files) {
            std::filesystem::create_directories(
                std::filesystem::path(dir.File(file)).parent_path());
            testing_mp3::WriteFile(dir.File(file), {});
        }
        for (const auto& [path, target] : c.links) {
            ASSERT_EQ(::symlink(target.c_str(), dir.File(path).c_str()), 0);
        }
        std::vector<std::string> batches;
        const TreeListing listing =
            ListMp3Tree(dir.Path(), c.batchSize, [&](std::span<const std::string> batch) {
                const bool first = batches.empty();
                batches.insert(batches.end(), batch.begin(), batch.end());
                if (first && c.atFirstBatch == "stop") {
                    return ListingStep::Stop;
                }
                if (first && !c.atFirstBatch.empty()) {
                    std::filesystem::remove_all(dir.File(c.atFirstBatch));
                }
                return ListingStep::Continue;
            });
        EXPECT_EQ(batches, listing.files);
        EXPECT_EQ(file_order::SortedLikeFileManager(listing.files), c.sorted);
        std::vector<ListingProblem> problems = listing.problems;
        std::sort(problems.begin(), problems.end(),
                  [](const auto& a, const auto& b) { return a.folder < b.folder; });
        EXPECT_EQ(problems, c.problems);
        EXPECT_EQ(listing.stopped, c.atFirstBatch == "stop");
    }
    const TreeListing missing = ListMp3Tree("/nonexistent-tagvora-folder");
    EXPECT_EQ(missing.problems, (std::vector<ListingProblem>{{"", ENOENT}}));
}

}  // namespace
