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
    return plan.start >= 0 && plan.start <= kMaxTagOffset && plan.fileSize <= kMaxFileSize &&
           plan.oldSize <= plan.fileSize - plan.start &&
           (plan.newSize == 0 || plan.newSize >= 10) && plan.newSize <= kMaxTagBody + 10 &&
           plan.MovesAudio() && plan.chunk >= kMoveChunk && plan.chunk <= kMaxChunk &&
           plan.chunk % kChunkUnit == 0;
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
    return phaseFits && moved <= plan.ChunkCount() &&
           (length == 0 || (restoreAt >= plan.start && restoreAt <= reach - int64_t{length}));
}

}  // namespace id3v2
