// The audio move of a save: the chunk plan, the steps forward, their undo
// after a failure, and carrying them on after a kill.
#include "id3v2/write/audio_move.h"

#include <algorithm>
#include <cstdlib>

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
    RelayRun(const RelayJob& job, SaveProgress& progress)
        : job_(job), plan_(job.plan), file_(job.file), progress_(progress), buffer_(plan_.chunk) {}

    void Forward() {
        if (plan_.Growth() > 0 && plan_.Audio() > 0) {
            Announce({RelayPhase::Appending, 0, 0, {}});
            Append();
            Done();
        }
        Continue(0);
    }

    // Chunks from `first` on, then the tag and the end of the file.
    void Continue(uint64_t first) {
        moved_ = first;
        for (uint64_t k = first; k < plan_.ChunkCount(); ++k) {
            MoveOne(k);
        }
        Announce({RelayPhase::WritingTag, moved_, 0, {}});
        progress_.Say("Writing new tag");
        tagStarted_ = true;
        WriteAt(plan_.start, job_.newTag.data(), job_.newTag.size());
        progress_.Add(job_.newTag.size());
        if (plan_.NewFileSize() < file_.Size()) {
            file_.Truncate(plan_.NewFileSize());
            Flush();
        }
        Done();
    }

    // Takes back every step done, the last first.
    void Undo() {
        if (inFlight_) {
            // The chunk being written is still whole in the buffer.
            const MoveChunk chunk = plan_.Chunk(moved_);
            WriteAt(chunk.from, buffer_.data(), chunk.count);
            inFlight_ = false;
        }
        while (moved_ > 0) {
            UndoOne(moved_ - 1);
        }
        if (tagStarted_ || movedAny_) {
            Announce({RelayPhase::Moving, 0, 0, {}});
            CopyTailBack();
            WriteAt(plan_.start, job_.oldTag.data(), job_.oldTag.size());
        }
        // A failed write may have grown the file without this object knowing.
        if (plan_.Growth() > 0) {
            Announce({RelayPhase::Appending, 0, 0, {}});
            file_.Truncate(plan_.fileSize);
            Flush();
        }
    }

    // Brings the file to the state `step` recorded, then finishes the move.
    bool Resume(const RelayStep& step) {
        if (step.phase == RelayPhase::Appending) {
            file_.Truncate(plan_.fileSize);
            Flush();
            return false;
        }
        WriteAt(step.restoreAt, step.restore.data(), step.restore.size());
        Continue(step.phase == RelayPhase::WritingTag ? plan_.ChunkCount() : step.moved);
        return true;
    }

  private:
    // Records the step, then lets the test seam see it.
    void Announce(const RelayStep& step) {
        if (job_.log != nullptr) {
            job_.log->Record(step);
        }
        last_ = step;
        CallHook();
    }
    void Done() { CallHook(); }
    void CallHook() {
        ++calls_;
        if (stepHook != nullptr) {
            stepHook(calls_, last_);
        }
    }

    void Flush() {
        if (job_.durable) {
            file_.DataSync();
        }
    }

    // Writes through the staged output and flushes, so that the next step
    // starts with the write done.
    void WriteAt(int64_t offset, const uint8_t* bytes, size_t count) {
        if (count == 0) {
            return;
        }
        file_.Seek(offset);
        WriteStaged(bytes, count);
        WriteStaged(nullptr, 0);
        Flush();
    }

    // The filler and the copy of the audio's end behind the end of the file.
    void Append() {
        const auto tail = static_cast<int64_t>(plan_.Tail());
        file_.Seek(plan_.fileSize);
        WriteZeros(plan_.Filler(), progress_);
        WriteStaged(nullptr, 0);
        for (int64_t done = 0; done < tail;) {
            const auto piece = static_cast<size_t>(std::min<int64_t>(tail - done, plan_.chunk));
            ReadChunk(file_, plan_.fileSize - tail + done, buffer_.data(), piece);
            WriteStaged(buffer_.data(), piece);
            done += static_cast<int64_t>(piece);
            progress_.Add(piece);
        }
        WriteStaged(nullptr, 0);
        Flush();
    }

    // The move and the tag may cover the old place of the audio's end; its copy
    // behind the end of the file goes back there.
    void CopyTailBack() {
        const auto tail = static_cast<int64_t>(plan_.Tail());
        const int64_t copy = plan_.fileSize + static_cast<int64_t>(plan_.Filler());
        for (int64_t done = 0; done < tail;) {
            const auto piece = static_cast<size_t>(std::min<int64_t>(tail - done, plan_.chunk));
            ReadChunk(file_, copy + done, buffer_.data(), piece);
            WriteAt(plan_.fileSize - tail + done, buffer_.data(), piece);
            done += static_cast<int64_t>(piece);
        }
    }

    void MoveOne(uint64_t k) {
        const MoveChunk chunk = plan_.Chunk(k);
        ReadChunk(file_, chunk.from, buffer_.data(), chunk.count);
        const Overlap overlap = OverlapOf(chunk);
        inFlight_ = true;
        Announce({RelayPhase::Moving,
                  k,
                  overlap.at,
                  {buffer_.data() + (overlap.at - chunk.from), overlap.length}});
        movedAny_ = true;
        WriteAt(chunk.to, buffer_.data(), chunk.count);
        inFlight_ = false;
        moved_ = k + 1;
        progress_.Add(chunk.count);
        Done();
    }

    // Brings chunk k back to its old place; its new place stays whole until the
    // write, which is what the step records.
    void UndoOne(uint64_t k) {
        const MoveChunk chunk = plan_.Chunk(k);
        ReadChunk(file_, chunk.to, buffer_.data(), chunk.count);
        const Overlap overlap = OverlapOf(chunk);
        Announce({RelayPhase::Moving,
                  k + 1,
                  overlap.at,
                  {buffer_.data() + (overlap.at - chunk.to), overlap.length}});
        WriteAt(chunk.from, buffer_.data(), chunk.count);
        moved_ = k;
        Done();
    }

    const RelayJob& job_;
    const Relayout& plan_;
    File& file_;
    SaveProgress& progress_;
    std::vector<uint8_t> buffer_;
    uint64_t moved_ = 0;     // chunks at their new place
    bool inFlight_ = false;  // chunk moved_ is being written
    bool movedAny_ = false;
    bool tagStarted_ = false;
    RelayStep last_;
    uint64_t calls_ = 0;
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
    return (moving + chunk - 1) / chunk;
}

