// The audio move of a save: the chunk plan, the steps forward, and their undo
// after a failure.
#include "id3v2/audio_move.h"

#include <algorithm>

#include "id3v2/work_state.h"

namespace id3v2 {
namespace {

using platform::File;

StepHook stepHook = nullptr;

void ReadChunk(const File& file, int64_t offset, uint8_t* buffer, size_t count) {
    if (file.ReadAt(offset, buffer, count) != count) {
        throw platform::ReadError("Cannot read " + file.Path() + ": unexpected end of file");
    }
}

// Writes count bytes at offset through the staged output and flushes them, so
// the next step starts with the write done.
void WriteAt(File& file, int64_t offset, const uint8_t* bytes, size_t count) {
    file.Seek(offset);
    WriteStaged(bytes, count);
    WriteStaged(nullptr, 0);
}

// The part of a chunk's new place that overlaps its old place: the bytes the
// write covers that are still needed where they are.
struct Overlap {
    int64_t at = 0;
    uint32_t length = 0;
};
Overlap OverlapOf(const MoveChunk& chunk) {
    const int64_t begin = std::max(chunk.from, chunk.to);
    const int64_t end = std::min(chunk.from, chunk.to) + chunk.count;
    return end > begin ? Overlap{begin, static_cast<uint32_t>(end - begin)} : Overlap{};
}

// One relayout, step by step. It knows how far it got, so that a failure can
// take back exactly what was done.
class RelayRun {
  public:
    RelayRun(File& file, const Relayout& plan, const std::vector<uint8_t>& oldTag,
             const std::vector<uint8_t>& newTag, SaveProgress& progress)
        : file_(file),
          plan_(plan),
          oldTag_(oldTag),
          newTag_(newTag),
          progress_(progress),
          buffer_(Work.WorkBuffer->data()) {}

    void Forward() {
        if (plan_.Growth() > 0 && plan_.Audio() > 0) {
            Step(RelayPhase::Appending, 0);
            Append();
        }
        for (uint64_t k = 0; k < plan_.ChunkCount(); ++k) {
            MoveOne(k);
        }
        Step(RelayPhase::WritingTag, moved_);
        progress_.Say("Writing new tag");
        tagStarted_ = true;
        WriteAt(file_, plan_.start, newTag_.data(), newTag_.size());
        progress_.Add(newTag_.size());
        if (plan_.NewFileSize() < file_.Size()) {
            file_.Truncate(plan_.NewFileSize());
        }
    }

    // Takes back every step done, the last first.
    void Undo() {
        if (inFlight_) {
            // The chunk being written is still whole in the buffer.
            const MoveChunk chunk = plan_.Chunk(moved_);
            WriteAt(file_, chunk.from, buffer_, chunk.count);
            inFlight_ = false;
        }
        while (moved_ > 0) {
            UndoOne(moved_ - 1);
        }
        if (tagStarted_ || movedAny_) {
            Step(RelayPhase::Moving, 0);
            CopyTailBack();
            WriteAt(file_, plan_.start, oldTag_.data(), oldTag_.size());
        }
        // A failed write may have grown the file without this object knowing.
        if (plan_.Growth() > 0) {
            Step(RelayPhase::Appending, 0);
            file_.Truncate(plan_.fileSize);
        }
    }

  private:
    void Step(RelayPhase phase, uint64_t moved, Overlap restore = {},
              const uint8_t* restoreBytes = nullptr) {
        const RelayStep step{phase, moved, restore.at, {restoreBytes, restore.length}};
        ++steps_;
        if (stepHook != nullptr) {
            stepHook(steps_, step);
        }
    }

    // The filler and the copy of the audio's end behind the end of the file.
    void Append() {
        const int64_t tail = static_cast<int64_t>(plan_.Tail());
        file_.Seek(plan_.fileSize);
        WriteZeros(plan_.Filler(), progress_);
        WriteStaged(nullptr, 0);
        for (int64_t done = 0; done < tail;) {
            const auto piece = static_cast<size_t>(std::min<int64_t>(tail - done, kMoveChunk));
            ReadChunk(file_, plan_.fileSize - tail + done, buffer_, piece);
            WriteStaged(buffer_, piece);
            done += static_cast<int64_t>(piece);
            progress_.Add(piece);
        }
        WriteStaged(nullptr, 0);
    }

