// Views show what the files hold and what a save writes, and commands fit the kind.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "tests/helpers/window_fixture.h"

using namespace testing_mp3;

TEST_F(WindowFixture, ShowWhatTheFilesHoldAndWhatASaveWrites) {
    const auto label = [this](int k) {
        Window->Rows().TitleEdit(k)->setFocus();
        return Find<QLabel>("Label1")->text();
    };
    const auto convert = [this] { return QString::number(Command("Convert")->isEnabled()); };
    // Row 0 holds an ID3v2.3 tag only, row 1 a record only, row 2 both. Steps:
    // m the mode switch, c the copy, v the page's tags converted to 2.4.
    const std::tuple<int, const char*, std::function<QString()>, const char*> cases[] = {
        {3, "c",
         [&] {
             return Window->Rows().TitleEdit(0)->text() + Window->Rows().TitleEdit(0)->toolTip();
         },
         "2no ID3v1 record to copy"},
        {3, "mc",
         [&] {
             return Window->Rows().TitleEdit(1)->text() + Window->Rows().ArtistEdit(1)->toolTip();
         },
         "Title 1no ID3v2 tag to copy"},
        {4, "m", [&] { return label(0) + label(1) + Find<QToolButton>("SpeedButton7")->toolTip(); },
         "ID3v2.3.0ID3v2.4.0New ID3v2 tags are saved as ID3v2.4.0; a save keeps a tag's own "
         "version."},
        {4, "c", [&] { return label(2); }, "ID3v2.3.0"},
        {3, "mv", [&] { return label(2); }, "ID3v2.4.0"},
        {3, "",
         [&] {
             QTest::keyClick(Window.get(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
             const QString id3v1 = QString::number(Dialogs.Messages().size()) + convert();
             Window->SpeedButton7Click();
             return id3v1 + convert();
         },
         "001"},
    };
    WriteMp3(PathOf("a.mp3"), testing_mp3::Tag(3, {Frame(3, "TIT2", Latin1Text("2"))}));
    WriteMp3(PathOf("b.mp3"), {}, 2, V1Record("Title 1", "", "", "", "", 1, 0));
    WriteMp3(PathOf("c.mp3"), testing_mp3::Tag(3, {}, 9), 2, V1Record("", "", "", "", "", 1, 0));
    for (const auto& [newTags, steps, shown, expected] : cases) {
        TearDown();
        SetUp();
        prefs::TPreferences chosen;
        chosen.newTagVersion = newTags;
        Prefs().ApplyPreferences(chosen);
        OpenFolder();
        for (const char* step = steps; *step != '\0'; ++step) {
            *step == 'm'
                ? Window->SpeedButton7Click()
                : (*step == 'c' ? Window->SpeedButton8Click() : Prefs().ConvertPageTags(4));
        }
        EXPECT_EQ(shown().toStdString(), expected);
    }
}
