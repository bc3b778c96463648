// What a journal may hold: the plan, the tag and the steps of a move that a
// save makes. The journal folder belongs to the user, and any program of
// theirs can put a file there; a recovery takes nothing else from it, so that
// no journal makes it write where a save of its file would not.
#pragma once

#include <cstdint>
#include <vector>

#include "id3v2/write/audio_move.h"

namespace id3v2 {

// Whether the plan is one a save makes: a tag offset a save takes, sizes that
// add up without overflow, audio to move, and a chunk size a save uses. Each
// value is checked against its limits before any arithmetic takes it.
bool SavePlan(const Relayout& plan);

// Whether the tag is the whole tag the plan puts in place.
bool PlannedTag(const Relayout& plan, const std::vector<uint8_t>& tag);

// Whether the step is one of the plan's move, its bytes to restore (`length`
// of them at restoreAt) lying where the move writes; a step with none has an
// offset inside the file all the same.
bool PlannedStep(const Relayout& plan, RelayPhase phase, uint64_t moved, int64_t restoreAt,
                 uint32_t length);

}  // namespace id3v2
