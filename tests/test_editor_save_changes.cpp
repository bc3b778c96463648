// Saving writes what the user changed and nothing else: untouched files and
// frames stay as stored, "no value" removes a frame instead of storing -1, the
// year of version-4 tags, values that end in a terminator, genre references.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "editor/widgets/spin_edit.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/window_fixture.h"

namespace {

using testing_mp3::Bytes;
using testing_mp3::ReadFile;
using testing_mp3::V1Record;
using Frames = std::vector<std::pair<std::string, Bytes>>;

Bytes L(const std::string& text) {
    return testing_mp3::Latin1Text(text);
}
// A value followed by a terminator, as mutagen writes it.
Bytes Z(const std::string& text) {
    return testing_mp3::Latin1Text(text + '\0');
}

// A file's ID3v2 frames in order, with their data as stored.
Frames StoredFrames(const std::string& path) {
    Tid3v2tag tag;
    Frames frames;
    if (id3v2::Succeeded(tag.LoadFromFile(path, 0))) {
        for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
            frames.emplace_back(tag.Frames.Id(i), tag.Frames.Data(i));
        }
    }
    return frames;
}

constexpr time_t kLongAgo = 1000000000;

class SaveChanges : public WindowFixture {
  protected:
    // A file with an ID3v2 tag of `version` (none for 0) holding `frames`, and
    // an ID3v1 `record`; dated long ago, so that any write shows.
    void Make(const std::string& name, uint8_t version, const Frames& frames,
              const Bytes& record = {}) {
        std::vector<Bytes> tag;
        for (const auto& [id, data] : frames) {
            tag.push_back(testing_mp3::Frame(version, id, data));
        }
        testing_mp3::WriteMp3(PathOf(name), version ? testing_mp3::Tag(version, tag, 64) : Bytes{},
                              2, record);
        const timespec times[2] = {{kLongAgo, 0}, {kLongAgo, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, PathOf(name).c_str(), times, 0), 0);
        before_[name] = ReadFile(PathOf(name));
    }
    void Open(int kind) {
        OpenFolder();
        if (kind == 2) {
            Window->SpeedButton7Click();
        }
        Dialogs.Clear();
        QObject::connect(Window.get(), &QWidget::windowTitleChanged,
                         [this](const QString& title) { captions_ << title; });
    }
    int RowOf(const std::string& name) const {
        for (int k = 0; k < Window->RowsInScope(); ++k) {
            if (Window->FilePath(k) == PathOf(name)) {
                return k;
            }
        }
        ADD_FAILURE() << name << " is not on the page";
        return 0;
    }
    void ExpectUntouched(const std::string& name) {
        struct stat status {};
        ::stat(PathOf(name).c_str(), &status);
        EXPECT_EQ(status.st_mtime, kLongAgo) << name;
        EXPECT_EQ(ReadFile(PathOf(name)), before_.at(name)) << name;
    }
    Bytes Record(const std::string& name) const {
        const Bytes bytes = ReadFile(PathOf(name));
        return Bytes(bytes.end() - 128, bytes.end());
    }
    void SaveAll() { Window->SpeedButton2Click(); }

    std::map<std::string, Bytes> before_;
    QStringList captions_;
};

// -1 years and tracks: "no value" is no frame, and no year and no track in a record.
TEST_F(SaveChanges, NoValueRemovesItsFrameAndIsZeroInTheRecord) {
    Make("v3.mp3", 3,
         {{"TIT2", L("T")},
          {"TYER", L("2001")},
          {"TRCK", L("3")},
          {"TCON", L("Rock")},
          {"TPE2", L("Keep")}});
    Make("v4.mp3", 4,
         {{"TIT2", L("T")},
          {"TDRC", L("2001")},
          {"TRCK", L("3")},
          {"TCON", L("Rock")},
          {"TPE2", L("Keep")}});
    Make("v1.mp3", 0, {}, V1Record("A", "", "", "1999", "", 7, 17));
    Open(2);
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Find<QToolButton>("SpeedButton3")->click();  // Erase All Rows
    SaveAll();
    for (const char* name : {"v3.mp3", "v4.mp3"}) {
        EXPECT_EQ(StoredFrames(PathOf(name)), (Frames{{"TPE2", L("Keep")}})) << name;
        EXPECT_EQ(Window->Rows().YearEdit(RowOf(name))->text(), "") << name;
        EXPECT_EQ(Window->Rows().TrackEdit(RowOf(name))->text(), "") << name;
    }
    Window->SpeedButton7Click();
    Window->Rows().YearEdit(RowOf("v1.mp3"))->setText("");
    Window->Rows().TrackEdit(RowOf("v1.mp3"))->setText("");
    SaveAll();
    EXPECT_EQ(Record("v1.mp3"), V1Record("A", "", "", "", "", 0, 17));
}

