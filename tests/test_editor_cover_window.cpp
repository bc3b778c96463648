// The cover pane in the window: picture edits from the pane, a file label and
// the page command become unsaved row changes, revert gives the files' pictures
// back, and a save writes exactly the rows whose pictures changed.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <array>
#include <functional>

#include "editor/cover/cover_pane.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/window_fixture.h"

namespace {

using testing_mp3::Bytes;

Bytes Png(uint8_t fill) {
    Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    bytes.resize(3000, fill);
    return bytes;
}

QByteArray QBytes(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

class CoverWindow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        MakeCovers();
        // Wide enough for the pane beside the rows.
        Window->resize(1200, 600);
        OpenFolder();
        Window->SpeedButton7Click();
    }
    // Row 0 has a front cover, row 1 a back cover, row 2 another front cover.
    void MakeCovers() {
        const std::pair<uint8_t, uint8_t> pictures[] = {{3, 1}, {4, 2}, {3, 3}};
        for (int i = 0; i < 3; ++i) {
            testing_mp3::WriteMp3(File(i));
            Tid3v2tag tag;
            TPicture picture;
            picture.PictureType = pictures[i].first;
            picture.Data = Png(pictures[i].second);
            tag.AddPicture(picture);
            ASSERT_EQ(tag.SaveToFile(File(i), 3, 0, 0), 0);
        }
    }
    std::string File(int k) const { return PathOf("song00" + std::to_string(k) + ".mp3"); }
    void Focus(int k) { Window->TitleEdit(k)->setFocus(); }
    void Command(const QString& caption) {
        for (QAction* action : Find<QMenu>("CommandMenu")->actions()) {
            if (action->text() == caption) {
                action->trigger();
            }
        }
    }
    // Row k's picture types and fill bytes, as "type/fill ".
    std::string RowPictures(int k) const {
        std::string text;
        Tid3v2tag tag;
        tag.LoadFromFile(File(k), 0);
        for (const rows::RowPicture& p : Window->RowModel().ShownPictures(k)) {
            TPicture stored;
            const Bytes data = p.bytes ? *p.bytes : (tag.GetPicture(p.stored, stored), stored.Data);
            text += std::to_string(p.info.PictureType) + "/" + std::to_string(data.back()) + " ";
        }
        return text;
    }
};

}  // namespace

TEST_F(CoverWindow, EditsAreUnsavedRowChangesAndASaveWritesOnlyThoseRows) {
    const struct {
        const char* name;
        std::function<void()> act;
        std::array<const char*, 3> pictures;  // after the act, and in the files after a save
        std::array<bool, 3> unsaved;
    } cases[] = {
        {"drop on a file label",
         [this] {
             QMimeData data;
             data.setData("image/png", QBytes(Png(9)));
             QLabel* label = Window->FileLabel(2);
             QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(label, &enter);
             ASSERT_TRUE(enter.isAccepted());
             QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(label, &drop);
         },
         {"3/1 ", "4/2 ", "3/9 "},
         {false, false, true}},
        {"paste in the pane",
         [this] {
             Focus(1);
             auto* data = new QMimeData;  // the clipboard takes it
             data->setData("image/png", QBytes(Png(9)));
             QApplication::clipboard()->setMimeData(data);
             auto* pane = Find<TCoverPane>("CoverPane");
             pane->setFocus();
             QTest::keyClick(pane, Qt::Key_V, Qt::ControlModifier);
         },
         {"3/1 ", "4/2 3/9 ", "3/3 "},
         {false, true, false}},
        {"remove the shown picture",
         [this] {
             Focus(0);
             Find<QPushButton>("CoverRemove")->click();
         },
         {"", "4/2 ", "3/3 "},
         {true, false, false}},
        {"the shown picture to every row",
         [this] {
             Focus(0);
             Command("Shown Picture to Every Row");
         },
         {"3/1 ", "4/2 3/1 ", "3/1 "},
         {false, true, true}},
        {"with Shift only to rows without a front cover",
         [this] {
             Focus(0);
             Command("Shown Picture to Rows Without a Front Cover");
         },
         {"3/1 ", "4/2 3/1 ", "3/3 "},
         {false, true, false}},
        {"reverted",
         [this] {
             Focus(0);
             Find<QPushButton>("CoverRemoveAll")->click();
             Dialogs.QueueAnswer(TDialogs::Answer::Yes);
             Window->SpeedButton4Click();
         },
         {"3/1 ", "4/2 ", "3/3 "},
         {false, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeCovers();
        Window->Button2Click();
        std::array<Bytes, 3> before;
        for (int k = 0; k < 3; ++k) {
            before[k] = testing_mp3::ReadFile(File(k));
        }
        c.act();
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(RowPictures(k), c.pictures[k]) << k;
            EXPECT_EQ(Window->RowModified(k), c.unsaved[k]) << k;
        }
        EXPECT_EQ(State().PageModified, c.unsaved[0] || c.unsaved[1] || c.unsaved[2]);
        Window->SpeedButton2Click();
        for (int k = 0; k < 3; ++k) {
            EXPECT_FALSE(Window->RowModified(k)) << k;
            EXPECT_EQ(testing_mp3::ReadFile(File(k)) != before[k], c.unsaved[k]) << k;
            EXPECT_EQ(RowPictures(k), c.pictures[k]) << k;
        }
    }
    EXPECT_TRUE(Dialogs.Errors().isEmpty()) << Dialogs.Errors().join('\n').toStdString();
}

TEST_F(CoverWindow, ExportsTheShownPictureAndShowsNothingToLoseInId3v1Mode) {
    Focus(0);
    const QString target = QString::fromStdString(PathOf("exported.png"));
    Dialogs.QueueFile(target);
    Find<QPushButton>("CoverExport")->click();
    QFile exported(target);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), QBytes(Png(1)));
    EXPECT_FALSE(Window->RowModified(0));

    Window->SpeedButton7Click();
    EXPECT_EQ(Find<QLabel>("CoverImage")->text(), "ID3v1 records hold no pictures");
    EXPECT_FALSE(Find<QPushButton>("CoverAdd")->isVisible());
    // At the normal width the pane leaves the rows their room and waits for F9.
    Window->resize(806, 600);
    EXPECT_FALSE(Find<TCoverPane>("CoverPane")->isVisible());
    EXPECT_EQ(Find<QFrame>("Panel2")->width(), 806);
}
