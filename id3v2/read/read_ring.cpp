// The read ring of a load: refills from the file, taking bytes, and the
// de-unsynchronisation of a version 3 body in place.
#include "id3v2/read/read_ring.h"

#include <algorithm>
#include <cstring>

#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "id3v2/work_state.h"
#include "platform/file.h"

namespace id3v2 {
namespace {

uint8_t& RingByte(uint32_t k) {
    return Work.Pages[k / kPageSize][k % kPageSize];
}
uint32_t RingAdd(uint32_t k, uint32_t n) {
    return (k + n) % kRingSize;
}

// Moves n ring bytes from `from` down to `to` (which lags behind), in pieces
// that stay inside one page on both sides.
void RingMove(uint32_t to, uint32_t from, uint32_t n) {
    while (n > 0) {
        const uint32_t piece =
            std::min({n, kPageSize - to % kPageSize, kPageSize - from % kPageSize});
        std::memmove(&RingByte(to), &RingByte(from), piece);
        to = RingAdd(to, piece);
        from = RingAdd(from, piece);
        n -= piece;
    }
}

// Body bytes still in the file, not yet copied into the ring.
uint32_t NotLoaded() {
    const int64_t bodyEnd = Work.TagStart + 10 + Work.BodySize;
    return static_cast<uint32_t>(bodyEnd - Work.FileStream->Position());
}

// Copies n file bytes to the ring at WritePos, in pieces that never cross a page.
uint32_t LoadIntoRing(uint32_t n) {
    uint32_t loaded = 0;
    while (loaded < n) {
        const uint32_t piece = std::min(n - loaded, kPageSize - Work.WritePos % kPageSize);
        // A page is created when the first byte is loaded into it, so a small
        // tag costs one page instead of four.
        auto& page = Work.Pages[Work.WritePos / kPageSize];
        if (!page) {
            page = std::make_unique_for_overwrite<uint8_t[]>(kPageSize);
        }
        Work.FileStream->ReadExact(&RingByte(Work.WritePos), piece);
        Work.WritePos = RingAdd(Work.WritePos, piece);
        Work.Available += piece;
        loaded += piece;
        UpdateLoadProgress();
    }
    return loaded;
}

void Refill() {
    // The last available byte is the look-ahead that the previous
    // de-unsynchronisation pass left unexamined; the next pass starts there.
    const uint32_t lookAhead = RingAdd(Work.WritePos, kRingSize - 1);
    const uint32_t loaded = LoadIntoRing(std::min(kRingSize - Work.Available, NotLoaded()));
    if (NotLoaded() == 0) {
        Work.AllLoaded = true;
    }
    if (Work.DeunsyncBody && loaded > 0) {
        Work.Available -= DeunsyncRing(lookAhead, RingAdd(lookAhead, loaded));
        Work.WritePos = RingAdd(Work.ReadPos, Work.Available);
    }
}

// Reads up to n body bytes past the ring straight from the file to the end of
// `destination`, once the ring has given out all it holds: a large frame, a
// picture most often, is then read once into the place it is kept instead of
// passing through the ring and being copied again. Only a body without
// unsynchronisation, whose file bytes are its bytes, is read past the ring.
// Returns the number read; 0 when the ring is to be used.
uint32_t ReadPastRing(std::vector<uint8_t>& destination, uint32_t n) {
    if (Work.DeunsyncBody || Work.Available != 0 || n < kPageSize) {
        return 0;
    }
    // In pieces of a ring's size, which stay in the cache between the zeros
    // the vector writes and the file bytes read over them.
    const uint32_t count = std::min({n, NotLoaded(), kRingSize});
    const size_t at = destination.size();
    destination.resize(at + count);
    Work.FileStream->ReadExact(destination.data() + at, count);
    if (NotLoaded() == 0) {
        Work.AllLoaded = true;
    }
    UpdateLoadProgress();
    return count;
}

}  // namespace

void FillRing(bool deunsync) {
    Work.AllLoaded = false;
    for (auto& page : Work.Pages) {
        page.reset();
    }
    Work.Available = 0;
    Work.ReadPos = 0;
    Work.WritePos = 0;
    LoadIntoRing(std::min(Work.BodySize, kRingSize));
    Work.WritePos = 0;
    if (Work.BodySize < kRingSize) {
        Work.AllLoaded = true;
    }
    Work.DeunsyncBody = deunsync;
    Work.DeunsyncPrevious = 0;
    if (Work.DeunsyncBody && Work.Available > 0) {
        Work.Available -= DeunsyncRing(0, Work.Available - 1);
    }
    Work.Remaining = NotLoaded() + Work.Available;
    Work.WritePos = Work.Available % kRingSize;
    UpdateLoadProgress();
}

uint32_t ReadBody(std::vector<uint8_t>& destination, uint32_t n) {
    destination.reserve(destination.size() + std::min(n, Work.Remaining));
    uint32_t taken = 0;
    while (taken < n) {
        if (const uint32_t direct = ReadPastRing(destination, n - taken); direct > 0) {
            taken += direct;
            continue;
        }
        uint32_t chunk = std::min(n - taken, kPageSize - Work.ReadPos % kPageSize);
        // Until the whole body is loaded the ring keeps two bytes of look-ahead,
        // which the de-unsynchronisation of the next refill examines again. A
        // body without it gives out every byte and refills only when empty.
        const uint32_t keep = Work.AllLoaded || !Work.DeunsyncBody ? 0 : 2;
        if (!Work.AllLoaded && (keep == 0 ? Work.Available == 0 : chunk + keep > Work.Available)) {
            Refill();
        }
        if (Work.Available <= keep) {
            break;
        }
        chunk = std::min(chunk, Work.Available - keep);
        const uint8_t* from = &RingByte(Work.ReadPos);
        destination.insert(destination.end(), from, from + chunk);
        Work.Available -= chunk;
        Work.ReadPos = RingAdd(Work.ReadPos, chunk);
        taken += chunk;
    }
    Work.Remaining = NotLoaded() + Work.Available;
    return taken;
}

uint32_t SkipBody(uint32_t n) {
    const uint32_t fromRing = std::min(n, Work.Available);
    Work.Available -= fromRing;
    Work.ReadPos = RingAdd(Work.ReadPos, fromRing);
    const uint32_t fromFile = std::min(n - fromRing, NotLoaded());
    Work.FileStream->Seek(Work.FileStream->Position() + fromFile);
    if (NotLoaded() == 0) {
        Work.AllLoaded = true;
    }
    Work.Remaining = NotLoaded() + Work.Available;
    UpdateLoadProgress();
    return fromRing + fromFile;
}

bool Take(uint32_t n) {
    Work.ScratchStream->clear();
    return ReadBody(*Work.ScratchStream, n) == n;
}

int64_t TakenOffset() {
    return Work.FileStream->Position() - Work.TagStart - Work.Available;
}

void UpdateLoadProgress() {
    Tid3v2tag& tag = *Work.CurrentTag;
    const int64_t done = Work.FileStream->Position() - Work.TagStart;
    tag.Progress = static_cast<uint8_t>(done * 100 / (int64_t{tag.TagSize} + 10));
}

// Works in runs that end at a 0xFF, found with memchr, so that bytes far from
// any 0xFF are examined once by a fast scan and moved at most once.
uint32_t DeunsyncRing(uint32_t first, uint32_t last) {
    uint32_t removed = 0;
    uint32_t out = first;
    uint32_t k = first;
    bool afterFF = Work.DeunsyncPrevious == 0xFF;
    while (k != last) {
        if (afterFF && RingByte(k) == 0x00 && NeedsUnsyncByte(RingByte(RingAdd(k, 1)))) {
            ++removed;
            afterFF = false;
            k = RingAdd(k, 1);
            continue;
        }
        // The run: from k through the next 0xFF, within k's page and before last.
        const uint32_t toLast = (last + kRingSize - k) % kRingSize;
        const uint32_t span = std::min(kPageSize - k % kPageSize, toLast);
        const uint8_t* start = &RingByte(k);
        const auto* ff = static_cast<const uint8_t*>(std::memchr(start, 0xFF, span));
        const uint32_t run = ff != nullptr ? static_cast<uint32_t>(ff - start) + 1 : span;
        afterFF = ff != nullptr;
        if (removed > 0) {
            RingMove(out, k, run);
        }
        out = RingAdd(out, run);
        k = RingAdd(k, run);
    }
    Work.DeunsyncPrevious = afterFF ? 0xFF : 0x00;
    RingByte(out) = RingByte(last);
    return removed;
}

}  // namespace id3v2
