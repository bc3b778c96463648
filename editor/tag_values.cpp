// Year frames and "no value" texts of a row's ID3v2 values.
#include "editor/tag_values.h"

#include <algorithm>

namespace tag_values {

std::string YearFrame(uint8_t majorVersion) {
    return majorVersion == 4 ? "TDRC" : "TYER";
}

std::string OtherYearFrame(uint8_t majorVersion) {
    return majorVersion == 4 ? "TYER" : "TDRC";
}

std::string YearOfTimestamp(const std::string& timestamp, bool& whole) {
    constexpr size_t kYearDigits = 4;
    const bool year = timestamp.size() >= kYearDigits &&
                      std::all_of(timestamp.begin(), timestamp.begin() + kYearDigits,
                                  [](char c) { return c >= '0' && c <= '9'; });
    if (!year) {
        whole = true;
        return timestamp;
    }
    whole = timestamp.size() == kYearDigits;
    return timestamp.substr(0, kYearDigits);
}

std::string YearText(int year) {
    return year == -1 ? std::string() : std::to_string(year);
}

std::string TrackText(int track) {
    return track == -1 || track == 0 ? std::string() : std::to_string(track);
}

std::string GenreText(const std::string& genre) {
    return genre.find_first_not_of(' ') == std::string::npos ? std::string() : genre;
}

}  // namespace tag_values
