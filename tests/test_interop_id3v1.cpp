// ID3v1.1 records exchanged with TagLib in both directions, and their genre
// bytes as mutagen and eyeD3 name them.
#include <gtest/gtest.h>
#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include <string>
#include <vector>

#include "id3v1/id3v1.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

using namespace testing_mp3;

namespace {

std::string Latin1(const TagLib::String& text) {
    return text.to8Bit(false);
}
TagLib::String FromLatin1(const std::string& text) {
    return {text, TagLib::String::Latin1};
}

// TagLib trims blanks around its texts, so the values here have none there.
std::vector<TV1Values> Samples() {
    TV1Values full;
    full.Title = "Caf\xE9 del M\xE4r at 30 characters!";
    full.Artist = std::string(29, 'a') + "\xFF";
    full.Album = "Album";
    full.Comment = std::string(27, 'c') + "!";
    full.Year = 1999;
    full.Track = 255;
    full.Genre = "Trip-Hop";

    TV1Values sparse;
    sparse.Title = "Only a title";
    sparse.Year = -1;
    sparse.Track = 0;
    sparse.Genre = "Duet";

    TV1Values punk;
    punk.Artist = "Punk band";
    punk.Year = 2024;
    punk.Track = 1;
    punk.Genre = "punk";
    return {full, sparse, punk};
}

}  // namespace

TEST(InteropId3v1, OurRecordReadsTheSameInTagLib) {
    TempDir dir;
    for (const TV1Values& values : Samples()) {
        const std::string path = dir.File("ours.mp3");
        WriteMp3(path);
        WriteV1Tag(path, values);

        TagLib::MPEG::File file(path.c_str(), false);
        ASSERT_TRUE(file.isValid());
        ASSERT_TRUE(file.hasID3v1Tag());
        const TagLib::ID3v1::Tag* tag = file.ID3v1Tag();
        EXPECT_EQ(Latin1(tag->title()), values.Title);
        EXPECT_EQ(Latin1(tag->artist()), values.Artist);
        EXPECT_EQ(Latin1(tag->album()), values.Album);
        EXPECT_EQ(Latin1(tag->comment()), values.Comment);
        EXPECT_EQ(tag->year(), values.Year == -1 ? 0u : static_cast<unsigned>(values.Year));
        EXPECT_EQ(tag->track(), static_cast<unsigned>(values.Track));
        EXPECT_EQ(tag->genreNumber(), GenreByte(values.Genre));
    }
}

TEST(InteropId3v1, TagLibRecordReadsTheSameInOurs) {
    TempDir dir;
    for (const TV1Values& values : Samples()) {
        const std::string path = dir.File("theirs.mp3");
        WriteMp3(path);
        {
            TagLib::MPEG::File file(path.c_str(), false);
            TagLib::ID3v1::Tag* tag = file.ID3v1Tag(true);
            tag->setTitle(FromLatin1(values.Title));
            tag->setArtist(FromLatin1(values.Artist));
            tag->setAlbum(FromLatin1(values.Album));
            tag->setComment(FromLatin1(values.Comment));
            tag->setYear(values.Year == -1 ? 0 : values.Year);
            tag->setTrack(values.Track);
            tag->setGenreNumber(GenreByte(values.Genre));
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripNone));
        }
        const Tv1TAGInfo info = ReadV1Tag(path);
        EXPECT_FALSE(info.NoTag);
        EXPECT_EQ(info.Title, values.Title);
        EXPECT_EQ(info.Artist, values.Artist);
        EXPECT_EQ(info.Album, values.Album);
        EXPECT_EQ(info.Comment, values.Comment);
        EXPECT_EQ(info.Year, values.Year == -1 ? "-001" : std::to_string(values.Year));
        EXPECT_EQ(info.Track, values.Track);
        EXPECT_EQ(info.Genre, GenreByte(values.Genre));
    }
}

TEST(InteropId3v1, OurWriteReplacesTagLibRecordInPlace) {
    TempDir dir;
    const std::string path = dir.File("both.mp3");
    WriteMp3(path);
    {
        TagLib::MPEG::File file(path.c_str(), false);
        file.ID3v1Tag(true)->setTitle("Theirs");
        ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripNone));
    }
    const size_t size = ReadFile(path).size();
    WriteV1Tag(path, Samples()[1]);
    EXPECT_EQ(ReadFile(path).size(), size);
    TagLib::MPEG::File file(path.c_str(), false);
    EXPECT_EQ(Latin1(file.ID3v1Tag()->title()), Samples()[1].Title);
}

// Each byte names the genre mutagen and eyeD3 give it, in either's spelling,
// and a record of ours reads back in both as the genre written.
TEST(InteropId3v1, GenreBytesNameTheSameGenreInMutagenAndEyeD3) {
    const std::vector<std::vector<std::string>> table = PeerGenres({"--table"});
    if (table.empty()) {
        GTEST_SKIP() << "mutagen or eyeD3 is missing (python3-mutagen, python3-eyed3)";
    }
    ASSERT_EQ(table.size(), 192u);
    for (size_t byte = 0; byte < table.size(); ++byte) {
        EXPECT_EQ(GenreByte(table[byte][0]), byte) << table[byte][0];
        EXPECT_EQ(GenreByte(table[byte][1]), byte) << table[byte][1];
    }
    TempDir dir;
    TV1Values values;
    for (const char* genre : {"Punk Rock", "Heavy Metal", "Psybient", " "}) {
        WriteMp3(dir.File("a.mp3"));
        values.Genre = genre;
        WriteV1Tag(dir.File("a.mp3"), values);
        const std::vector<std::string> both(2, values.Genre == " " ? "" : genre);
        EXPECT_EQ(PeerGenres({dir.File("a.mp3")}), std::vector<std::vector<std::string>>{both});
    }
}
