// The module-level work state of loads and saves.
#include "id3v2/work_state.h"

#include "id3v2/write/staged_output.h"

namespace id3v2 {

WorkState Work;

void ReleaseWorkState() {
    Work.FileStream.reset();
    Work.Listing = false;
    Work.ScratchStream.reset();
    for (auto& page : Work.Pages) {
        page.reset();
    }
    Work.WorkBuffer.reset();
    Work.Staging.reset();
    Work.PaddingBlock.reset();
}

SaveBuffers::SaveBuffers() {
    Work.Staging = std::make_unique<std::vector<uint8_t>>();
    Work.Staging->reserve(kStageSize);
    Work.PaddingBlock = std::make_unique<std::vector<uint8_t>>(kStageSize, 0);
    Work.WorkBuffer = std::make_unique<std::vector<uint8_t>>(kStageSize);
}

SaveBuffers::~SaveBuffers() {
    Work.Staging.reset();
    Work.WorkBuffer.reset();
    Work.PaddingBlock.reset();
}

}  // namespace id3v2
