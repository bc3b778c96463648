// How a row's year, track and genre go between the fields and the frames of an
// ID3v2 tag: which frame holds the year in each version, and which field
// values mean "no value" and so remove their frame.
#pragma once

#include <cstdint>
#include <string>

namespace tag_values {

// The year frame a tag of this version writes: TDRC in version 4, TYER in 3.
std::string YearFrame(uint8_t majorVersion);
// The year frame of the other version, removed when the year is written.
std::string OtherYearFrame(uint8_t majorVersion);

// The year a TDRC timestamp ("2019", "2019-05-01T10:00") shows: its first four
// characters when they are digits, else the whole text. `whole` tells whether
// that is all of the timestamp.
std::string YearOfTimestamp(const std::string& timestamp, bool& whole);

// The frame texts of the field values; empty, which removes the frame, for
// "no value": a year of -1, a track of 0 or -1, a genre of blanks only.
std::string YearText(int year);
std::string TrackText(int track);
std::string GenreText(const std::string& genre);

}  // namespace tag_values
