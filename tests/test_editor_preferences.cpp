// The preferences in the window: the dialog kept through QSettings, a legacy
// code page read and saved as Unicode, the ID3v2 version written (read back by
// mutagen and TagLib), modification times kept, and tags removed.
#include <gtest/gtest.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "editor/dialogs/preferences_dialog.h"
#include "editor/model/preferences.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/window_fixture.h"

namespace {

using namespace testing_mp3;

const std::string kCp1251 = "\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8";
const QString kCyrillic = QString::fromUtf8("Группа крови");
const char* const kNames[] = {"song000.mp3", "song001.mp3"};

// A tag of `version` holding one text frame.
Bytes OneFrame(uint8_t version, const char* id, const std::string& text) {
    return testing_mp3::Tag(version, {Frame(version, id, Latin1Text(text))});
}

class Preferences : public WindowFixture {
  protected:
    void SetUp() override {
        prefs::Save({});
        prefs::RememberTagKind(1);
        WindowFixture::SetUp();
    }
    void Apply(const std::function<void(prefs::TPreferences&)>& change) {
        prefs::TPreferences chosen = Prefs().Preferences();
        change(chosen);
        Prefs().ApplyPreferences(chosen);
    }
    // Two files, each with a version 3 tag and a record.
    void MakeTagged(const std::string& title) {
        for (const char* name : kNames) {
            WriteMp3(PathOf(name), OneFrame(3, "TIT2", title), 2,
                     V1Record(title, "Artist", "", "2001", "", 1, 17));
        }
        OpenFolder();
    }
};

}  // namespace

TEST_F(Preferences, DialogKeepsEverySettingAndTheWindowFollowsAtOnce) {
    OpenWindow(1);
    const prefs::TPreferences chosen{4,    true, true, prefs::StartKind::Last, "windows-1251",
                                     true, true};
    Dialogs.QueueModal([](QDialog* dialog) {
        // windows-1251 comes after Latin-1 and windows-1250.
        const std::pair<const char*, int> picks[] = {{"VersionBox", 1},      {"OtherVersionBox", 1},
                                                     {"GenreNumbersBox", 1}, {"StartKindBox", 2},
                                                     {"ReadPageBox", 2},     {"WritePageBox", 1}};
        for (const auto& [name, index] : picks) {
            dialog->findChild<QComboBox*>(QString::fromLatin1(name))->setCurrentIndex(index);
        }
        dialog->findChild<QCheckBox*>(QStringLiteral("KeepTimesBox"))->setChecked(true);
        return static_cast<int>(QDialog::Accepted);
    });
    QAction* preferences = Command(QStringLiteral("Preferences\u2026"));
    EXPECT_EQ(preferences->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    preferences->trigger();
    EXPECT_EQ(prefs::Load(), chosen);
    EXPECT_EQ(TPreferencesDialog(prefs::Load()).Values(), chosen);
    EXPECT_EQ(Find<QToolButton>("SpeedButton7")->text(), "&Modify ID3v2.4.0-tags");
    EXPECT_EQ(Tag.KeepModificationTime, 1);
    EXPECT_EQ(GenreName(123), "Drum Solo");
    SetGenreNumbering(TGenreNumbering::Standard);
}

TEST_F(Preferences, Windows1251TitlesShowCyrillicAndSaveAsUnicode) {
    SKIP_WITHOUT_MUTAGEN();
    MakeTagged(kCp1251);
    Window->Rows().AlbumEdit(1)->setText(QStringLiteral("Edited"));
    Apply([](prefs::TPreferences& p) { p.readCodePage = QStringLiteral("windows-1251"); });
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), kCyrillic);
    EXPECT_TRUE(Window->Rows().TitleEdit(0)->toolTip().contains(QStringLiteral("windows-1251")));
    EXPECT_FALSE(
        Window->Rows().NotStorable(Window->Rows().TitleEdit(0)));  // the record's own bytes
    // An unsaved edit outlives the page read again.
    EXPECT_EQ(Window->Rows().AlbumEdit(1)->text(), QStringLiteral("Edited"));
    EXPECT_TRUE(Window->RowModel().Unsaved(1));
    Dialogs.QueueAnswer(TDialogs::Answer::Yes);  // save the page before the copy
    Window->SpeedButton8Click();                 // copy tags to ID3v2
    ASSERT_TRUE(Window->SpeedButton2Click());
    for (const char* name : kNames) {
        const MutagenTag tag = ReadWithMutagen(PathOf(name));
        const MutagenFrame& title = tag.Find("TIT2");
        EXPECT_EQ(title.Field("text"), kCyrillic.toStdString());
        EXPECT_EQ(title.Field("encoding"), "1");  // UTF-16 in version 3
    }
}

