// The tag object's lifetime and its fresh start; loading, text access and
// saving live beside it.
#include <utility>

#include "id3v2/id3v2.h"

Tid3v2tag::~Tid3v2tag() {
    Frames.ClearFrames();
}

// The settings stay as one unit; everything else not named here is reset, so a
// field added to the tag later starts fresh too.
void Tid3v2tag::StartFreshTag() {
    Tid3v2tag fresh;
    fresh.ReadOnlyFile = ReadOnlyFile;
    fresh.FileName = std::move(FileName);
    fresh.Complete = Complete;
    fresh.Progress = Progress;
    fresh.Status = std::move(Status);
    static_cast<Tid3v2settings&>(fresh) = *this;
    *this = std::move(fresh);
}
