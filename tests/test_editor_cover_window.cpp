// The cover pane in the window: picture edits from the pane, a file label and
// the page command become unsaved row changes, revert gives the files' pictures
// back, and a save writes exactly the rows whose pictures changed, as mutagen reads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <array>
#include <functional>

#include "editor/cover/cover_pane.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/window_fixture.h"

namespace {

using testing_mp3::Bytes;
using testing_mp3::Png;
using testing_mp3::PngPicture;
using testing_mp3::ReadFile;

QMimeData* PngData() {
    auto* data = new QMimeData;
    data->setData("image/png",
                  QByteArray(reinterpret_cast<const char*>(Png(3000, 9).data()), 3000));
    return data;
}

class CoverWindow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        MakeCovers();
        Window->resize(1200, 600);  // wide enough for the pane beside the rows
        OpenFolder();
        Window->SpeedButton7Click();
    }
    // Row 0 has a front cover, row 1 a back cover, row 2 another front cover, described.
    void MakeCovers() {
        for (int i = 0; i < 3; ++i) {
            const Bytes png = Png(3000, static_cast<uint8_t>(i + 1));
            testing_mp3::WriteMp3(
                File(i),
                testing_mp3::Tag(3, {PngPicture(3, i == 1 ? 4 : 3, png, i == 2 ? "green" : "")}));
        }
    }
    std::string File(int k) const { return PathOf("song00" + std::to_string(k) + ".mp3"); }
    void Click(int k, const char* button) {
        Window->Rows().TitleEdit(k)->setFocus();
        Find<QPushButton>(button)->click();
    }
    void Keys(QKeyCombination keys, int k = 0) {
        Window->Rows().TitleEdit(k)->setFocus();
        QTest::keyClick(Window.get(), keys.key(), keys.keyboardModifiers());
    }
    void Drop(int k, int type = 3) {  // with that new picture type chosen in the pane
        Find<QComboBox>("CoverNewType")->setCurrentIndex(type);
        const std::unique_ptr<QMimeData> data(PngData());
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(Window->Rows().FileLabel(k), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop({5, 5}, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(Window->Rows().FileLabel(k), &drop);
    }
    void Paste(int k) {
        Window->Rows().TitleEdit(k)->setFocus();
        QApplication::clipboard()->setMimeData(PngData());
        Find<TCoverPane>("CoverPane")->setFocus();
        QTest::keyClick(Find<TCoverPane>("CoverPane"), Qt::Key_V, Qt::ControlModifier);
    }
    QString Status() { return Find<QStatusBar>("StatusBar1")->currentMessage(); }
    // What mutagen reads of a file's pictures, as "type/fill:description "; every one a PNG.
    static std::string PeerPictures(const std::string& path) {
        std::string text;
        for (const testing_mp3::MutagenFrame& frame : testing_mp3::ReadWithMutagen(path).frames) {
            EXPECT_EQ(frame.Field("mime"), "image/png");
            const std::string description = frame.Field("desc");
            text += frame.Field("type") + "/" +
                    std::to_string(uint8_t(frame.Field("data").back())) +
                    (description.empty() ? "" : ":" + description) + " ";
        }
        return text;
    }
};

}  // namespace

