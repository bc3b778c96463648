// Values written right: what an ID3v1 record stores of what it cannot hold and
// when the user is asked, the ranges of year and track, comment languages.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <functional>
#include <ostream>

#include "editor/record_fit.h"
#include "editor/spin_edit.h"
#include "editor/tag_values.h"
#include "id3v1/id3v1.h"
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
    };
    for (const auto& r : ranges) {
        EXPECT_EQ(tag_values::YearValid(r.year), r.valid) << r.year;
        EXPECT_EQ(tag_values::TrackValid(r.track, r.maximum), r.valid) << r.track;
    }
}

class WindowValues;

// One case of the window: acts on a page of two files with ID3v1 records
// (song000.mp3, song001.mp3), in the kind given, and checks the outcome.
struct WindowCase {
    const char* name;
    int kind;
    std::function<void(WindowValues&)> act;
    std::function<void(WindowValues&)> check;
};

// Test names show the case by its name.
void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowValues : public WindowFixture, public ::testing::WithParamInterface<WindowCase> {
  public:
    using WindowFixture::Dialogs;
    using WindowFixture::State;
    using WindowFixture::Window;
    std::string First() const { return PathOf("song000.mp3"); }
    Tv1TAGInfo FirstRecord() const { return ReadV1Tag(First()); }
    bool FirstUnchanged() const { return testing_mp3::ReadFile(First()) == before_; }
    void SaveAll(TDialogs::Answer answer) {
        Dialogs.QueueAnswer(answer);
        Window->SpeedButton2Click();
    }

  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        OpenWindow(2, true);
        if (GetParam().kind == 2) {
            Window->SpeedButton7Click();
        }
        before_ = testing_mp3::ReadFile(First());
        Dialogs.Clear();
    }
    testing_mp3::Bytes before_;
};

TEST_P(WindowValues, Written) {
    GetParam().act(*this);
    GetParam().check(*this);
}

using Answer = TDialogs::Answer;
INSTANTIATE_TEST_SUITE_P(
    Cases, WindowValues,
    ::testing::Values(
        WindowCase{"TypedCyrillicIsShownAndMarked", 1,
                   [](WindowValues& t) {
                       t.Window->TitleEdit(0)->setFocus();
                       t.Window->TitleEdit(0)->clear();
                       TypeText("Кино");
                   },
                   [](WindowValues& t) {
                       EXPECT_EQ(t.Window->TitleEdit(0)->text(), "Кино");
                       EXPECT_TRUE(TForm1::NotStorable(t.Window->TitleEdit(0)));
                   }},
        WindowCase{"YesAskedBeforeWritingStoresTheTransliteration", 1,
                   [](WindowValues& t) {
                       t.Window->TitleEdit(0)->setText("Café Кино");
                       t.SaveAll(Answer::Yes);
                   },
                   [](WindowValues& t) {
                       EXPECT_EQ(t.FirstRecord().Title, "Caf\xE9 Kino");
                       ASSERT_EQ(t.Dialogs.Questions().size(), 1);
                       EXPECT_TRUE(t.Dialogs.Questions()[0].contains("song000.mp3: Title"));
                   }},
        WindowCase{"NoLeavesThoseFieldsAsOnDisk", 1,
                   [](WindowValues& t) {
                       t.Window->TitleEdit(0)->setText("Кино");
                       t.Window->ArtistEdit(0)->setText("New");
                       t.SaveAll(Answer::No);
                   },
                   [](WindowValues& t) {
                       EXPECT_EQ(t.FirstRecord().Title, "Title 0");
                       EXPECT_EQ(t.FirstRecord().Artist, "New");
                   }},
        WindowCase{"CancelWritesNothingAndStaysOnThePage", 1,
                   [](WindowValues& t) {
                       t.Window->TitleEdit(0)->setText("Кино");
                       t.Dialogs.QueueAnswer(Answer::Yes);  // save before the mode switch
                       t.Dialogs.QueueAnswer(Answer::Cancel);
                       t.Window->SpeedButton7Click();
                   },
                   [](WindowValues& t) {
                       EXPECT_TRUE(t.FirstUnchanged());
                       EXPECT_EQ(t.State().TagKind, 1);
                       EXPECT_EQ(t.Window->TitleEdit(0)->text(), "Кино");
                   }},
        WindowCase{"YearOutsideItsRangeIsMarkedAndRefusedNamingRowAndField", 2,
                   [](WindowValues& t) {
                       t.Window->YearEdit(0)->setText("-12345");
                       t.Window->TitleEdit(0)->setText("T");
                       t.Window->SpeedButton2Click();
                   },
                   [](WindowValues& t) {
                       EXPECT_TRUE(TForm1::NotStorable(t.Window->YearEdit(0)));
                       ASSERT_EQ(t.Dialogs.Errors().size(), 1);
                       EXPECT_TRUE(t.Dialogs.Errors()[0].contains("Row 1, song000.mp3: Year"));
                       EXPECT_TRUE(t.FirstUnchanged());
                   }}),
    [](const ::testing::TestParamInfo<WindowCase>& info) { return info.param.name; });