// Untouched rows are not opened; a written row sets only its changed frames.
TEST_F(SaveChanges, Id3v2SaveWritesOnlyChangedRowsAndFrames) {
    const Frames a = {{"TIT2", L("Old")},
                      {"TPE1", Z("Band")},
                      {"COMM", {0, 'e', 'n', 'g', 0, 'n', 'o', 't', 'e'}},
                      {"TCON", L("(17)")}};
    Make("a.mp3", 3, a);
    Make("b.mp3", 4, {{"TIT2", L("Kept")}, {"TDRC", L("2019-05-01")}});
    Make("c.mp3", 0, {});
    Make("d.mp3", 0, {}, V1Record("Only v1", "", "", "1999", "", 1, 17));
    Open(2);
    Window->Rows().TitleEdit(RowOf("a.mp3"))->setText("New");
    Window->Rows().TitleEdit(RowOf("c.mp3"))->setText("Fresh");
    Window->Rows().ArtistEdit(RowOf("b.mp3"))->setText("x");  // changed back: no change
    Window->Rows().ArtistEdit(RowOf("b.mp3"))->setText("");

    SaveAll();

    Frames expected = a;
    expected[0].second = L("New");
    EXPECT_EQ(StoredFrames(PathOf("a.mp3")), expected);
    // No placeholder year or genre.
    EXPECT_EQ(StoredFrames(PathOf("c.mp3")), (Frames{{"TIT2", L("Fresh")}}));
    ExpectUntouched("b.mp3");
    ExpectUntouched("d.mp3");
    EXPECT_TRUE(captions_.contains("2 files saved"));
}

TEST_F(SaveChanges, Id3v1SaveWritesOnlyChangedRowsAndFieldsAndAsksOnlyAboutThem) {
    // Bytes after the title's end, a year of no digits, genre byte 121.
    Bytes odd = V1Record("Old", "Band", "", "19 9", "", 4, 121);
    odd[13] = 'j';
    Make("a.mp3", 3, {{"TIT2", L("v2")}}, odd);
    Make("b.mp3", 0, {}, V1Record("Kept", "", "", "2001", "", 2, 17));
    Make("c.mp3", 0, {});
    ASSERT_EQ(::chmod(PathOf("b.mp3").c_str(), 0444), 0);
    Open(1);
    Window->Rows().TitleEdit(RowOf("b.mp3"))->setFocus();
    Window->SpeedButton1Click();  // Save Row of an unchanged read-only row
    Window->Rows().TitleEdit(RowOf("a.mp3"))->setText("New");
    Window->Rows().TitleEdit(RowOf("c.mp3"))->setText("Fresh");

    SaveAll();

    EXPECT_TRUE(Dialogs.Questions().isEmpty());
    EXPECT_EQ(Dialogs.Texts(ScriptedDialogs::Kind::Modal).size(), 0) << "no read-only dialog";
    std::fill_n(odd.begin() + 3, 30, 0);
    std::copy_n("New", 3, odd.begin() + 3);
    EXPECT_EQ(Record("a.mp3"), odd);
    const Bytes a = ReadFile(PathOf("a.mp3"));
    EXPECT_TRUE(std::equal(a.begin(), a.end() - 128, before_.at("a.mp3").begin()));
    EXPECT_EQ(Record("c.mp3"), V1Record("Fresh", "", "", "", "", 0, 255));
    ExpectUntouched("b.mp3");
}