TEST_F(CoverWindow, EditsAreUnsavedRowChangesAndASaveWritesOnlyThoseRows) {
    SKIP_WITHOUT_MUTAGEN();
    // A row is unsaved, and its file written by the save, exactly when its pictures changed.
    const std::array<std::string, 3> loaded = {"3/1 ", "4/2 ", "3/3:green "};
    const struct {
        const char* name;
        std::function<void()> act;
        std::array<std::string, 3> pictures;  // in the files after a save
    } cases[] = {
        {"drop on a file label", [this] { Drop(2); }, {"3/1 ", "4/2 ", "3/9 "}},
        {"paste in the pane", [this] { Paste(1); }, {"3/1 ", "4/2 3/9:(2) ", "3/3:green "}},
        {"remove the shown picture", [this] { Click(0, "CoverRemove"); }, {"", "4/2 ", loaded[2]}},
        {"the shown picture to every row",
         [this] { Keys(Qt::CTRL | Qt::ALT | Qt::Key_P); },
         {"3/1 ", "4/2 3/1:(2) ", "3/1 "}},
        {"with Shift only to rows without a front cover",
         [this] { Keys(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_P); },
         {"3/1 ", "4/2 3/1:(2) ", "3/3:green "}},
        {"export",
         [this] {
             Dialogs.QueueFile(QString::fromStdString(PathOf("exported.png")));
             Click(0, "CoverExport");
             EXPECT_EQ(ReadFile(PathOf("exported.png")), Png(3000, 1));
         },
         loaded},
        {"undone",
         [this] {
             Click(0, "CoverRemove");
             Keys(Qt::CTRL | Qt::Key_Z);
         },
         loaded},
        {"reverted",
         [this] {
             Click(0, "CoverRemoveAll");
             Dialogs.QueueAnswer(TDialogs::Answer::Yes);
             Window->SpeedButton4Click();
         },
         loaded},
        {"drops take the pane's type",
         [this] {
             Drop(0, 4);
             Drop(1, 4);
             EXPECT_EQ(Status(), "Back cover of song001.mp3 replaced");
         },
         {"3/1 4/9:(2) ", "4/9 ", "3/3:green "}},
        {"a described picture to every row",
         [this] { Keys(Qt::CTRL | Qt::ALT | Qt::Key_P, 2); },
         {"3/3:green ", "4/2 3/3:green ", "3/3:green "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeCovers();
        Window->Button2Click();
        const std::array<Bytes, 3> before = {ReadFile(File(0)), ReadFile(File(1)),
                                             ReadFile(File(2))};
        c.act();
        EXPECT_EQ(State().PageModified, c.pictures != loaded);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(Window->RowModel().Unsaved(k), c.pictures[k] != loaded[k]) << k;
        }
        Window->SpeedButton2Click();
        for (int k = 0; k < 3; ++k) {
            EXPECT_FALSE(Window->RowModel().Unsaved(k)) << k;
            EXPECT_EQ(ReadFile(File(k)) != before[k], c.pictures[k] != loaded[k]) << k;
            EXPECT_EQ(PeerPictures(File(k)), c.pictures[k]) << k;
        }
    }
    EXPECT_TRUE(Dialogs.Errors().isEmpty()) << Dialogs.Errors().join('\n').toStdString();
}

TEST_F(CoverWindow, ShowsNothingToLoseInId3v1ModeAndLeavesTheRowsTheNormalWidth) {
    Window->SpeedButton7Click();
    EXPECT_EQ(Find<QLabel>("CoverImage")->text(), "ID3v1 records hold no pictures");
    EXPECT_FALSE(Find<QPushButton>("CoverAdd")->isVisible());
    // At the normal width the pane waits for F9 in a window of its own.
    Window->resize(806, 600);
    EXPECT_FALSE(Find<TCoverPane>("CoverPane")->isVisible());
    EXPECT_EQ(Find<QFrame>("Panel2")->width(), 806);
}

TEST_F(CoverWindow, ThePaneShowsTheRowsUnsavedPicturesAfterThePageIsReadAgain) {
    const std::function<void()> rereads[] = {
        [this] {  // a save on close that fails
            const platform::File lock(File(0), platform::File::Mode::Read,
                                      platform::File::Lock::Exclusive);
            Dialogs.QueueAnswer(TDialogs::Answer::Yes);
            EXPECT_FALSE(Window->FormCloseQuery());
        },
        [this] { Prefs().ApplyPreferences({.readCodePage = "windows-1251"}); },  // read again
    };
    for (const auto& reread : rereads) {
        Click(0, "CoverRemove");
        reread();
        EXPECT_EQ(Find<QLabel>("CoverImage")->text(), "No pictures");
    }
}
