// The tag panel in the window: an edit, removal or addition of a frame of the
// focused row is an unsaved change of the row, one undo step; a save writes it
// as mutagen reads it back, and a refused edit changes nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "editor/model/row_model.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/window_fixture.h"

namespace {

using testing_mp3::Frame;
using testing_mp3::Latin1Text;
using testing_mp3::ToBytes;

using TagPanel = WindowFixture;

// The frames the file starts with, in a tag of `version`.
testing_mp3::Bytes StartTag(uint8_t v) {
    return testing_mp3::Tag(
        v, {Frame(v, "TIT2", Latin1Text("Old")), Frame(v, "TPE2", Latin1Text("Band")),
            Frame(v, "TXXX", Latin1Text(std::string("CAT\0X1", 6))),
            Frame(v, "COMM", ToBytes(std::string("\0engnote\0old", 12))),
            Frame(v, "WOAR", ToBytes("http://a.example")),
            Frame(v, "UFID", ToBytes(std::string("owner\0id", 8)))});
}

// What mutagen reads of a frame: "lang|desc|text values joined by /|url", or "none".
std::string PeerFrame(const std::string& path, const std::string& id) {
    for (const testing_mp3::MutagenFrame& f : testing_mp3::ReadWithMutagen(path).frames) {
        if (f.id == id) {
            std::string texts;
            for (const std::string& text :
                 f.fields.count("text") ? f.fields.at("text") : std::vector<std::string>{}) {
                texts += (texts.empty() ? "" : "/") + text;
            }
            return f.Field("lang") + "|" + f.Field("desc") + "|" + texts + "|" + f.Field("url");
        }
    }
    return "none";
}

}  // namespace

TEST_F(TagPanel, EditsAreUnsavedRowChangesThatASaveWritesAsPeersReadThem) {
    SKIP_WITHOUT_MUTAGEN();
    struct Case {
        uint8_t version;
        const char* button;  // TagPanelApply, TagPanelRemove, TagPanelAdd
        std::string id;      // the frame selected, or added
        QString text, description, language;
        std::string peer;  // mutagen's reading of `id` after the save; "" when refused
    } cases[] = {
        {3, "TagPanelApply", "TPE2", "Ann; Bob", "", "", "||Ann/Bob|"},
        {4, "TagPanelApply", "TPE2", "Ann; Bob", "", "", "||Ann/Bob|"},
        {4, "TagPanelApply", "TIT2", "Neu \u00e9t\u00e9", "", "", "||Neu \u00e9t\u00e9|"},
        {4, "TagPanelAdd", "TDRC", "2020-01-02T10:30", "", "", "||2020-01-02 10:30|"},
        {3, "TagPanelApply", "TXXX", "Y2", "CATNO", "", "|CATNO|Y2|"},
        {3, "TagPanelApply", "COMM", "two\nlines", "memo", "fin", "fin|memo|two\nlines|"},
        {4, "TagPanelApply", "WOAR", "http://b.example", "", "", "|||http://b.example"},
        {3, "TagPanelRemove", "TXXX", "", "", "", "none"},
        {4, "TagPanelRemove", "TIT2", "", "", "", "none"},
        {4, "TagPanelAdd", "TBPM", "120", "", "", "||120|"},
        {3, "TagPanelAdd", "USLT", "la la", "", "", "eng||la la|"},
        {3, "TagPanelAdd", "TBPM", "fast", "", "", ""},
        {3, "TagPanelApply", "TXXX", "", "", "", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.id + " v" + std::to_string(c.version));
        const std::string path = PathOf("song000.mp3");
        testing_mp3::WriteMp3(path, StartTag(c.version));
        Dialogs.Clear();
        OpenFolder();
        if (State().TagKind != 2) {
            Window->SpeedButton7Click();
        }
        Window->Rows().TitleEdit(0)->setFocus();
        if (!Find<QWidget>("TagPanel")->isVisible()) {
            Command("Tag Panel")->trigger();
        }
        auto* list = Find<QTreeWidget>("TagPanelFrames");
        const QList<QTreeWidgetItem*> found =
            list->findItems(QString::fromStdString(c.id), Qt::MatchExactly, 1);
        if (c.button == std::string("TagPanelAdd")) {
            auto* addable = Find<QComboBox>("TagPanelAddable");
            addable->setCurrentIndex(addable->findData(QString::fromStdString(c.id)));
        } else {
            ASSERT_FALSE(found.isEmpty());
            list->setCurrentItem(found.front());
        }
        Find<QPlainTextEdit>("TagPanelValue")->setPlainText(c.text);
        Find<QLineEdit>("TagPanelDescription")->setText(c.description);
        Find<QLineEdit>("TagPanelLanguage")->setText(c.language);
        Find<QPushButton>(c.button)->click();
        // Refused: the reason shows and the row stays saved; else one undo step.
        EXPECT_EQ(Window->RowModel().Unsaved(0), !c.peer.empty());
        EXPECT_EQ(Dialogs.Errors().isEmpty(), !c.peer.empty());
        if (!c.peer.empty()) {
            // One step: undone, the row is as saved; redone, the edit is back.
            Command("Undo")->trigger();
            EXPECT_FALSE(Window->RowModel().Unsaved(0));
            Command("Redo")->trigger();
            EXPECT_TRUE(Window->RowModel().Unsaved(0));
            // The page read again with another code page keeps the row's frame edits.
            TPreferencesPart& preferences = TForm1TestAccess::Preferences(*Window);
            prefs::TPreferences read = preferences.Preferences();
            read.readCodePage = read.readCodePage.isEmpty() ? QStringLiteral("windows-1251") : "";
            preferences.ApplyPreferences(read);
            ASSERT_TRUE(Window->SpeedButton2Click());
            EXPECT_EQ(PeerFrame(path, c.id), c.peer);
            // The frames the edit did not touch are still there.
            EXPECT_EQ(PeerFrame(path, "UFID").substr(0, 3), "|||");
        }
    }
}
