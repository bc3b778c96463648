// Every script in the window: ID3v2 rows show, take and save any Unicode text
// (read back by mutagen); ID3v1 rows mark what a record cannot hold and ask
// before saving what to store of it; names decode from UTF-8; a Latin-1 page
// saves the bytes the Latin-1 setters give.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "editor/model/tag_values.h"
#include "editor/widgets/spin_edit.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/window_fixture.h"

namespace {

using testing_mp3::Bytes;
using testing_mp3::ReadFile;

Bytes Utf16(const QString& text) {
    Bytes data = {1, 0xFF, 0xFE};
    for (const QChar c : text) {
        data.insert(data.end(),
                    {static_cast<uint8_t>(c.unicode()), static_cast<uint8_t>(c.unicode() >> 8)});
    }
    return data;
}
Bytes Utf8(const QString& text) {
    const QByteArray bytes = QByteArray(1, 3) + text.toUtf8();
    return Bytes(bytes.begin(), bytes.end());
}

const QString kFolder = QString::fromUtf8("Кино - Группа крови");

// One file of the folder: its name, tag version and the one value it holds.
struct Song {
    QString name;
    uint8_t version;
    const char* id;
    QString value;
    bool latin1 = false;  // name and value: stored as ISO-8859-1
};
const Song kSongs[] = {
    {QString::fromUtf8("07 - Кукушка.mp3"), 3, "TIT2", QString::fromUtf8("Кукушка")},
    {QString::fromUtf8("Ελληνικά.mp3"), 4, "TIT2", QString::fromUtf8("Ελληνικά")},
    {QString::fromUtf8("日本語.mp3"), 4, "TALB", QString::fromUtf8("アルバム")},
    {QString::fromUtf8("🎵 emoji.mp3"), 3, "TPE1", QString::fromUtf8("🎵 Band")},
    {QString::fromUtf8("Café.mp3"), 3, "TIT2", QString::fromUtf8("Café"), true},
};

class Unicode : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder_ = Dir.File(kFolder.toStdString());
        std::filesystem::create_directory(folder_);
        for (const Song& song : kSongs) {
            const Bytes data = song.latin1         ? testing_mp3::Latin1Text("Caf\xE9")
                               : song.version == 3 ? Utf16(song.value)
                                                   : Utf8(song.value);
            const Bytes tag =
                testing_mp3::Tag(song.version, {testing_mp3::Frame(song.version, song.id, data)});
            testing_mp3::WriteMp3(Path(song), tag, 2);
            before_.push_back(ReadFile(Path(song)));
        }
        OpenFolder(folder_);
        Window->SpeedButton7Click();
        Dialogs.Clear();
    }
    std::string Path(const Song& song) const { return folder_ + "/" + song.name.toStdString(); }
    int RowOf(const Song& song) const {
        for (int k = 0; k < Window->RowsInScope(); ++k) {
            if (Window->FilePath(k) == Path(song)) {
                return k;
            }
        }
        ADD_FAILURE() << "not on the page";
        return 0;
    }
    // The field that shows the song's value.
    QLineEdit* Field(const Song& song) const {
        const int k = RowOf(song);
        const std::string id = song.id;
        return id == "TIT2"   ? Window->Rows().TitleEdit(k)
               : id == "TPE1" ? Window->Rows().ArtistEdit(k)
                              : Window->Rows().AlbumEdit(k);
    }

    std::string folder_;
    std::vector<Bytes> before_;
};

TEST_F(Unicode, Id3v2RowsShowTakeAndSaveEveryScript) {
    if (const std::string missing = testing_mp3::MutagenMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    EXPECT_TRUE(Window->windowTitle().contains(kFolder));
    for (const Song& song : kSongs) {
        EXPECT_EQ(Field(song)->text(), song.value);
        EXPECT_EQ(Window->Rows().FileLabel(RowOf(song))->text(), song.name);
    }
    Find<QToolButton>("SpeedButton6")->click();  // Names
    Find<QCheckBox>("CheckBox1")->click();       // the folder's name for albums
    Window->Rows().ArtistEdit(0)->setFocus();
    Window->Rows().ArtistEdit(0)->clear();
    TypeText(QString::fromUtf8("Новое é"));
    EXPECT_EQ(Window->Rows().ArtistEdit(0)->text(), QString::fromUtf8("Новое é"));

    Window->SpeedButton2Click();

    EXPECT_TRUE(Dialogs.Messages().last().contains(kFolder));
    for (const Song& song : kSongs) {
        const testing_mp3::MutagenTag tag = testing_mp3::ReadWithMutagen(Path(song));
        const std::string title = song.name.chopped(4).toStdString();
        EXPECT_EQ(tag.Find("TIT2").Field("text"), title);
        EXPECT_EQ(tag.Find("TALB").Field("text"), kFolder.toStdString());
        // Latin-1 as encoding 0, any other text as UTF-16 in version 3, UTF-8 in 4.
        EXPECT_EQ(tag.Find("TIT2").Field("encoding"), song.latin1         ? "0"
                                                      : song.version == 3 ? "1"
                                                                          : "3");
    }
    EXPECT_EQ(testing_mp3::ReadWithMutagen(Window->FilePath(0)).Find("TPE1").Field("text"),
              "Новое é");
}

TEST_F(Unicode, Id3v1RowsMarkWhatARecordCannotHoldAndAskWhatToStore) {
    Window->SpeedButton8Click();  // copy to ID3v1
    for (const Song& song : kSongs) {
        EXPECT_EQ(Window->Rows().NotStorable(Field(song)), !song.latin1);
        EXPECT_EQ(Field(song)->toolTip().isEmpty(), song.latin1);
    }
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Window->SpeedButton2Click();
    QStringList shortened;
    for (const Song& song : kSongs) {
        if (!song.latin1) {
            shortened << song.name;
        }
        // The ID3v2 tag and the audio stay; a record follows them.
        const Bytes after = ReadFile(Path(song));
        EXPECT_TRUE(std::equal(before_[&song - kSongs].begin(), before_[&song - kSongs].end(),
                               after.begin()));
    }
    ASSERT_EQ(Dialogs.Questions().size(), 1);
    for (const QString& name : shortened) {
        EXPECT_TRUE(Dialogs.Questions()[0].contains(name)) << name.toStdString();
    }
    EXPECT_FALSE(Dialogs.Questions()[0].contains("Caf"));
    EXPECT_EQ(Dialogs.Messages().size(), 1);
    EXPECT_EQ(ReadV1Tag(Path(kSongs[0])).Title, "Kukuska");
    EXPECT_EQ(ReadV1Tag(Path(kSongs[3])).Artist, " Band");
    EXPECT_EQ(ReadV1Tag(Path(kSongs[4])).Title, "Caf\xE9");

    // Names in ID3v1 mode keeps the name whole and marks it; Save Row tells.
    Find<QToolButton>("SpeedButton6")->click();
    const int k = RowOf(kSongs[0]);
    EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), kSongs[0].name.chopped(4));
    EXPECT_TRUE(Window->Rows().NotStorable(Window->Rows().TitleEdit(k)));
    Window->Rows().TitleEdit(k)->setFocus();
    Dialogs.Clear();
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Window->SpeedButton1Click();
    EXPECT_EQ(ReadV1Tag(Path(kSongs[0])).Title, "07 - Kukuska");
    ASSERT_EQ(Dialogs.Questions().size(), 1);
    EXPECT_TRUE(Dialogs.Questions()[0].contains(kSongs[0].name));
}

