// Legacy code pages in the row codec, on hand-made records and Latin-1
// frames, read and written; and the old genre numbering.
#include <gtest/gtest.h>

#include <array>

#include "editor/model/row_codec.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace testing_mp3;

// Each page, a text, and its bytes in that page (made by another encoder).
const std::array<const char*, 3> kPages[] = {
    {"windows-1250", "Žluťoučký kůň", "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2"},
    {"windows-1251", "Группа крови", "\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8"},
    {"windows-1252", "Café €", "Caf\xE9 \x80"},
    {"windows-1253", "Ελληνικά", "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC"},
    {"windows-1254", "Şarkı", "\xDE\x61rk\xFD"},
    {"windows-1257", "Dainų šventė", "Dain\xF8 \xF0vent\xEB"},
    {"KOI8-R", "Кино", "\xEB\xC9\xCE\xCF"},
    {"KOI8-U", "Їжак", "\xB7\xD6\xC1\xCB"},
    {"ISO-8859-2", "Łódź", "\xA3\xF3\x64\xBC"},
    {"ISO-8859-5", "Кино", "\xBA\xD8\xDD\xDE"},
    {"ISO-8859-7", "Ελλάδα", "\xC5\xEB\xEB\xDC\xE4\xE1"},
    {"Shift_JIS", "日本語", "\x93\xFA\x96{\x8C\xEA"},
    {"EUC-KR", "한국어", "\xC7\xD1\xB1\xB9\xBE\xEE"},
    {"GBK", "中文歌曲", "\xD6\xD0\xCE\xC4\xB8\xE8\xC7\xFA"},
    {"Big5", "中文歌曲", "\xA4\xA4\xA4\xE5\xBAq\xA6\xB1"},
};

}  // namespace

TEST(CodePages, ReadRecordsAndLatin1FramesAndWriteRecords) {
    TempDir dir;
    for (const auto& [name, utf8, bytes] : kPages) {
        SCOPED_TRACE(name);
        const code_page::TCodePage page(QString::fromLatin1(name));
        ASSERT_EQ(page.Name(), QString::fromLatin1(name));
        const QString text = QString::fromUtf8(utf8);
        const std::string path = dir.File("song.mp3");
        WriteMp3(path, Tag(3, {Frame(3, "TIT2", Latin1Text(bytes))}));
        TV1Values record;
        record.Title = bytes;
        WriteV1Tag(path, record);

        const row_codec::TLoadedRow v1 = row_codec::ReadV1(path, page);
        EXPECT_EQ(v1.values[0], text);
        EXPECT_EQ(v1.legacy, kV2Title);
        Tid3v2tag tag;
        const Tv2TAGInfo v2 = row_codec::ReadV2(tag, path, page);
        EXPECT_EQ(QString::fromStdString(v2.Title), text);
        EXPECT_EQ(v2.Legacy, kV2Title);
        EXPECT_EQ(row_codec::ReadV2(tag, path).Legacy, 0u);
        EXPECT_EQ(row_codec::ReadV1(path).legacy, 0u);

        // Written as: the page holds the text, ISO-8859-1 does not.
        rows::TRowModel model;
        model.SetKind(1);
        model.LoadRow(0, {}, 0, true);
        model.SetField(0, bulk::Column::Title, text);
        EXPECT_TRUE(model.Marked(0, bulk::Column::Title, rows::kNotStorable));
        model.SetRecordPage(page);
        EXPECT_FALSE(model.Marked(0, bulk::Column::Title, rows::kNotStorable));
        model.SetField(0, bulk::Column::Artist, text);
        ASSERT_EQ(row_codec::WriteV1(path, model, 0), 0);
        EXPECT_EQ(ReadV1Tag(path).Artist, bytes);
    }
}

TEST(GenreNumbering, OldNumberingReadsAndWritesItsBytes) {
    // The byte a name is written as: a repeated name keeps its first byte.
    const struct {
        TGenreNumbering numbering;
        uint8_t byte;
        const char* name;
        uint8_t written;
    } cases[] = {
        {TGenreNumbering::Standard, 121, "Punk Rock", 121},
        {TGenreNumbering::Standard, 122, "Drum Solo", 122},
        {TGenreNumbering::Standard, 148, "Abstract", 148},
        {TGenreNumbering::Old, 120, "Duet", 120},
        {TGenreNumbering::Old, 121, "Rock", 17},
        {TGenreNumbering::Old, 122, "Punk", 43},
        {TGenreNumbering::Old, 123, "Drum Solo", 123},
        {TGenreNumbering::Old, 148, "Synthpop", 148},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetGenreNumbering(c.numbering);
        EXPECT_EQ(GenreName(c.byte), c.name);
        EXPECT_EQ(RecordGenreByte(c.name), c.written);
    }
    EXPECT_EQ(GenreName(149), " ");
    EXPECT_EQ(RecordGenreByte("Punk Rock"), kNoGenre);
    EXPECT_EQ(ShownGenre("(123)"), "Drum Solo");
    SetGenreNumbering(TGenreNumbering::Standard);
}
