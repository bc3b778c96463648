// Reading and writing the ID3v1.1 record: layout, the year, track and genre
// rules, overwrite-or-append, and failures.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "id3v1/id3v1.h"
#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "tests/helpers/mp3_files.h"

using namespace testing_mp3;

namespace {

// A record of 128 bytes: "TAG" and zeros, with fields put at their offsets.
struct RawRecord {
    Bytes bytes = [] {
        Bytes record(128, 0);
        std::memcpy(record.data(), "TAG", 3);
        return record;
    }();

    RawRecord& Put(size_t offset, const std::string& text) {
        std::memcpy(bytes.data() + offset, text.data(), text.size());
        return *this;
    }
    RawRecord& Byte(size_t offset, uint8_t value) {
        bytes[offset] = value;
        return *this;
    }
};

Bytes Tail(const Bytes& file) {
    return Bytes(file.end() - 128, file.end());
}
std::string Field(const Bytes& record, size_t offset, size_t width) {
    return std::string(record.begin() + offset, record.begin() + offset + width);
}
std::string Zeros(size_t n) {
    return std::string(n, '\0');
}
std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

void ExpectNoRecordValues(const Tv1TAGInfo& info) {
    EXPECT_EQ(info.Title, "");
    EXPECT_EQ(info.Artist, "");
    EXPECT_EQ(info.Album, "");
    EXPECT_EQ(info.Year, std::to_string(platform::CurrentYear()));
    EXPECT_EQ(info.Comment, "");
    EXPECT_EQ(info.Track, 0);
    EXPECT_EQ(info.Genre, 0);
    EXPECT_TRUE(info.NoTag);
}

TV1Values SomeValues() {
    TV1Values values;
    values.Title = "Title";
    values.Year = 2001;
    values.Track = 3;
    values.Genre = "Jazz";
    return values;
}

}  // namespace

TEST(Id3v1Read, FieldsEndAtTheirFirstZeroByte) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(
        path, {}, 3,
        RawRecord().Put(3, "Intro").Put(93, "2003").Put(97, "Hi").Byte(126, 7).Byte(127, 17).bytes);
    const Tv1TAGInfo info = ReadV1Tag(path);
    EXPECT_EQ(info.Title, "Intro");
    EXPECT_EQ(info.Artist, "");
    EXPECT_EQ(info.Album, "");
    EXPECT_EQ(info.Year, "2003");
    EXPECT_EQ(info.Comment, "Hi");
    EXPECT_EQ(info.Track, 7);
    EXPECT_EQ(GenreName(info.Genre), "Rock");
    EXPECT_FALSE(info.NotFound);
    EXPECT_FALSE(info.NoTag);
}

TEST(Id3v1Read, ThirtyCharacterCommentTurnsItsLastCharacterIntoTheTrack) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path, {}, 1, RawRecord().Put(97, "abcdefghijklmnopqrstuvwxyz12XZ").bytes);
    const Tv1TAGInfo info = ReadV1Tag(path);
    EXPECT_EQ(info.Comment, "abcdefghijklmnopqrstuvwxyz12");
    EXPECT_EQ(info.Track, 'Z');
}

TEST(Id3v1Read, YearThatIsNotFourDigitsReadsAsMinusOne) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    for (const std::string& year :
         {std::string("199 "), Zeros(4), std::string("85\0\0", 4), std::string("x999")}) {
        WriteMp3(path, {}, 1, RawRecord().Put(93, year).bytes);
        EXPECT_EQ(ReadV1Tag(path).Year, "-001");
    }
}

TEST(Id3v1Read, OnlyUpperCaseMarkerMakesARecord) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    RawRecord record;
    record.Put(0, "tag").Put(3, "Title");
    WriteMp3(path, {}, 2, record.bytes);
    ExpectNoRecordValues(ReadV1Tag(path));
    // The same bytes one position too early are not a record either.
    WriteMp3(path, {}, 2, Concat({RawRecord().Put(3, "Title").bytes, {0}}));
    ExpectNoRecordValues(ReadV1Tag(path));
}

TEST(Id3v1Read, FilesShorterThanARecordHaveNone) {
    TempDir dir;
    const std::string path = dir.File("short.mp3");
    for (const size_t size : {size_t{0}, size_t{3}, size_t{127}}) {
        const Bytes record = RawRecord().bytes;
        WriteFile(path, Bytes(record.begin(), record.begin() + size));
        const Tv1TAGInfo info = ReadV1Tag(path);
        ExpectNoRecordValues(info);
        EXPECT_FALSE(info.NotFound);
    }
    // Exactly 128 bytes is a whole record.
    WriteFile(path, RawRecord().Put(3, "Only").bytes);
    EXPECT_EQ(ReadV1Tag(path).Title, "Only");
}

