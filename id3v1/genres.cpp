// Genre table (to be written).
#include "id3v1/genres.h"

const TGenreList& GenreList() {
    static const TGenreList list{};
    return list;
}
std::string GenreName(uint8_t) { return " "; }
uint8_t GenreByte(const std::string&) { return 255; }
