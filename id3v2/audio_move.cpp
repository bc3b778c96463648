// The audio move of a save: chunked copies in the safe direction for overlaps.
#include "id3v2/audio_move.h"

#include <algorithm>

#include "id3v2/work_state.h"

namespace id3v2 {
namespace {

using platform::File;

void ReadChunk(const File& file, int64_t offset, uint8_t* buffer, size_t count) {
    if (file.ReadAt(offset, buffer, count) != count) {
        throw platform::ReadError("Cannot read " + file.Path() + ": unexpected end of file");
    }
}

// Copies first chunk first; safe when the target lies below the source.
void CopyForward(File& file, int64_t from, int64_t to, uint64_t count, SaveProgress& progress) {
    uint8_t* buffer = Work.WorkBuffer->data();
    file.Seek(to);
    for (uint64_t done = 0; done < count;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count - done, kStageSize));
        ReadChunk(file, from + static_cast<int64_t>(done), buffer, piece);
        WriteStaged(buffer, piece);
        done += piece;
        progress.Add(piece);
    }
    WriteStaged(nullptr, 0);
}

// Copies last chunk first; safe when the target lies above the source.
void CopyBackward(File& file, int64_t from, int64_t to, uint64_t count, SaveProgress& progress) {
    uint8_t* buffer = Work.WorkBuffer->data();
    for (uint64_t left = count; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kStageSize));
        left -= piece;
        ReadChunk(file, from + static_cast<int64_t>(left), buffer, piece);
        file.Seek(to + static_cast<int64_t>(left));
        WriteStaged(buffer, piece);
        WriteStaged(nullptr, 0);
        progress.Add(piece);
    }
}

// Appends the filler and the last `tail` audio bytes behind the end of the
// file. On failure the file gets its old size back; the failure itself is
// what is reported.
void AppendTail(File& file, int64_t fileSize, int64_t filler, int64_t tail,
                SaveProgress& progress) {
    try {
        file.Seek(fileSize);
        WriteZeros(static_cast<uint64_t>(filler), progress);
        WriteStaged(nullptr, 0);
        CopyForward(file, fileSize - tail, fileSize + filler, static_cast<uint64_t>(tail),
                    progress);
    } catch (const platform::IoError&) {
        try {
            Work.Staging->clear();
            file.Truncate(fileSize);
        } catch (const platform::IoError&) {
        }
        throw;
    }
}

}  // namespace

void RelayAudio(File& file, int64_t start, int64_t fileSize, uint32_t oldSize, uint64_t newSize,
                SaveProgress& progress) {
    const int64_t audio = fileSize - start - oldSize;
    const int64_t growth = static_cast<int64_t>(newSize) - oldSize;
    if (audio > 0 && growth > 0) {
        const int64_t tail = std::min(growth, audio);
        AppendTail(file, fileSize, growth - tail, tail, progress);
        CopyBackward(file, start + oldSize, start + static_cast<int64_t>(newSize),
                     static_cast<uint64_t>(audio - tail), progress);
    } else if (audio > 0 && growth < 0) {
        CopyForward(file, start + oldSize, start + static_cast<int64_t>(newSize),
                    static_cast<uint64_t>(audio), progress);
        file.Truncate(fileSize + growth);
    } else if (growth < 0) {
        file.Truncate(fileSize + growth);
    }
}

uint64_t RelayedBytes(int64_t start, int64_t fileSize, uint32_t oldSize, uint64_t newSize) {
    const int64_t audio = fileSize - start - oldSize;
    const int64_t growth = static_cast<int64_t>(newSize) - oldSize;
    const uint64_t moved = audio > 0 && growth != 0 ? static_cast<uint64_t>(audio) : 0;
    const uint64_t filler = audio > 0 && growth > audio ? static_cast<uint64_t>(growth - audio) : 0;
    return moved + filler;
}

}  // namespace id3v2
