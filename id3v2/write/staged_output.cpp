// Staged output of a save: the file receives whole 16 KB blocks.
#include "id3v2/write/staged_output.h"

#include <algorithm>
#include <vector>

#include "id3v2/work_state.h"
#include "platform/file.h"

namespace id3v2 {

namespace {
uint64_t stagedBytesWritten = 0;
}  // namespace

void WriteStaged(const uint8_t* source, size_t count) {
    std::vector<uint8_t>& stage = *Work.Staging;
    platform::File& file = *Work.FileStream;
    const auto flush = [&] {
        file.Write(stage.data(), stage.size());
        stagedBytesWritten += stage.size();
        stage.clear();
    };
    if (count == 0) {
        if (!stage.empty()) {
            flush();
        }
        return;
    }
    while (count > 0) {
        if (stage.empty() && count >= kStageSize) {
            // A whole block goes out straight from the source, sparing a copy.
            file.Write(source, kStageSize);
            stagedBytesWritten += kStageSize;
            source += kStageSize;
            count -= kStageSize;
            continue;
        }
        const size_t take = std::min(count, kStageSize - stage.size());
        stage.insert(stage.end(), source, source + take);
        source += take;
        count -= take;
        if (stage.size() == kStageSize) {
            flush();
        }
    }
}

uint64_t StagedBytesWritten() {
    return stagedBytesWritten;
}

SaveProgress::SaveProgress(Tid3v2tag& tag, uint64_t total)
    : tag_(tag), total_(std::max<uint64_t>(total, 1)) {
    tag_.Progress = 10;
}

void SaveProgress::Add(uint64_t bytes) {
    done_ += bytes;
    tag_.Progress = static_cast<uint8_t>(std::min<uint64_t>(10 + 90 * done_ / total_, 100));
}

void WriteZeros(uint64_t count, SaveProgress& progress) {
    const uint8_t* zeros = Work.PaddingBlock->data();
    while (count > 0) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, kStageSize));
        WriteStaged(zeros, piece);
        count -= piece;
        progress.Add(piece);
    }
}

}  // namespace id3v2
