// How a row's year, track, genre and comment go between the fields and the
// tags: which frame holds the year in each version, which field values mean
// "no value" and so remove their frame, which numbers a tag may hold, and the
// language a comment is written with.
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

// The highest year and track numbers a tag holds; the lowest is 1.
constexpr int kMaxYear = 9999;
constexpr int kMaxTrack = 999;
constexpr int kMaxRecordTrack = 255;

// True when a year field's text may be written: empty (no year) or a whole
// number from 1 to kMaxYear. Blanks around the text do not count.
bool YearValid(const std::string& text);
// True when a track field's text may be written: empty (no track), or a track
// number from 1 to maximum, alone or with a total of 1 to maximum or kMaxTrack,
// whichever is more ("3/12").
bool TrackValid(const std::string& text, int maximum);

// The frame texts of the field texts: a valid number in its plain form ("+7"
// gives "7", " 3/ 12" gives "3/12"); empty, which removes the frame, for "no
// value": an empty field, a genre of blanks.
std::string YearText(const std::string& text);
std::string TrackText(const std::string& text);
std::string GenreText(const std::string& genre);

// The language an edited comment is written with: the one of the comment it
// replaces, or "eng" for a new comment.
std::string CommentLanguage(const std::string& stored);

}  // namespace tag_values
