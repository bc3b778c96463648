// The genre names of the ID3v1 record's genre byte, the lookups between byte
// and name, and the names an ID3v2 genre text (TCON) refers to.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The byte of a record without genre, and of every name not in the table.
constexpr uint8_t kNoGenre = 255;
// Bytes 0 to kGenreCount - 1 name a genre; every other byte is no genre.
constexpr size_t kGenreCount = 192;

// The names in byte order, followed by the blank " ", the genre boxes' way
// of saying no genre (stored as kNoGenre).
using TGenreList = std::array<std::string, kGenreCount + 1>;

// How the record's genre bytes (and the genre numbers of ID3v2 genre texts)
// are numbered: as every other program does, or as earlier versions of this
// program did: from "Drum Solo" on one higher, "Rock" and "Punk" again at 121
// and 122, nothing past "Synthpop" at 148. One setting for the whole process;
// every lookup below follows it.
enum class TGenreNumbering { Standard, Old };
void SetGenreNumbering(TGenreNumbering numbering);
TGenreNumbering GenreNumbering();

// The table, built once on first use.
const TGenreList& GenreList();
// The name of that byte; " " for a byte that names no genre.
std::string GenreName(uint8_t genre);
// The byte whose name equals the text without regard to case, also in the
// spelling other programs give a few names; kNoGenre for none (" " included).
uint8_t GenreByte(const std::string& text);
// The genre number an ID3v2 genre text refers to: "(17)" and "(17)Rock" as
// version 3 writes them, "17" as version 4 does; nothing for any other text or
// a number past 255.
std::optional<uint8_t> GenreReference(const std::string& text);
// The byte a genre text is stored as in a record: the genre it refers to, its
// name's byte, or for a list as ShownGenre gives it, the first genre of the list.
uint8_t RecordGenreByte(const std::string& text);
// The text a genre box shows for a stored TCON value, whose values are
// separated by zero bytes: references ("(4)(17)Disco-ish", "52", "RX", "CR")
// become names, and the values are joined by ", " with repeats left out:
// "Disco, Rock, Disco-ish". A reference to no named genre stays as stored.
std::string ShownGenre(const std::string& tcon);
// The comparison GenreByte uses: ISO-8859-1 texts equal once A-Z and the accented
// capitals 0xC0-0xDE (not 0xD7) are folded to their lower-case forms.
bool EqualIgnoringCase(const std::string& a, const std::string& b);