// In ID3v2 mode unedited legacy text is no edit: Save Row leaves its bytes.
TEST_F(Preferences, SaveRowLeavesUneditedLegacyId3v2Text) {
    SKIP_WITHOUT_MUTAGEN();
    MakeTagged(kCp1251);
    Window->SpeedButton7Click();  // to ID3v2
    Apply([](prefs::TPreferences& p) { p.readCodePage = QStringLiteral("windows-1251"); });
    EXPECT_FALSE(Window->RowModel().Unsaved(0));
    ASSERT_FALSE(Find<QToolButton>("SpeedButton1")->isEnabled());
    const Bytes before = ReadFile(PathOf("song000.mp3"));
    Window->Rows().TitleEdit(0)->setFocus();
    Window->SpeedButton1Click();
    EXPECT_EQ(ReadWithMutagen(PathOf("song000.mp3")).Find("TIT2").Field("encoding"), "0");
    EXPECT_EQ(ReadFile(PathOf("song000.mp3")), before);
}

TEST_F(Preferences, SavesWriteTheVersionChosenAndPeersReadTheSameValues) {
    SKIP_WITHOUT_MUTAGEN();
    const Bytes withSize =
        testing_mp3::Tag(3, {Frame(3, "TYER", Latin1Text("2001")), Frame(3, "TSIZ", {0})});
    const struct {
        const char* name;
        Bytes tag;
        int version;
        bool convert;
        int command;  // the page converted to this version; 0: a title edited
        int written;
        const char* frames;  // "id=text ..." as mutagen reads them
    } cases[] = {
        {"to 2.3 on save", OneFrame(4, "TDRC", "2001-05-06"), 3, true, 0, 3, "TYER=2001 TDAT=0605"},
        {"2.4 kept", OneFrame(4, "TDRC", "2001"), 3, false, 0, 4, "TDRC=2001"},
        {"new tag in 2.4", {}, 4, false, 0, 4, ""},
        {"2.2 written in 2.4", OneFrame(2, "TYE", "2001"), 4, false, 0, 4, "TDRC=2001"},
        {"command to 2.4", withSize, 3, false, 4, 4, "TDRC=2001"},
    };
    OpenWindow(1);
    Window->SpeedButton7Click();  // ID3v2 rows
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = PathOf("song000.mp3");
        WriteMp3(path, c.tag, 2);
        Apply([&c](prefs::TPreferences& p) {
            p.newTagVersion = c.version;
            p.convertOnSave = c.convert;
        });
        Window->Button2Click();
        if (c.command != 0) {
            Prefs().ConvertPageTags(c.command);  // the save below writes only a changed row
            EXPECT_TRUE(Dialogs.Messages().last().contains(QStringLiteral("song000.mp3: TSIZ")));
        } else {
            Window->Rows().TitleEdit(0)->setText(QStringLiteral("New"));
        }
        ASSERT_TRUE(Window->SpeedButton2Click());
        const MutagenTag read = ReadWithMutagen(path);
        EXPECT_EQ(read.version, c.written);
        for (const QString& frame : QString(c.frames).split(' ', Qt::SkipEmptyParts)) {
            const std::string id = frame.section('=', 0, 0).toStdString();
            EXPECT_EQ(read.Find(id).Field("text"), frame.section('=', 1).toStdString()) << id;
        }
        TagLib::MPEG::File file(path.c_str());
        ASSERT_NE(file.ID3v2Tag(), nullptr);
        EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), static_cast<unsigned>(c.written));
        EXPECT_EQ(file.ID3v2Tag()->year(), *c.frames == '\0' ? 0u : 2001u);
        EXPECT_EQ(file.ID3v2Tag()->title().to8Bit(true), c.command != 0 ? "" : "New");
    }
}

