// The table of 150 genre names; a name's position is its ID3v1 genre byte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

using TGenreList = std::array<std::string, 150>;

// The table, built once on first use.
const TGenreList& GenreList();
// The name at that position; " " for 149 to 255.
std::string GenreName(uint8_t genre);
// The first position whose name equals the text without regard to case; 255 for none.
uint8_t GenreByte(const std::string& text);
// The genre number an ID3v2 genre text refers to: "(17)" and "(17)Rock" as
// version 3 writes them, "17" as version 4 does; nothing for any other text or
// a number past 255.
std::optional<uint8_t> GenreReference(const std::string& text);
// The byte a genre text is stored as in a record: the number it refers to,
// otherwise GenreByte of the text.
uint8_t RecordGenreByte(const std::string& text);
// The comparison GenreByte uses: ISO-8859-1 texts equal once A-Z and the accented
// capitals 0xC0-0xDE (not 0xD7) are folded to their lower-case forms.
bool EqualIgnoringCase(const std::string& a, const std::string& b);
