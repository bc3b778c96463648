// The tag object's lifetime; loading, text access and saving live beside it.
#include "id3v2/id3v2.h"

Tid3v2tag::~Tid3v2tag() {
    Frames.ClearFrames();
}
