// The checks of what a journal holds against the moves saves make.
#include "id3v2/journal/journal_checks.h"

#include <algorithm>

#include "id3v2/frames/layout.h"

namespace id3v2 {
namespace {

constexpr uint32_t kChunkUnit = 4096;  // a save's chunk is a whole number of pages
constexpr uint32_t kMaxChunk = 64u << 20;
constexpr int64_t kMaxFileSize = int64_t{1} << 60;

}  // namespace

bool SavePlan(const Relayout& plan) {
    // Every value is known to lie in its range before a sum or a difference
    // takes it, so that no forged value can overflow.
    const bool inRange = plan.start >= 0 && plan.start <= kMaxTagOffset &&
                         plan.fileSize >= plan.start && plan.fileSize <= kMaxFileSize &&
                         (plan.newSize == 0 || plan.newSize >= 10) &&
                         plan.newSize <= kMaxTagBody + 10 && plan.chunk >= kMoveChunk &&
                         plan.chunk <= kMaxChunk && plan.chunk % kChunkUnit == 0;
    return inRange && plan.oldSize <= plan.fileSize - plan.start && plan.Journalled();
}

bool PlannedTag(const Relayout& plan, const std::vector<uint8_t>& tag) {
    // A removal's tag has no bytes.
    return tag.size() == plan.newSize &&
           (tag.empty() || (IsTagHeader(tag.data()) &&
                            ReadSyncsafe32(tag.data() + 6) + uint64_t{10} == tag.size()));
}

bool PlannedStep(const Relayout& plan, RelayPhase phase, uint64_t moved, int64_t restoreAt,
                 uint32_t length) {
    const int64_t reach = std::max(plan.fileSize, plan.NewFileSize());
    const bool phaseFits = phase == RelayPhase::Moving || phase == RelayPhase::WritingTag ||
                           (phase == RelayPhase::Appending && plan.Growth() > 0);
    // A step with no bytes names no place a save writes, but its offset still
    // takes part in the recovery's arithmetic.
    const bool placeFits = length == 0 ? restoreAt >= 0 && restoreAt <= reach
                                       : length <= plan.chunk && restoreAt >= plan.start &&
                                             restoreAt <= reach - int64_t{length};
    return phaseFits && moved <= plan.ChunkCount() && placeFits;
}

}  // namespace id3v2