TEST_F(Preferences, SavesAndRemovalsKeepModificationTimesAndTouchNothingElse) {
    // Each kind saved and removed, for the focused row and for the page.
    const struct {
        int kind;
        bool remove;
        bool wholePage;
    } cases[] = {{1, false, false}, {2, false, false}, {1, true, false},
                 {2, true, false},  {1, true, true},   {2, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << c.remove << c.wholePage);
        MakeTagged("Title");
        if (c.kind != State().TagKind) {
            Window->SpeedButton7Click();
        }
        Apply([](prefs::TPreferences& p) { p.keepModificationTimes = true; });
        std::vector<Bytes> before;
        for (const char* name : kNames) {
            SetModificationTime(PathOf(name), kOldTime);
            before.push_back(ReadFile(PathOf(name)));
        }
        Window->Rows().TitleEdit(0)->setFocus();
        if (c.remove) {
            Dialogs.QueueAnswer(TDialogs::Answer::Yes);
            Prefs().RemoveTags(c.kind, c.wholePage);
            EXPECT_TRUE(Dialogs.Questions().last().contains(
                c.wholePage ? QStringLiteral("2 files") : QStringLiteral("song000.mp3")));
            EXPECT_TRUE(Window->RowModel().Untagged(0));
        } else {
            Window->Rows().TitleEdit(0)->setText(QStringLiteral("Other"));
            Window->SpeedButton1Click();
        }
        for (size_t i = 0; i < 2; ++i) {
            const std::string path = PathOf(kNames[i]);
            EXPECT_EQ(ModificationTime(path), kOldTime);
            // A removal takes exactly the tag of its kind: the record at the end,
            // or the tag in front of the audio; other files keep every byte.
            const bool removed = c.remove && (i == 0 || c.wholePage);
            const size_t front = removed && c.kind == 2 ? OneFrame(3, "TIT2", "Title").size() : 0;
            const size_t back = removed && c.kind == 1 ? 128 : 0;
            if (c.remove) {
                EXPECT_EQ(ReadFile(path), Bytes(before[i].begin() + front, before[i].end() - back));
            }
        }
    }
}

TEST_F(Preferences, RemovalNamesAFileItCannotReadInsteadOfSayingItHasNoTag) {
    // The first file is gone after the page was built; the page's other file
    // still has its tag removed.
    const struct {
        int kind;
        bool wholePage;
    } cases[] = {{1, false}, {2, false}, {1, true}, {2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << c.wholePage);
        MakeTagged("Title");
        ASSERT_EQ(std::remove(PathOf(kNames[0]).c_str()), 0);
        Dialogs.Clear();
        Window->Rows().TitleEdit(0)->setFocus();
        Dialogs.QueueAnswer(TDialogs::Answer::Yes);
        Prefs().RemoveTags(c.kind, c.wholePage);
        EXPECT_TRUE(Dialogs.Messages().filter(QStringLiteral("has no")).isEmpty());
        const QStringList told = Dialogs.Errors().filter(QStringLiteral("could not be removed"));
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].contains(QStringLiteral(":\n\nsong000.mp3: ")));
        EXPECT_EQ(Dialogs.Questions().size(), c.wholePage ? 1 : 0);
        const std::string other = PathOf(kNames[1]);
        EXPECT_EQ(c.kind == 1 ? !ReadV1Tag(other).NoTag : id3v2::BeginsWithTagMarker(other),
                  !c.wholePage);
        Dialogs.Clear();
    }
}
