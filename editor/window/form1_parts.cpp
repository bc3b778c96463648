// The parts of the window: each is created here, once the command menu and the
// rows exist, and reaches the page only through page_.
#include "editor/window/form1.h"

void TForm1::CreateParts() {
    naming_ = std::make_unique<TNamingPart>(page_);
}
