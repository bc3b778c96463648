// The genre table and the lookups between a genre byte and its name.
#include "id3v1/genres.h"

#include <algorithm>

namespace {

// Latin-1 capitals lie 0x20 below their lower-case forms; 0xD7 is the
// multiplication sign and 0xDF has no capital, so neither folds.
unsigned char FoldCase(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<unsigned char>(c + 0x20);
    }
    return c;
}

}  // namespace

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return FoldCase(static_cast<unsigned char>(x)) == FoldCase(static_cast<unsigned char>(y));
    });
}

const TGenreList& GenreList() {
    // From 123 on every name sits one position higher than in the common extended
    // list, because "Rock" and "Punk" repeat at 121 and 122; files depend on these numbers.
    // clang-format off
    static const TGenreList list{
        /*   0 */ "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
        /*   8 */ "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae",
        /*  17 */ "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
        /*  24 */ "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk",
        /*  30 */ "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
        /*  37 */ "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul", "Punk", "Space",
        /*  45 */ "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
        /*  50 */ "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
        /*  56 */ "Southern Rock", "Comedy", "Cult", "Gangsta Rap", "Top 40", "Christian Rap",
        /*  62 */ "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic",
        /*  68 */ "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz",
        /*  75 */ "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock",
        /*  82 */ "National Folk", "Swing", "Fast-Fusion", "Bebob", "Latin", "Revival", "Celtic",
        /*  89 */ "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
        /*  94 */ "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
        /* 100 */ "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony",
        /* 107 */ "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango",
        /* 114 */ "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",
        /* 120 */ "Duet", "Rock", "Punk", "Drum Solo", "A Cappella", "Euro-House", "Dance Hall",
        /* 127 */ "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop",
        /* 134 */ "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
        /* 139 */ "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock",
        /* 143 */ "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop", " "
    };
    // clang-format on
    return list;
}

std::string GenreName(uint8_t genre) {
    const TGenreList& list = GenreList();
    // Position 149 is the blank entry, so every byte past the table reads as it.
    return genre < list.size() ? list[genre] : list.back();
}

uint8_t GenreByte(const std::string& text) {
    const TGenreList& list = GenreList();
    const auto match = std::ranges::find_if(
        list, [&text](const std::string& name) { return EqualIgnoringCase(name, text); });
    return match == list.end() ? 255 : static_cast<uint8_t>(match - list.begin());
}

std::optional<uint8_t> GenreReference(const std::string& text) {
    const bool parenthesised = !text.empty() && text.front() == '(';
    const size_t first = parenthesised ? 1 : 0;
    size_t end = first;
    unsigned number = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9' && end - first < 3) {
        number = number * 10 + static_cast<unsigned>(text[end] - '0');
        ++end;
    }
    // "(17)" may be followed by a refinement; a plain number must stand alone.
    const bool closed = parenthesised ? end < text.size() && text[end] == ')' : end == text.size();
    if (end == first || !closed || number > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(number);
}

uint8_t RecordGenreByte(const std::string& text) {
    return GenreReference(text).value_or(GenreByte(text));
}
