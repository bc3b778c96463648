// The tag object's lifetime and its fresh start; loading, text access and
// saving live beside it.
#include <utility>

#include "id3v2/id3v2.h"

Tid3v2tag::~Tid3v2tag() {
    Frames.ClearFrames();
}

// Everything not named here is reset, so a field added later starts fresh too.
void Tid3v2tag::StartFreshTag() {
    Tid3v2tag fresh;
    fresh.ReadOnlyFile = ReadOnlyFile;
    fresh.FileName = std::move(FileName);
    fresh.Complete = Complete;
    fresh.Progress = Progress;
    fresh.Status = std::move(Status);
    fresh.AcceptRevisions = AcceptRevisions;
    fresh.AdjustFlags = AdjustFlags;
    fresh.PruneFrames = PruneFrames;
    fresh.CompressionLevel = CompressionLevel;
    fresh.PaddingMode = PaddingMode;
    fresh.PaddingBlock = PaddingBlock;
    fresh.PaddingLimit = PaddingLimit;
    fresh.SyncEvery = SyncEvery;
    fresh.KeepModificationTime = KeepModificationTime;
    *this = std::move(fresh);
}