MoveChunk Relayout::Chunk(uint64_t index) const {
    const uint64_t moving = static_cast<uint64_t>(Audio()) - Tail();
    uint64_t offset = index * chunk;
    const auto count = static_cast<uint32_t>(std::min<uint64_t>(chunk, moving - offset));
    if (Growth() > 0) {
        offset = moving - offset - count;
    }
    const int64_t from = start + oldSize + static_cast<int64_t>(offset);
    return {from, from + Growth(), count};
}

MoveChunk Relayout::FirstLanding(uint32_t most) const {
    if (ChunkCount() == 0) {
        return {};
    }
    const MoveChunk first = Chunk(0);
    const auto count = static_cast<uint32_t>(
        std::min<uint64_t>({most, first.count, static_cast<uint64_t>(std::abs(Growth()))}));
    // A growing tag moves the chunk past its old place, a shrinking one before it.
    const int64_t from = Growth() > 0 ? first.from + first.count - count : first.from;
    return {from, from + Growth(), count};
}

uint64_t Relayout::RelayedBytes() const {
    return MovesAudio() ? static_cast<uint64_t>(Audio()) + Filler() : 0;
}

void SetStepHook(StepHook hook) {
    stepHook = hook;
}

void RelayAndWriteTag(const RelayJob& job, SaveProgress& progress, bool& restored) {
    const Relayout& plan = job.plan;
    restored = true;
    // Every place the save or its undo writes: with audio moving, everything
    // from the tag on; otherwise the old and the new tag's room.
    const int64_t reserveEnd =
        plan.MovesAudio()
            ? std::max(plan.fileSize, plan.NewFileSize())
            : plan.start + static_cast<int64_t>(std::max<uint64_t>(plan.oldSize, plan.newSize));
    job.file.Reserve(plan.start, reserveEnd - plan.start);
    RelayRun run(job, progress);
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

bool ResumeRelay(const RelayJob& job, const RelayStep& from, SaveProgress& progress) {
    RelayRun run(job, progress);
    return run.Resume(from);
}

}  // namespace id3v2