    // The move and the tag may cover the old place of the audio's end; its copy
    // behind the end of the file goes back there.
    void CopyTailBack() {
        const auto tail = static_cast<int64_t>(plan_.Tail());
        const int64_t copy = plan_.fileSize + static_cast<int64_t>(plan_.Filler());
        for (int64_t done = 0; done < tail;) {
            const auto piece = static_cast<size_t>(std::min<int64_t>(tail - done, kMoveChunk));
            ReadChunk(file_, copy + done, buffer_, piece);
            WriteAt(file_, plan_.fileSize - tail + done, buffer_, piece);
            done += static_cast<int64_t>(piece);
        }
    }

    void MoveOne(uint64_t k) {
        const MoveChunk chunk = plan_.Chunk(k);
        ReadChunk(file_, chunk.from, buffer_, chunk.count);
        const Overlap overlap = OverlapOf(chunk);
        inFlight_ = true;
        Step(RelayPhase::Moving, k, overlap, buffer_ + (overlap.at - chunk.from));
        movedAny_ = true;
        WriteAt(file_, chunk.to, buffer_, chunk.count);
        inFlight_ = false;
        moved_ = k + 1;
        progress_.Add(chunk.count);
    }

    // Brings chunk k back to its old place; its new place stays whole until the
    // write, which is what the step records.
    void UndoOne(uint64_t k) {
        const MoveChunk chunk = plan_.Chunk(k);
        ReadChunk(file_, chunk.to, buffer_, chunk.count);
        const Overlap overlap = OverlapOf(chunk);
        Step(RelayPhase::Moving, k + 1, overlap, buffer_ + (overlap.at - chunk.to));
        WriteAt(file_, chunk.from, buffer_, chunk.count);
        moved_ = k;
    }

    File& file_;
    const Relayout& plan_;
    const std::vector<uint8_t>& oldTag_;
    const std::vector<uint8_t>& newTag_;
    SaveProgress& progress_;
    uint8_t* buffer_;
    uint64_t moved_ = 0;     // chunks at their new place
    bool inFlight_ = false;  // chunk moved_ is being written
    bool movedAny_ = false;
    bool tagStarted_ = false;
    uint64_t steps_ = 0;
};

}  // namespace

uint64_t Relayout::Tail() const {
    return Growth() > 0 && Audio() > 0 ? static_cast<uint64_t>(std::min(Growth(), Audio())) : 0;
}

uint64_t Relayout::Filler() const {
    return Growth() > Audio() && Audio() > 0 ? static_cast<uint64_t>(Growth() - Audio()) : 0;
}

uint64_t Relayout::ChunkCount() const {
    if (!MovesAudio()) {
        return 0;
    }
    const uint64_t moving = static_cast<uint64_t>(Audio()) - Tail();
    return (moving + kMoveChunk - 1) / kMoveChunk;
}

MoveChunk Relayout::Chunk(uint64_t index) const {
    const uint64_t moving = static_cast<uint64_t>(Audio()) - Tail();
    uint64_t offset = index * kMoveChunk;
    const auto count = static_cast<uint32_t>(std::min<uint64_t>(kMoveChunk, moving - offset));
    if (Growth() > 0) {
        offset = moving - offset - count;
    }
    const int64_t from = start + oldSize + static_cast<int64_t>(offset);
    return {from, from + Growth(), count};
}

uint64_t Relayout::RelayedBytes() const {
    return MovesAudio() ? static_cast<uint64_t>(Audio()) + Filler() : 0;
}

void SetStepHook(StepHook hook) {
    stepHook = hook;
}

void RelayAndWriteTag(File& file, const Relayout& plan, const std::vector<uint8_t>& oldTag,
                      const std::vector<uint8_t>& newTag, SaveProgress& progress, bool& restored) {
    restored = true;
    // Every place the save or its undo writes: with audio moving, everything
    // from the tag on; otherwise the old and the new tag's room.
    const int64_t reserveEnd =
        plan.MovesAudio()
            ? std::max(plan.fileSize, plan.NewFileSize())
            : plan.start + static_cast<int64_t>(std::max<uint64_t>(plan.oldSize, plan.newSize));
    file.Reserve(plan.start, reserveEnd - plan.start);
    RelayRun run(file, plan, oldTag, newTag, progress);
    try {
        run.Forward();
    } catch (const platform::IoError&) {
        Work.Staging->clear();
        try {
            run.Undo();
        } catch (const platform::IoError&) {
            restored = false;
        }
        throw;
    }
}

}  // namespace id3v2