TEST(Id3v1Read, MissingFileIsNotFoundWithTheNoRecordValues) {
    TempDir dir;
    for (const std::string& path : {dir.File("gone.mp3"), dir.File("no-folder/gone.mp3")}) {
        const Tv1TAGInfo info = ReadV1Tag(path);
        EXPECT_TRUE(info.NotFound);
        ExpectNoRecordValues(info);
    }
}

TEST(Id3v1Read, UnopenableEntryThrowsWithTheFileAndReason) {
    TempDir dir;
    const std::string path = dir.File("folder.mp3");
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    try {
        ReadV1Tag(path);
        FAIL() << "read a folder";
    } catch (const platform::IoError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(EISDIR)), std::string::npos) << message;
    }
}

TEST(Id3v1Write, EveryFieldRoundTripsAtItsWidthLimit) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path);
    TV1Values values;
    values.Title = " \xC9t\xE9 " + Repeat('t', 24) + " ";  // blanks stay part of a text
    values.Artist = Repeat('a', 29) + "\xFF";
    values.Album = Repeat('l', 30);
    values.Comment = Repeat('c', 27) + "!";
    values.Year = 9999;
    values.Track = 255;
    values.Genre = "Synthpop";
    WriteV1Tag(path, values);

    const Tv1TAGInfo info = ReadV1Tag(path);
    EXPECT_EQ(info.Title, values.Title);
    EXPECT_EQ(info.Artist, values.Artist);
    EXPECT_EQ(info.Album, values.Album);
    EXPECT_EQ(info.Year, "9999");
    EXPECT_EQ(info.Comment, values.Comment);
    EXPECT_EQ(info.Track, 255);
    EXPECT_EQ(info.Genre, 147);
    EXPECT_EQ(Tail(ReadFile(path))[125], 0) << "the byte before the track";
}

TEST(Id3v1Write, TextsAreCutAndZeroPaddedToTheirFields) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path);
    TV1Values values;
    values.Title = Repeat('T', 31);
    values.Artist = "Short";
    values.Album = Repeat('A', 40);
    values.Comment = Repeat('C', 30);
    values.Year = 2003;
    values.Track = 9;
    values.Genre = "Rock";
    WriteV1Tag(path, values);

    const Bytes record = Tail(ReadFile(path));
    EXPECT_EQ(Field(record, 0, 3), "TAG");
    EXPECT_EQ(Field(record, 3, 30), Repeat('T', 30));
    EXPECT_EQ(Field(record, 33, 30), "Short" + Zeros(25));
    EXPECT_EQ(Field(record, 63, 30), Repeat('A', 30));
    EXPECT_EQ(Field(record, 93, 4), "2003");
    EXPECT_EQ(Field(record, 97, 28), Repeat('C', 28));
    EXPECT_EQ(record[125], 0);
    EXPECT_EQ(record[126], 9);
    EXPECT_EQ(record[127], 17);
}

TEST(Id3v1Write, YearIsItsDecimalTextCutToFourOrZerosForMinusOne) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path);
    TV1Values values = SomeValues();
    const std::pair<int, std::string> cases[] = {{-1, Zeros(4)},
                                                 {85, "85" + Zeros(2)},
                                                 {0, "0" + Zeros(3)},
                                                 {12345, "1234"},
                                                 {1999, "1999"}};
    for (const auto& [year, bytes] : cases) {
        values.Year = year;
        WriteV1Tag(path, values);
        EXPECT_EQ(Field(Tail(ReadFile(path)), 93, 4), bytes) << year;
    }
    values.Year = -1;
    WriteV1Tag(path, values);
    EXPECT_EQ(ReadV1Tag(path).Year, "-001");
}

TEST(Id3v1Write, TrackAndGenreKeepTheirLowEightBits) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path);
    TV1Values values = SomeValues();
    // -1, the field's "no track", is 0: "no track" in a record, never 255.
    const std::pair<int, uint8_t> tracks[] = {{-1, 0}, {0, 0}, {256, 0}, {300, 44}};
    for (const auto& [track, byte] : tracks) {
        values.Track = track;
        WriteV1Tag(path, values);
        EXPECT_EQ(ReadV1Tag(path).Track, byte) << track;
    }
    const std::pair<std::string, uint8_t> genres[] = {
        {" ", 255}, {"rock", 17}, {"Punk", 43}, {"", 255}, {"No Such Genre", 255}};
    for (const auto& [genre, byte] : genres) {
        values.Genre = genre;
        WriteV1Tag(path, values);
        EXPECT_EQ(ReadV1Tag(path).Genre, byte) << genre;
    }
}

TEST(Id3v1Write, GenreReadFromAFileIsStoredBackAsItsOwnByte) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path, {}, 1, RawRecord().Byte(127, 122).bytes);
    TV1Values values = SomeValues();
    values.Genre = GenreName(ReadV1Tag(path).Genre);
    WriteV1Tag(path, values);
    EXPECT_EQ(ReadV1Tag(path).Genre, 122);
}