// Version 4 keeps the year in TDRC; the other year frame goes when the year is written.
TEST_F(SaveChanges, YearIsReadFromTdrcAndWrittenToTheFrameOfTheTagsVersion) {
    const struct {
        const char* name;
        uint8_t version;
        Frames stored;
        QString shown;
        bool shownInFull;
        QString typed;  // empty: the artist is edited instead
        Frames saved;
    } cases[] = {
        // clang-format off
        {"date.mp3", 4, {{"TDRC", L("2019-05-01")}}, "2019", false, "",
         {{"TDRC", L("2019-05-01")}, {"TPE1", L("x")}}},
        {"v4.mp3", 4, {{"TDRC", L("2019-05-01")}}, "2019", false, "2020", {{"TDRC", L("2020")}}},
        {"both.mp3", 4, {{"TYER", L("1999")}, {"TDRC", L("2019")}}, "1999", true, "2020",
         {{"TDRC", L("2020")}}},
        {"v3.mp3", 3, {{"TDRC", L("2019")}}, "2019", true, "2020", {{"TYER", L("2020")}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        Make(c.name, c.version, c.stored);
    }
    Open(2);
    for (const auto& c : cases) {
        const int k = RowOf(c.name);
        EXPECT_EQ(Window->Rows().YearEdit(k)->text(), c.shown) << c.name;
        EXPECT_EQ(Window->Rows().YearEdit(k)->toolTip().isEmpty(), c.shownInFull) << c.name;
        if (c.typed.isEmpty()) {
            Window->Rows().ArtistEdit(k)->setText("x");
        } else {
            Window->Rows().YearEdit(k)->setText(c.typed);
        }
    }
    SaveAll();
    for (const auto& c : cases) {
        EXPECT_EQ(StoredFrames(PathOf(c.name)), c.saved) << c.name;
    }
}

// Values that end in a terminator, genre references shown by name, and the
// copy, which writes every tagged row into the other kind: a record takes the
// first genre.
TEST_F(SaveChanges, CopiedValuesEndAtTheirTerminatorAndGenreReferencesKeepTheirNumber) {
    Make("a.mp3", 4,
         {{"TIT2", Z("Song")}, {"TDRC", Z("1988")}, {"TRCK", Z("7")}, {"TCON", Z("(17)")}});
    Make("b.mp3", 4, {{"TCON", L(std::string("Rock\0Pop", 8))}});
    Make("c.mp3", 3, {{"TCON", L("(17)Rock")}});
    Make("d.mp3", 0, {});
    // The "track/total" form: a record holds the track.
    Make("e.mp3", 3, {{"TRCK", L("2/8")}});
    Make("f.mp3", 3, {{"TCON", L("(4)(17)Disco-ish")}});
    Make("g.mp3", 4, {{"TCON", L("52")}});
    Open(2);
    EXPECT_EQ(Window->Rows().TrackEdit(RowOf("a.mp3"))->text(), "7");
    // clang-format off
    const std::tuple<const char*, const char*, int> genres[] = {{"a.mp3", "Rock", 17},
        {"b.mp3", "Rock, Pop", 17}, {"c.mp3", "Rock", 17}, {"f.mp3", "Disco, Rock, Disco-ish", 4},
        {"g.mp3", "Electronic", 52}};
    // clang-format on
    for (const auto& [name, shown, byte] : genres) {
        EXPECT_EQ(Window->Rows().GenreEdit(RowOf(name))->currentText(), shown);
        EXPECT_TRUE(Window->Rows().GenreEdit(RowOf(name))->toolTip().isEmpty()) << name;
    }

    Window->SpeedButton8Click();  // to ID3v1
    // The record drops the total of e.mp3 when the user says so.
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    SaveAll();

    EXPECT_EQ(Record("a.mp3"), V1Record("Song", "", "", "1988", "", 7, 17));
    for (const auto& [name, shown, byte] : genres) {
        EXPECT_EQ(Record(name)[127], byte) << name;
    }
    ExpectUntouched("d.mp3");
    EXPECT_EQ(Record("e.mp3")[126], 2);
    EXPECT_TRUE(captions_.contains("6 files saved"));
}

}  // namespace
