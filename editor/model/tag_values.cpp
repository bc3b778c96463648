// Year frames and "no value" texts of a row's ID3v2 values.
#include "editor/model/tag_values.h"

#include <algorithm>
#include <optional>

#include "editor/model/page_logic.h"

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

namespace {

std::string WithoutBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<int> NumberIn(const std::string& text, int maximum) {
    const std::optional<int> number = page_logic::WholeNumber(text);
    if (number && *number >= 1 && *number <= maximum) {
        return number;
    }
    return std::nullopt;
}

// The track and total of a track text in its written form ("+3/ 12" gives
// "3/12"); nothing when the text is no track within the maximum, or its total
// none within the maximum or kMaxTrack. A slash without a total ("3/") is no
// track: it is what typing leaves halfway.
std::optional<std::string> TrackForm(const std::string& text, int maximum) {
    const std::string track = WithoutBlanks(text);
    const size_t slash = track.find('/');
    const std::optional<int> number = NumberIn(track.substr(0, slash), maximum);
    if (!number) {
        return std::nullopt;
    }
    if (slash == std::string::npos) {
        return std::to_string(*number);
    }
    const std::optional<int> of =
        NumberIn(WithoutBlanks(track.substr(slash + 1)), std::max(maximum, kMaxTrack));
    if (!of) {
        return std::nullopt;
    }
    return std::to_string(*number) + "/" + std::to_string(*of);
}

}  // namespace

bool YearValid(const std::string& text) {
    const std::string year = WithoutBlanks(text);
    return year.empty() || NumberIn(year, kMaxYear).has_value();
}

bool TrackValid(const std::string& text, int maximum) {
    return WithoutBlanks(text).empty() || TrackForm(text, maximum).has_value();
}

std::string YearText(const std::string& text) {
    const std::string year = WithoutBlanks(text);
    const std::optional<int> number = NumberIn(year, kMaxYear);
    return number ? std::to_string(*number) : year;
}

std::string TrackText(const std::string& text) {
    return TrackForm(text, kMaxTrack).value_or(WithoutBlanks(text));
}

std::string GenreText(const std::string& genre) {
    return genre.find_first_not_of(' ') == std::string::npos ? std::string() : genre;
}

std::string CommentLanguage(const std::string& stored) {
    constexpr size_t kLanguageLength = 3;
    return stored.size() == kLanguageLength ? stored : "eng";
}

}  // namespace tag_values
