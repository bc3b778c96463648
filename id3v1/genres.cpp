// The genre table, the lookups between a genre byte and its name, and the
// names shown for an ID3v2 genre text.
#include "id3v1/genres.h"

#include <algorithm>
#include <atomic>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

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
    // The numbering every other program reads and writes, its later additions
    // up to 191 included; each name stands once.
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
        /* 120 */ "Duet", "Punk Rock", "Drum Solo", "A Cappella", "Euro-House", "Dance Hall",
        /* 126 */ "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop",
        /* 133 */ "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
        /* 138 */ "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock",
        /* 142 */ "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop", "Abstract",
        /* 149 */ "Art Rock", "Baroque", "Bhangra", "Big Beat", "Breakbeat", "Chillout",
        /* 155 */ "Downtempo", "Dub", "EBM", "Eclectic", "Electro", "Electroclash", "Emo",
        /* 162 */ "Experimental", "Garage", "Global", "IDM", "Illbient", "Industro-Goth",
        /* 168 */ "Jam Band", "Krautrock", "Leftfield", "Lounge", "Math Rock", "New Romantic",
        /* 174 */ "Nu-Breakz", "Post-Punk", "Post-Rock", "Psytrance", "Shoegaze", "Space Rock",
        /* 180 */ "Trop Rock", "World Music", "Neoclassical", "Audiobook", "Audio Theatre",
        /* 185 */ "Neue Deutsche Welle", "Podcast", "Indie Rock", "G-Funk", "Dubstep",
        /* 190 */ "Garage Rock", "Psybient",
        /* no genre */ " "
    };
    // clang-format on
    return list;
}

namespace {

std::atomic<TGenreNumbering> numbering{TGenreNumbering::Standard};

// The old numbering: the common names up to "Duet", the repeats, then the
// common names from "Drum Solo" to "Synthpop".
const std::vector<std::string>& OldNumbering() {
    static const std::vector<std::string> names = [] {
        const TGenreList& list = GenreList();
        std::vector<std::string> old(list.begin(), list.begin() + 121);
        old.insert(old.end(), {"Rock", "Punk"});
        old.insert(old.end(), list.begin() + 122, list.begin() + 148);
        return old;
    }();
    return names;
}

// The names of the record's genre bytes, in byte order. Every lookup between
// byte and name goes through here, so another numbering is chosen in one place.
std::span<const std::string> Numbering() {
    if (numbering.load(std::memory_order_relaxed) == TGenreNumbering::Old) {
        return OldNumbering();
    }
    return {GenreList().data(), kGenreCount};
}

constexpr std::string_view kShownSeparator = ", ";

// The names other programs give a few genres, read as the same byte.
constexpr std::pair<const char*, uint8_t> kOtherSpellings[] = {
    {"AlternRock", 40},  {"Pop / Funk", 62}, {"Folk-Rock", 81},
    {"Fast Fusion", 84}, {"Bebop", 85},      {"Afro-Punk", 133},
};

// The name an ID3v2 genre reference stands for: a genre number, or the
// version-3 words "RX" and "CR".
std::optional<std::string> ReferencedName(const std::string& reference) {
    if (reference == "RX" || reference == "CR") {
        return reference == "RX" ? "Remix" : "Cover";
    }
    const std::optional<uint8_t> number = GenreReference(reference);
    if (!number || *number >= Numbering().size()) {
        return std::nullopt;
    }
    return Numbering()[*number];
}

std::vector<std::string> Split(const std::string& text, std::string_view separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end = text.find(separator); end != std::string::npos;
         start = end + separator.size(), end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

void AddShown(std::vector<std::string>& shown, const std::string& name) {
    const auto same = [&name](const std::string& other) { return EqualIgnoringCase(name, other); };
    if (!name.empty() && std::ranges::none_of(shown, same)) {
        shown.push_back(name);
    }
}

// One stored value: version 3's references in parentheses with an optional
// text after them ("((" starts a text that begins with "("), or version 4's
// lone reference.
void AddValue(std::vector<std::string>& shown, const std::string& value) {
    size_t at = 0;
    while (at < value.size() && value[at] == '(' && value.compare(at, 2, "((") != 0) {
        const size_t close = value.find(')', at);
        const std::optional<std::string> name =
            close == std::string::npos ? std::nullopt
                                       : ReferencedName(value.substr(at + 1, close - at - 1));
        if (!name) {
            break;
        }
        AddShown(shown, *name);
        at = close + 1;
    }
    const std::string rest =
        value.compare(at, 2, "((") == 0 ? value.substr(at + 1) : value.substr(at);
    AddShown(shown, at == 0 ? ReferencedName(rest).value_or(rest) : rest);
}

}  // namespace

void SetGenreNumbering(TGenreNumbering chosen) {
    numbering.store(chosen, std::memory_order_relaxed);
}

TGenreNumbering GenreNumbering() {
    return numbering.load(std::memory_order_relaxed);
}

std::string GenreName(uint8_t genre) {
    return genre < Numbering().size() ? Numbering()[genre] : GenreList().back();
}

uint8_t GenreByte(const std::string& text) {
    const std::span<const std::string> names = Numbering();
    const auto match = std::ranges::find_if(
        names, [&text](const std::string& name) { return EqualIgnoringCase(name, text); });
    if (match != names.end()) {
        return static_cast<uint8_t>(match - names.begin());
    }
    for (const auto& [name, genre] : kOtherSpellings) {
        if (EqualIgnoringCase(name, text)) {
            return genre;
        }
    }
    return kNoGenre;
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
    if (const std::optional<uint8_t> number = GenreReference(text)) {
        return *number < Numbering().size() ? *number : kNoGenre;
    }
    // A record holds one genre: of a shown list, the first that has a byte.
    for (const std::string& part : Split(text, kShownSeparator)) {
        if (const uint8_t genre = GenreByte(part); genre != kNoGenre) {
            return genre;
        }
    }
    return kNoGenre;
}

std::string ShownGenre(const std::string& tcon) {
    std::vector<std::string> shown;
    for (const std::string& value : Split(tcon, std::string_view("\0", 1))) {
        AddValue(shown, value);
    }
    std::string text;
    for (const std::string& name : shown) {
        text += text.empty() ? std::string_view() : kShownSeparator;
        text += name;
    }
    return text;
}
