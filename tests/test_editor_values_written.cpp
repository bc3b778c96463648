// Values written right: what an ID3v1 record stores of what it cannot hold and
// when the user is asked, the ranges of year and track, comment languages.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QString>

#include "editor/model/record_fit.h"
#include "editor/model/tag_values.h"
#include "editor/widgets/spin_edit.h"
#include "id3v1/id3v1.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/window_fixture.h"

using bulk::Column;

TEST(ValuesWritten, RulesOfTheValuesAndWhatARecordStores) {
    const struct {
        std::string got, expected;
    } cases[] = {
        {record_fit::Transliterated(Column::Title, "Café Кино").toStdString(), "Café Kino"},
        {record_fit::Transliterated(Column::Album, "アルバム").toStdString(), "arubamu"},
        {record_fit::Transliterated(Column::Artist, "🎵 Band").toStdString(), " Band"},
        {record_fit::Transliterated(Column::Comment, QString(20, u'Ж') + "abcdefghij")
             .toStdString(),
         std::string(20, 'Z') + "abcdefgh"},
        {record_fit::Transliterated(Column::Genre, "Рок").toStdString(), ""},
        {tag_values::CommentLanguage("deu"), "deu"},
        {tag_values::CommentLanguage(""), "eng"},
        {tag_values::YearText(" +7 "), "7"},
        {tag_values::TrackText("03/ 12"), "3/12"},
        {record_fit::Transliterated(Column::Track, "7/12").toStdString(), "7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got, c.expected);
    }
    const struct {
        bool valid;
        const char* year;
        const char* track;
        int maximum;
    } ranges[] = {
        {true, "", " ", 255},          {true, "9999", "255/300", 255}, {false, "0", "0", 999},
        {false, "-12345", "256", 255}, {false, "10000", "1000", 999},  {false, "-1", "3/x", 999},
        {false, "0", "7/", 999},       {false, "x", "3/1000", 255},
    };
    for (const auto& r : ranges) {
        EXPECT_EQ(tag_values::YearValid(r.year), r.valid) << r.year;
        EXPECT_EQ(tag_values::TrackValid(r.track, r.maximum), r.valid) << r.track;
    }
}

// The question before an ID3v1 save that meets values a record cannot hold,
// asked by a mode switch's save: the answer and what song000.mp3 then holds.
struct Settling {
    TDialogs::Answer answer;
    const char* title;
    const char* artist;
    int kindAfter;  // Cancel keeps the user on the page
};

class Id3v1Question : public WindowFixture, public ::testing::WithParamInterface<Settling> {};

TEST_P(Id3v1Question, IsAskedBeforeWritingAndFollowed) {
    OpenWindow(2, true);
    Window->Rows().TitleEdit(0)->setText("Café Кино");
    Window->Rows().ArtistEdit(0)->setText("New");
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);  // save before the mode switch
    Dialogs.QueueAnswer(GetParam().answer);
    Window->SpeedButton7Click();
    ASSERT_EQ(Dialogs.Questions().size(), 2);
    EXPECT_TRUE(Dialogs.Questions()[1].contains("song000.mp3: Title\n"));
    EXPECT_EQ(ReadV1Tag(PathOf("song000.mp3")).Title, GetParam().title);
    EXPECT_EQ(ReadV1Tag(PathOf("song000.mp3")).Artist, GetParam().artist);
    EXPECT_EQ(State().TagKind, GetParam().kindAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Id3v1Question,
    ::testing::Values(Settling{TDialogs::Answer::Yes, "Caf\xE9 Kino", "New", 2},
                      Settling{TDialogs::Answer::No, "Title 0", "New", 2},
                      Settling{TDialogs::Answer::Cancel, "Title 0", "Artist 0", 1}));

using ValuesWrittenWindow = WindowFixture;

TEST_F(ValuesWrittenWindow, YearOutsideItsRangeIsMarkedAndRefusedNamingRowAndField) {
    OpenWindow(2, true);
    Window->SpeedButton7Click();
    const testing_mp3::Bytes before = testing_mp3::ReadFile(PathOf("song000.mp3"));
    Window->Rows().YearEdit(0)->setText("-12345");
    Window->Rows().TitleEdit(0)->setText("T");
    Window->SpeedButton2Click();
    EXPECT_TRUE(Window->Rows().NotStorable(Window->Rows().YearEdit(0)));
    ASSERT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_TRUE(Dialogs.Errors()[0].contains("Row 1, song000.mp3: Year \"-12345\""));
    EXPECT_EQ(testing_mp3::ReadFile(PathOf("song000.mp3")), before);
}

// song000.mp3 (TRCK "4/60", a Latin-1 comment read as windows-1251, a record of track 4) after
// typing into the track field (after its text from "/"), the command or a title edit; Save All.
struct Written {
    int kind;
    bool command;                              // Store Shown Text as Unicode
    const char *typed, *frame, *text, *asked;  // frame "record": the record's track
};

class ValuesWritten : public WindowFixture, public ::testing::WithParamInterface<Written> {};

TEST_P(ValuesWritten, AreWhatTheUserGave) {
    SKIP_WITHOUT_MUTAGEN();
    using namespace testing_mp3;
    const Written& c = GetParam();
    const Bytes comment = Latin1Text(std::string("deu\0Neuer Kommentar \xE4\xF6\xFC", 23));
    WriteMp3(PathOf("song000.mp3"),
             testing_mp3::Tag(3, {Frame(3, "TRCK", Latin1Text("4/60")), Frame(3, "COMM", comment)}),
             2, V1Record("T", "A", "", "2001", "", 4, 17));
    OpenFolder();
    prefs::TPreferences chosen = Prefs().Preferences();
    chosen.readCodePage = QStringLiteral("windows-1251");
    Prefs().ApplyPreferences(chosen);
    State().TagKind != c.kind ? Window->SpeedButton7Click() : void();
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);
    Window->Rows().TrackEdit(0)->setFocus();
    c.typed[0] == '7' ? Window->Rows().TrackEdit(0)->setText("")
                      : void();  // else typed after "4/60"
    *c.typed != 0 ? TypeText(c.typed)
    : c.command   ? void()
                  : Window->Rows().TitleEdit(0)->setText("N");
    c.command ? Command("Store Shown Text as Unicode")->trigger() : void();
    Window->SpeedButton2Click();
    const std::string path = PathOf("song000.mp3");
    EXPECT_EQ(c.frame == std::string("record") ? std::to_string(ReadV1Tag(path).Track)
                                               : ReadWithMutagen(path).Find(c.frame).Field("text"),
              c.text);
    EXPECT_TRUE(Dialogs.Questions().join("").contains(c.asked));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ValuesWritten,
    ::testing::Values(Written{2, false, "7/12", "TRCK", "7/12", ""},
                      Written{2, false, "/9", "TRCK", "4/60", ""},
                      Written{1, false, "7/12", "record", "7", "song000.mp3: Track"},
                      Written{2, false, "", "COMM", "Neuer Kommentar \u00E4\u00F6\u00FC", ""},
                      Written{2, true, "", "COMM", "Neuer Kommentar \u0434\u0446\u044C",
                              "song000.mp3: Comment"}));
