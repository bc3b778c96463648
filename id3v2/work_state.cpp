// The module-level work state of loads and saves.
#include "id3v2/work_state.h"

namespace id3v2 {

WorkState Work;

void ReleaseWorkState() {
    Work.FileStream.reset();
    Work.ScratchStream.reset();
    for (auto& page : Work.Pages) {
        page.reset();
    }
    Work.WorkBuffer.reset();
    Work.Staging.reset();
    Work.PaddingBlock.reset();
}

}  // namespace id3v2
