// Views that show what the files hold and what a save writes: the rows after a
// copy to the other kind, the kind label's version, the commands each kind offers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "editor/model/preferences.h"
#include "tests/helpers/window_fixture.h"

using testing_mp3::Frame;
using testing_mp3::Latin1Text;

namespace {

class Views : public WindowFixture {
  protected:
    void SetUp() override {
        prefs::Save({});
        prefs::RememberTagKind(1);
        WindowFixture::SetUp();
    }
    QString Label() const { return Find<QLabel>("Label1")->text(); }
    QString Focused(int k) {
        Window->TitleEdit(k)->setFocus();
        return Label();
    }
    QString Enabled(std::initializer_list<const char*> commands) const {
        QString flags;
        for (const char* command : commands) {
            flags += Command(command)->isEnabled() ? u'1' : u'0';
        }
        return flags;
    }
};

// Row 0 ID3v2.3 only, row 1 a record only, row 2 both.
struct ViewCase {
    const char* what;
    int newTags;
    std::function<QString()> shown;
    const char* expected;
};

TEST_F(Views, ShowWhatTheFilesHoldAndWhatASaveWrites) {
    const ViewCase cases[] = {
        {"copy to ID3v2, no record", 3,
         [this] {
             Window->SpeedButton8Click();
             return Window->TitleEdit(0)->text() + u'|' + Window->TitleEdit(0)->toolTip() + u'|' +
                    QString::number(Window->RowModified(0));
         },
         "Two|no ID3v1 record to copy|0"},
        {"copy to ID3v1, no ID3v2 tag", 3,
         [this] {
             Window->SpeedButton7Click();
             Window->SpeedButton8Click();
             return Window->TitleEdit(1)->text() + u'|' + Window->ArtistEdit(1)->toolTip();
         },
         "Title 1|no ID3v2 tag to copy"},
        {"label follows the focus", 4,
         [this] {
             Window->SpeedButton7Click();
             return Focused(0) + u'|' + Focused(1) + u'|' +
                    Find<QToolButton>("SpeedButton7")->toolTip();
         },
         "ID3v2.3.0|ID3v2.4.0|New ID3v2 tags are saved as ID3v2.4.0; a save keeps a tag's own "
         "version."},
        {"label after a copy into a tag", 4,
         [this] {
             Window->SpeedButton8Click();
             return Focused(2);
         },
         "ID3v2.3.0"},
        {"label follows a convert", 3,
         [this] {
             Window->SpeedButton7Click();
             Window->ConvertPageTags(4);
             return Focused(2);
         },
         "ID3v2.4.0"},
        {"commands of each kind", 3,
         [this] {
             const auto flags = [this] {
                 return Enabled({"Shown Picture to Every Row", "Shown Picture to Rows Without",
                                 "Convert the page's tags to 2.3", "Convert the page's tags to 2.4",
                                 "Cover Art", "Remove ID3v2"});
             };
             const auto before = Dialogs.Messages().size();
             QTest::keyClick(Window.get(), Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
             const QString v1 = flags() + QString::number(Dialogs.Messages().size() - before);
             Window->SpeedButton7Click();
             return v1 + u'|' + flags();
         },
         "0000110|111111"},
    };
    for (const ViewCase& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        testing_mp3::WriteMp3(PathOf("a.mp3"),
                              testing_mp3::Tag(3, {Frame(3, "TIT2", Latin1Text("Two"))}), 2);
        testing_mp3::WriteMp3(PathOf("b.mp3"), {}, 2,
                              testing_mp3::V1Record("Title 1", "", "", "", "", 1, 0));
        testing_mp3::WriteMp3(PathOf("c.mp3"),
                              testing_mp3::Tag(3, {Frame(3, "TIT2", Latin1Text("Three"))}), 2,
                              testing_mp3::V1Record("Title 2", "", "", "", "", 1, 0));
        prefs::TPreferences chosen = Window->Preferences();
        chosen.newTagVersion = c.newTags;
        Window->ApplyPreferences(chosen);
        OpenFolder();
        EXPECT_EQ(c.shown().toStdString(), c.expected);
    }
}

}  // namespace