TEST_F(Unicode, UndecodableNameBytesShowAsReplacementAndAreMarked) {
    const std::string folder = Dir.File("bad");
    std::filesystem::create_directory(folder);
    testing_mp3::WriteMp3(folder + "/bad\xFF.mp3");
    OpenFolder(folder);
    const int k = 0;
    EXPECT_EQ(Window->Rows().FileLabel(k)->text(), QString::fromUtf8("bad\uFFFD.mp3"));
    Find<QToolButton>("SpeedButton6")->click();
    EXPECT_EQ(Window->Rows().TitleEdit(k)->text(), QString::fromUtf8("bad\uFFFD"));
    EXPECT_FALSE(Window->Rows().TitleEdit(k)->toolTip().isEmpty());
}

// A page of Latin-1 values saves exactly the bytes that the Latin-1 setters
// give for the same values.
TEST_F(Unicode, Latin1PageSavesTheBytesOfTheLatin1Setters) {
    const std::string folder = Dir.File("latin");
    std::filesystem::create_directory(folder);
    for (uint8_t version : {3, 4}) {
        const std::string path = folder + "/v" + std::to_string(version) + ".mp3";
        testing_mp3::WriteMp3(
            path, testing_mp3::Tag(
                      version,
                      {testing_mp3::Frame(version, "TIT2", testing_mp3::Latin1Text("Old"))}, 16));
    }
    OpenFolder(folder);  // in ID3v2 mode, as the fixture left it
    const std::string values[] = {"Caf\xE9",    "Artist \xC5", "Alb\xFCm", "1987",
                                  "Comm\xE9nt", "4",           "Jazz"};
    for (int k = 0; k < 2; ++k) {
        Window->Rows().TitleEdit(k)->setText(QString::fromLatin1(values[0]));
        Window->Rows().ArtistEdit(k)->setText(QString::fromLatin1(values[1]));
        Window->Rows().AlbumEdit(k)->setText(QString::fromLatin1(values[2]));
        Window->Rows().YearEdit(k)->setText(QString::fromLatin1(values[3]));
        Window->Rows().CommentEdit(k)->setText(QString::fromLatin1(values[4]));
        Window->Rows().TrackEdit(k)->setText(QString::fromLatin1(values[5]));
        Window->Rows().GenreEdit(k)->setEditText(QString::fromLatin1(values[6]));
    }
    std::vector<Bytes> golden;
    for (int k = 0; k < 2; ++k) {
        const std::string copy = Dir.File("golden" + std::to_string(k) + ".mp3");
        testing_mp3::WriteFile(copy, ReadFile(Window->FilePath(k)));
        Tid3v2tag tag;
        ASSERT_TRUE(id3v2::Succeeded(tag.LoadFromFile(copy, 0)));
        tag.SetText("TIT2", values[0]);
        tag.SetText("TPE1", values[1]);
        tag.SetText("TALB", values[2]);
        tag.SetText("TRCK", values[5]);
        tag.SetText("TCON", values[6]);
        tag.SetText(tag_values::YearFrame(tag.MajorVersion), values[3]);
        tag.SetText(tag_values::OtherYearFrame(tag.MajorVersion), "");
        COMM comment;
        comment.Language = "eng";
        comment.Text = values[4];
        tag.SetComment(comment, "", "None");
        ASSERT_TRUE(id3v2::Succeeded(tag.SaveToFile(copy, 255, -1, 255)));
        golden.push_back(ReadFile(copy));
    }
    Window->SpeedButton2Click();
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(ReadFile(Window->FilePath(k)), golden[k]) << k;
    }
}

}  // namespace