TEST(Id3v1Write, FileGrowsByOneRecordOnceThenKeepsItsSize) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path, Tag(3, {}, 10), 5);
    const Bytes original = ReadFile(path);
    TV1Values values = SomeValues();
    WriteV1Tag(path, values);
    const Bytes once = ReadFile(path);
    ASSERT_EQ(once.size(), original.size() + 128);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), once.begin()));

    values.Title = "Second";
    WriteV1Tag(path, values);
    const Bytes twice = ReadFile(path);
    ASSERT_EQ(twice.size(), once.size());
    EXPECT_TRUE(std::equal(original.begin(), original.end(), twice.begin()));
    EXPECT_EQ(ReadV1Tag(path).Title, "Second");
}

TEST(Id3v1Write, AppendsAfterALowerCaseMarkerAndAfterAShortFile) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    const Bytes lower = Concat({SilentAudio(1), RawRecord().Put(0, "tag").bytes});
    const Bytes tiny = ToBytes("TAG short");
    for (const Bytes& before : {lower, tiny, Bytes{}}) {
        WriteFile(path, before);
        WriteV1Tag(path, SomeValues());
        const Bytes after = ReadFile(path);
        ASSERT_EQ(after.size(), before.size() + 128);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
        EXPECT_EQ(ReadV1Tag(path).Title, "Title");
    }
}

TEST(Id3v1Write, OpenFailuresThrowAndCreateOrChangeNothing) {
    TempDir dir;
    const std::string missing = dir.File("gone.mp3");
    const std::string folder = dir.File("folder.mp3");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::pair<std::string, int> cases[] = {
        {missing, ENOENT}, {dir.File("no-folder/gone.mp3"), ENOENT}, {folder, EISDIR}};
    for (const auto& [path, error] : cases) {
        try {
            WriteV1Tag(path, SomeValues());
            ADD_FAILURE() << "wrote " << path;
        } catch (const platform::OpenError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find(std::strerror(error)), std::string::npos) << message;
        }
    }
    EXPECT_FALSE(platform::FileExists(missing));

    // A file that another save holds is refused rather than written under it.
    const std::string held = dir.File("held.mp3");
    WriteMp3(held);
    const Bytes original = ReadFile(held);
    platform::File other(held, platform::File::Mode::ReadWrite, platform::File::Lock::Exclusive);
    EXPECT_THROW(WriteV1Tag(held, SomeValues()), platform::OpenError);
    EXPECT_EQ(ReadFile(held), original);
}

TEST(Id3v1Write, FailedWriteKeepsWhatWasWrittenAndTruncatesNothing) {
    TempDir dir;
    const std::string path = dir.File("a.mp3");
    WriteMp3(path, {}, 2);
    const Bytes original = ReadFile(path);
    const rlim_t limit = original.size() + 60;

    // The file size limit applies to the child alone; it reports through its exit code.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit fsize{limit, limit};
        int code = 1;
        if (::setrlimit(RLIMIT_FSIZE, &fsize) == 0) {
            try {
                WriteV1Tag(path, SomeValues());
                code = 2;
            } catch (const platform::WriteError& error) {
                const std::string message = error.what();
                const bool named = message.find(path) != std::string::npos &&
                                   message.find(std::strerror(EFBIG)) != std::string::npos;
                code = named ? 0 : 3;
            } catch (...) {
                code = 4;
            }
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 setrlimit, 2 no failure, 3 message, 4 wrong type";

    const Bytes after = ReadFile(path);
    ASSERT_EQ(after.size(), limit);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), after.begin()));
    EXPECT_EQ(Field(after, original.size(), 8), "TAGTitle");
}

// A change of the record touches the last 128 bytes only, a removal only of
// a record, and either puts the modification time back when asked.
TEST(RecordChanges, TouchOnlyTheRecordAndKeepTheTimeWhenAsked) {
    TempDir dir;
    const std::string path = dir.File("song.mp3");
    const Bytes audio = SilentAudio(3);
    const Bytes notRecord = Concat({audio, RawRecord().Put(0, "tag").bytes});
    const Bytes written = Concat({audio, RawRecord().Put(3, "New").Byte(127, 0xFF).bytes});
    TV1Values values;
    values.Title = "New";
    const struct {
        const char* name;
        Bytes before;
        bool write, keep;  // write, else remove; keep the modification time
        Bytes after;
    } cases[] = {
        {"removing a record", Concat({audio, RawRecord().bytes}), false, true, audio},
        {"removing what only looks like a record", notRecord, false, true, notRecord},
        {"writing, time kept", audio, true, true, written},
        {"writing, time not kept", audio, true, false, written},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, c.before);
        SetModificationTime(path, kOldTime);
        if (c.write) {
            WriteV1Tag(path, values, c.keep);
        } else {
            EXPECT_EQ(RemoveV1Tag(path, c.keep), c.before != c.after);
        }
        EXPECT_EQ(ReadFile(path), c.after);
        EXPECT_EQ(ModificationTime(path) == kOldTime, c.keep);
    }
}
