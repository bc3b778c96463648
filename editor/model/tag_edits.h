// A row's edits set into a tag loaded to be saved: pictures, frame changes
// and added columns. Each refuses before it changes anything of the tag when
// the edit cannot be stored, so the file is then never written.
#pragma once

#include <cstdint>
#include <string>

#include "editor/model/row_model.h"

class Tid3v2tag;
class TFrameIndex;

namespace tag_edits {

// Brings the tag's pictures to those row k shows: new bytes replace a stored
// picture in its place, pictures no longer shown go, added ones come last. A
// stored picture the row shows unchanged is not touched. 0 when done.
uint8_t WritePictures(Tid3v2tag& tag, const rows::TRowModel& rows, int k);
// Applies frame changes to the frames of the tag as loaded. False, with
// nothing changed, when a change names a frame that is not in its place.
bool ApplyFrameChanges(TFrameIndex& frames, const rows::FrameChanges& changes);
// Sets the text frame `id` (a TXXX by its description) to the values of a
// field's text, separated by frames::kValueSeparator; empty text removes it.
// False when the text cannot be a value of the frame.
bool SetTextValues(Tid3v2tag& tag, const std::string& id, const std::string& description,
                   const std::string& text);
// Sets the values of row k's changed added columns into the tag's frames of
// its version. False, before anything of them is written, when a value cannot
// be stored.
bool WriteAddedColumns(Tid3v2tag& tag, const rows::TRowModel& rows, int k);

}  // namespace tag_edits
