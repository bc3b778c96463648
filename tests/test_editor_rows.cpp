// Values between rows and tags: the untagged marker in both kinds, the mode
// switch and the copy, and WriteV2Row round trips, including a write that must
// not carry another file's frames, values that cannot be shown in full, and
// fields that refuse characters the tags cannot hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "editor/model/page_logic.h"
#include "editor/widgets/genre_drop_down.h"
#include "editor/widgets/latin1_edit.h"
#include "editor/widgets/spin_edit.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/window_fixture.h"

using testing_mp3::Bytes;
using testing_mp3::Frame;
using testing_mp3::Latin1Text;

namespace {

// The fixture's tag object is called Tag; the tag bytes come from here.
Bytes TagBytes(uint8_t version, const std::vector<Bytes>& frames, uint32_t padding = 0) {
    return testing_mp3::Tag(version, frames, padding);
}

Bytes CommentData(const std::string& language, const std::string& description,
                  const std::string& text) {
    Bytes data = {0};
    data.insert(data.end(), language.begin(), language.end());
    data.insert(data.end(), description.begin(), description.end());
    data.push_back(0);
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

// The tag of a file as a fresh tag object reads it.
struct StoredTag {
    explicit StoredTag(const std::string& path) { result = tag.LoadFromFile(path, 0); }
    std::string Text(const std::string& id) {
        std::string text;
        tag.GetText(id, text);
        return text;
    }
    std::vector<std::string> Ids() const {
        std::vector<std::string> ids;
        for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
            ids.push_back(tag.Frames.Id(i));
        }
        return ids;
    }
    Tid3v2tag tag;
    uint16_t result = 0;
};

}  // namespace

class Rows : public WindowFixture {
  protected:
    // Opens the folder in ID3v2 mode.
    void OpenInV2() {
        OpenFolder();
        Window->SpeedButton7Click();
        ASSERT_EQ(State().TagKind, 2);
    }
    // The row that shows the named file.
    int RowOf(const std::string& name) const {
        for (int k = 0; k < Window->RowsInScope(); ++k) {
            if (Window->Rows().FileLabel(k)->text().toStdString() == name) {
                return k;
            }
        }
        ADD_FAILURE() << name << " is not on the page";
        return 0;
    }
};

TEST_F(Rows, UntaggedMarkerInTheFirstKind) {
    testing_mp3::WriteMp3(PathOf("bare.mp3"));
    testing_mp3::WriteMp3(PathOf("tagged.mp3"), {}, 2,
                          testing_mp3::V1Record("T", "A", "L", "1999", "C", 7, 17));
    OpenFolder();
    const int bare = RowOf("bare.mp3");
    const int tagged = RowOf("tagged.mp3");
    EXPECT_TRUE(Window->RowModel().Untagged(bare));
    EXPECT_FALSE(Window->RowModel().Untagged(tagged));
    for (QWidget* control : Window->Rows().ValueControls(bare)) {
        EXPECT_EQ(control->palette().color(QPalette::Base),
                  QApplication::palette().color(QPalette::Button));
    }
    // Values not in the file look empty, not stored.
    for (QWidget* control : Window->Rows().ValueControls(bare)) {
        EXPECT_EQ(TRowView::ValueText(control), "");
    }
    EXPECT_EQ(Window->Rows().YearEdit(tagged)->text(), "1999");
    EXPECT_EQ(Window->Rows().TrackEdit(tagged)->text(), "7");
    EXPECT_EQ(Window->Rows().GenreEdit(tagged)->currentText(), "Rock");
    EXPECT_EQ(Window->Rows().TitleEdit(tagged)->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
}

TEST_F(Rows, UntaggedMarkerInTheSecondKind) {
    testing_mp3::WriteMp3(PathOf("bare.mp3"));
    testing_mp3::WriteMp3(PathOf("band.mp3"), TagBytes(3, {Frame(3, "TPE1", Latin1Text("Band"))}));
    OpenInV2();
    const int bare = RowOf("bare.mp3");
    const int band = RowOf("band.mp3");
    EXPECT_TRUE(Window->RowModel().Untagged(bare));
    for (QWidget* control : Window->Rows().ValueControls(bare)) {
        EXPECT_EQ(TRowView::ValueText(control), "");
    }

    EXPECT_FALSE(Window->RowModel().Untagged(band));
    EXPECT_EQ(Window->Rows().ArtistEdit(band)->text(), "Band");
    for (QWidget* control : {static_cast<QWidget*>(Window->Rows().TitleEdit(band)),
                             static_cast<QWidget*>(Window->Rows().AlbumEdit(band)),
                             static_cast<QWidget*>(Window->Rows().CommentEdit(band))}) {
        EXPECT_EQ(static_cast<QLineEdit*>(control)->text(), "");
    }
    EXPECT_EQ(Window->Rows().YearEdit(band)->text(), "");
    EXPECT_EQ(Window->Rows().TrackEdit(band)->text(), "");
    EXPECT_EQ(Window->Rows().GenreEdit(band)->currentText(), "");
}

TEST_F(Rows, ModeSwitchRereadsRowsWithTheNewLimits) {
    testing_mp3::WriteMp3(PathOf("a.mp3"),
                          TagBytes(3, {Frame(3, "TIT2", Latin1Text("From v2")),
                                       Frame(3, "TCON", Latin1Text("(17)"))}),
                          2, testing_mp3::V1Record("From v1", "", "", "2000", "", 1, 0));
    OpenFolder();
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "From v1");
    QTest::mouseClick(Find<QToolButton>("SpeedButton7"), Qt::LeftButton);
    EXPECT_EQ(State().TagKind, 2);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "ID3v2.3.0");
    EXPECT_EQ(Find<QToolButton>("SpeedButton7")->text(), "&Modify id3v1.1 tags");
    EXPECT_EQ(Find<QToolButton>("SpeedButton8")->text(), "&Copy tags to Id3v1");
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "From v2");
    EXPECT_EQ(Window->Rows().GenreEdit(0)->currentText(), "Rock");
    EXPECT_EQ(Window->Rows().TrackEdit(0)->maximum(), 999);
    EXPECT_EQ(static_cast<TLatin1Edit*>(Window->Rows().TitleEdit(0))->charLimit(), 0);
    EXPECT_FALSE(State().PageModified);

    QTest::mouseClick(Find<QToolButton>("SpeedButton7"), Qt::LeftButton);
    EXPECT_EQ(State().TagKind, 1);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "ID3v1.1");
    EXPECT_EQ(Find<QToolButton>("SpeedButton7")->text(), "&Modify id3v2.3.0 tags");
    EXPECT_EQ(Find<QToolButton>("SpeedButton8")->text(), "&Copy tags to Id3v2");
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "From v1");
    EXPECT_EQ(Window->Rows().TrackEdit(0)->maximum(), 255);
}

TEST_F(Rows, ModeSwitchCancelKeepsKindCaptionsAndRows) {
    OpenWindow(1, true);
    QTest::keyClicks(QApplication::focusWidget(), "x");
    const QString edited = Window->Rows().TitleEdit(0)->text();
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    QTest::mouseClick(Find<QToolButton>("SpeedButton7"), Qt::LeftButton);
    Dialogs.QueueAnswer(TDialogs::Answer::Cancel);
    QTest::mouseClick(Find<QToolButton>("SpeedButton8"), Qt::LeftButton);
    EXPECT_EQ(Dialogs.Questions().size(), 2);
    EXPECT_EQ(State().TagKind, 1);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "ID3v1.1");
    EXPECT_EQ(Find<QToolButton>("SpeedButton7")->text(), "&Modify ID3v2.3.0-tags");
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), edited);
}

TEST_F(Rows, CopyKeepsValuesAndMarkersAndMarksThePageModified) {
    const std::string forty(40, 't');
    testing_mp3::WriteMp3(PathOf("long.mp3"), TagBytes(3, {Frame(3, "TIT2", Latin1Text(forty)),
                                                           Frame(3, "TYER", Latin1Text("12345"))}));
    testing_mp3::WriteMp3(PathOf("bare.mp3"));
    OpenInV2();
    const int longRow = RowOf("long.mp3");
    const int bare = RowOf("bare.mp3");
    QTest::mouseClick(Find<QToolButton>("SpeedButton8"), Qt::LeftButton);
    EXPECT_EQ(State().TagKind, 1);
    EXPECT_EQ(Find<QLabel>("Label1")->text(), "ID3v1.1");
    EXPECT_EQ(Find<QToolButton>("SpeedButton8")->text(), "&Copy tags to Id3v2");
    EXPECT_TRUE(State().PageModified);
    EXPECT_TRUE(Find<QToolButton>("SpeedButton2")->isEnabled());
    // The 30-character limit stops typing but never cuts what is shown.
    EXPECT_EQ(Window->Rows().TitleEdit(longRow)->text().toStdString(), forty);
    EXPECT_EQ(static_cast<TLatin1Edit*>(Window->Rows().TitleEdit(longRow))->charLimit(), 30);
    EXPECT_EQ(Window->Rows().YearEdit(longRow)->text(), "12345");
    EXPECT_EQ(Window->Rows().YearEdit(longRow)->maximum(), 9999);
    EXPECT_TRUE(Window->RowModel().Untagged(bare));
    EXPECT_FALSE(Window->RowModel().Untagged(longRow));
    Window->Rows().TitleEdit(longRow)->setFocus();
    Window->Rows().TitleEdit(longRow)->end(false);
    QTest::keyClicks(QApplication::focusWidget(), "u");
    EXPECT_EQ(Window->Rows().TitleEdit(longRow)->text().toStdString(), forty);
}

TEST_F(Rows, UnchangedRowGainsNoYearOrTrackFrame) {
    testing_mp3::WriteMp3(PathOf("band.mp3"),
                          TagBytes(3, {Frame(3, "TPE1", Latin1Text("Band"))}, 64));
    OpenInV2();
    EXPECT_EQ(Window->WriteV2Row(PathOf("band.mp3"), 0), 0);
    StoredTag stored(PathOf("band.mp3"));
    ASSERT_LT(stored.result, 256);
    EXPECT_EQ(stored.Text("TPE1"), "Band");
    EXPECT_EQ(stored.Ids(), std::vector<std::string>{"TPE1"});
}

TEST_F(Rows, EditedRowRoundTrips) {
    testing_mp3::WriteMp3(PathOf("a.mp3"), TagBytes(4, {Frame(4, "TIT2", Latin1Text("Old"))}, 32));
    OpenInV2();
    Window->Rows().TitleEdit(0)->setText(QString::fromLatin1("Caf\xe9 song"));
    Window->Rows().ArtistEdit(0)->setText("Someone");
    Window->Rows().AlbumEdit(0)->setText("");
    Window->Rows().YearEdit(0)->setText("1987");
    Window->Rows().CommentEdit(0)->setText("Fine");
    Window->Rows().TrackEdit(0)->setText("4");
    Window->Rows().GenreEdit(0)->setEditText("Jazz");
    EXPECT_EQ(Window->WriteV2Row(PathOf("a.mp3"), 0), 0);
    Find<QPushButton>("Button2")->click();
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), QString::fromLatin1("Caf\xe9 song"));
    EXPECT_EQ(Window->Rows().ArtistEdit(0)->text(), "Someone");
    EXPECT_EQ(Window->Rows().AlbumEdit(0)->text(), "");
    EXPECT_EQ(Window->Rows().YearEdit(0)->text(), "1987");
    EXPECT_EQ(Window->Rows().CommentEdit(0)->text(), "Fine");
    EXPECT_EQ(Window->Rows().TrackEdit(0)->text(), "4");
    EXPECT_EQ(Window->Rows().GenreEdit(0)->currentText(), "Jazz");
    StoredTag stored(PathOf("a.mp3"));
    EXPECT_EQ(stored.tag.MajorVersion, 4);
    EXPECT_EQ(stored.Text("TALB"), "");
}

TEST_F(Rows, CommentInAnyLanguageIsReadAndReplaced) {
    testing_mp3::WriteMp3(PathOf("a.mp3"),
                          TagBytes(3, {Frame(3, "COMM", CommentData("deu", "", "Hallo"))}));
    OpenInV2();
    EXPECT_EQ(Window->Rows().CommentEdit(0)->text(), "Hallo");
    Window->Rows().CommentEdit(0)->setText("Hello");
    ASSERT_EQ(Window->WriteV2Row(PathOf("a.mp3"), 0), 0);
    StoredTag stored(PathOf("a.mp3"));
    COMM comment;
    EXPECT_EQ(stored.tag.GetComment(comment, "", "None"), id3v2::kTextDone);
    EXPECT_EQ(comment.Text, "Hello");
    EXPECT_EQ(comment.Language, "deu");
    const std::vector<std::string> ids = stored.Ids();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "COMM"), 1);
}

TEST_F(Rows, CommentWithADescriptionIsLeftAndANewOneAdded) {
    testing_mp3::WriteMp3(PathOf("a.mp3"),
                          TagBytes(3, {Frame(3, "COMM", CommentData("eng", "note", "Kept"))}));
    OpenInV2();
    EXPECT_EQ(Window->Rows().CommentEdit(0)->text(), "");
    Window->Rows().CommentEdit(0)->setText("New");
    ASSERT_EQ(Window->WriteV2Row(PathOf("a.mp3"), 0), 0);
    StoredTag stored(PathOf("a.mp3"));
    COMM note;
    EXPECT_EQ(stored.tag.GetComment(note, "note", "None"), id3v2::kTextDone);
    EXPECT_EQ(note.Text, "Kept");
    COMM plain;
    EXPECT_EQ(stored.tag.GetComment(plain, "", "None"), id3v2::kTextDone);
    EXPECT_EQ(plain.Text, "New");
    EXPECT_EQ(plain.Language, "eng");
}

// The shared tag object holds the frames of the file loaded last; an untagged
// file must get a tag of its own, never those frames.
TEST_F(Rows, UntaggedFileGetsNoFramesOfTheFileLoadedBefore) {
    testing_mp3::WriteMp3(PathOf("bare.mp3"));
    testing_mp3::WriteMp3(PathOf("rich.mp3"), TagBytes(4, {Frame(4, "TIT2", Latin1Text("Rich")),
                                                           Frame(4, "TPE2", Latin1Text("Guest")),
                                                           Frame(4, "TXXX", Latin1Text("x"))}));
    OpenInV2();
    const int bare = RowOf("bare.mp3");
    Tag.LoadFromFile(PathOf("rich.mp3"), 0);
    Tag.SetExtendedHeader(true);
    Window->Rows().TitleEdit(bare)->setText("Own");
    ASSERT_EQ(Window->WriteV2Row(PathOf("bare.mp3"), bare), 0);
    StoredTag stored(PathOf("bare.mp3"));
    ASSERT_LT(stored.result, 256);
    EXPECT_EQ(stored.Text("TIT2"), "Own");
    for (const std::string& id : stored.Ids()) {
        EXPECT_NE(id, "TPE2");
        EXPECT_NE(id, "TXXX");
    }
    EXPECT_FALSE(stored.tag.ExtendedHeader());
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
}

TEST_F(Rows, UntaggedFileSavesAfterAFailedLoad) {
    testing_mp3::WriteMp3(PathOf("bare.mp3"));
    // A tag that reaches past the end of its file fails and leaves LastResult failed.
    testing_mp3::WriteFile(PathOf("short.mp3"), testing_mp3::TagHeader(3, 5000));
    OpenInV2();
    Tag.LoadFromFile(PathOf("short.mp3"), 0);
    ASSERT_GE(Tag.LastResult, 256);
    Window->Rows().TitleEdit(RowOf("bare.mp3"))->setText("Saved");
    EXPECT_EQ(Window->WriteV2Row(PathOf("bare.mp3"), RowOf("bare.mp3")), 0);
    EXPECT_EQ(StoredTag(PathOf("bare.mp3")).Text("TIT2"), "Saved");
}

TEST_F(Rows, EmptyFileGetsAFreshTag) {
    testing_mp3::WriteFile(PathOf("empty.mp3"), {});
    OpenInV2();
    const int k = RowOf("empty.mp3");
    Window->Rows().TitleEdit(k)->setText("First");
    EXPECT_EQ(Window->WriteV2Row(PathOf("empty.mp3"), k), 0);
    EXPECT_EQ(StoredTag(PathOf("empty.mp3")).Text("TIT2"), "First");
}

TEST_F(Rows, TagThatDidNotLoadIsNeverReplaced) {
    // Version 2.2 is not read; corrupt: a frame larger than the body.
    testing_mp3::WriteMp3(PathOf("old.mp3"),
                          testing_mp3::Concat({testing_mp3::TagHeader(2, 10), Bytes(10, 'x')}));
    Bytes corrupt = TagBytes(3, {Frame(3, "TIT2", Latin1Text("Cut"))});
    corrupt[10 + 7] = 0x7F;
    testing_mp3::WriteMp3(PathOf("corrupt.mp3"), corrupt);
    OpenInV2();
    // The page tells both in one box, and each row's label says why.
    ASSERT_EQ(Dialogs.Errors().size(), 1);
    EXPECT_EQ(Dialogs.Errors()[0].count("The tags of"), 2);
    EXPECT_TRUE(
        Window->Rows().FileLabel(RowOf("old.mp3"))->toolTip().startsWith("old.mp3\nthe tag is"));
    for (const char* name : {"old.mp3", "corrupt.mp3"}) {
        const Bytes before = testing_mp3::ReadFile(PathOf(name));
        const int k = RowOf(name);
        EXPECT_TRUE(Window->RowModel().Untagged(k)) << name;
        Window->Rows().TitleEdit(k)->setText("Overwrite");
        Dialogs.Clear();
        const int result = Window->WriteV2Row(PathOf(name), k);
        EXPECT_GE(result, 256) << name;
        EXPECT_EQ(Dialogs.Errors().join("").section('\n', 0, 0),
                  QStringLiteral("Error #%1! Can not save tags!").arg(result));
        EXPECT_EQ(testing_mp3::ReadFile(PathOf(name)), before) << name;
    }
    EXPECT_EQ(Window->WriteV2Row(PathOf("gone.mp3"), 0) >> 8, 0x01);
}

TEST_F(Rows, ValuesThatCannotBeShownInFullAreKeptUnlessEdited) {
    // Two values: the title shows only the first.
    const Bytes title = {0, 'A', 0, 'B'};
    testing_mp3::WriteMp3(
        PathOf("a.mp3"),
        TagBytes(3, {Frame(3, "TIT2", title), Frame(3, "TYER", Latin1Text("2003-05-01")),
                     Frame(3, "TRCK", Latin1Text("3/12")), Frame(3, "TPE1", Latin1Text("Plain"))}));
    OpenInV2();
    EXPECT_EQ(Window->Rows().TitleEdit(0)->text(), "A");
    EXPECT_FALSE(Window->Rows().TitleEdit(0)->toolTip().isEmpty());
    EXPECT_TRUE(Window->Rows().KeepsStoredValue(Window->Rows().TitleEdit(0)));
    EXPECT_EQ(Window->Rows().YearEdit(0)->text(), "2003-05-01");
    EXPECT_EQ(Window->Rows().TrackEdit(0)->text(), "3/12");
    EXPECT_FALSE(Window->Rows().YearEdit(0)->toolTip().isEmpty());
    EXPECT_TRUE(Window->Rows().ArtistEdit(0)->toolTip().isEmpty());
    EXPECT_FALSE(State().PageModified);

    Window->Rows().ArtistEdit(0)->setText("Edited");
    ASSERT_EQ(Window->WriteV2Row(PathOf("a.mp3"), 0), 0);
    StoredTag stored(PathOf("a.mp3"));
    const uint32_t tit2 = [&] {
        for (uint32_t i = 1; i <= stored.tag.Frames.FrameCount(); ++i) {
            if (stored.tag.Frames.Id(i) == "TIT2") {
                return i;
            }
        }
        return 0u;
    }();
    ASSERT_NE(tit2, 0u);
    EXPECT_EQ(stored.tag.Frames.Data(tit2), title);
    EXPECT_EQ(stored.Text("TYER"), "2003-05-01");
    EXPECT_EQ(stored.Text("TRCK"), "3/12");
    EXPECT_EQ(stored.Text("TPE1"), "Edited");

    // Once edited, the field is written like any other.
    Find<QPushButton>("Button2")->click();
    Window->Rows().TitleEdit(0)->setText("New title");
    Window->Rows().TrackEdit(0)->setText("3");
    EXPECT_FALSE(Window->Rows().KeepsStoredValue(Window->Rows().TitleEdit(0)));
    EXPECT_TRUE(Window->Rows().TitleEdit(0)->toolTip().isEmpty());
    ASSERT_EQ(Window->WriteV2Row(PathOf("a.mp3"), 0), 0);
    StoredTag again(PathOf("a.mp3"));
    EXPECT_EQ(again.Text("TIT2"), "New title");
    EXPECT_EQ(again.Text("TRCK"), "3");
    EXPECT_EQ(again.Text("TYER"), "2003-05-01");
}

TEST_F(Rows, FieldsTakeCharactersBeyondLatin1AndMarkThem) {
    OpenWindow(1);
    QLineEdit* title = Window->Rows().TitleEdit(0);
    title->setFocus();
    title->clear();
    TypeText(QString::fromUtf8("a\xc3\xa9\xd0\x96z"));
    EXPECT_EQ(title->text(), QString::fromUtf8("a\xc3\xa9\xd0\x96z"));
    EXPECT_TRUE(Window->Rows().NotStorable(title));
    title->clear();
    QApplication::clipboard()->setText(QString::fromUtf8("\xe2\x82\xac"));
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    EXPECT_EQ(title->text(), QString::fromUtf8("\xe2\x82\xac"));
    QApplication::clipboard()->setText(QString::fromLatin1("\xbf ok"));
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    EXPECT_EQ(title->text(), QString::fromUtf8("\xe2\x82\xac\xc2\xbf ok"));

    QComboBox* genre = Window->Rows().GenreEdit(0);
    genre->setFocus();
    genre->lineEdit()->selectAll();
    TypeText(QString::fromUtf8("\xd0\x96"));
    EXPECT_EQ(genre->currentText(), QString::fromUtf8("\xd0\x96"));
    EXPECT_TRUE(Window->Rows().NotStorable(genre));
}

TEST_F(Rows, FirstKindLimitStopsTypingAndPastingAtThirtyCharacters) {
    OpenWindow(1);
    QLineEdit* title = Window->Rows().TitleEdit(0);
    title->setFocus();
    title->clear();
    QTest::keyClicks(QApplication::focusWidget(), QString(35, u'a'));
    EXPECT_EQ(title->text().size(), 30);
    title->setText(QString(10, u'b'));
    title->end(false);
    QApplication::clipboard()->setText(QString(25, u'c'));
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
    EXPECT_EQ(title->text(), QString(10, u'b') + QString(20, u'c'));
    QLineEdit* comment = Window->Rows().CommentEdit(0);
    comment->setFocus();
    comment->clear();
    QTest::keyClicks(QApplication::focusWidget(), QString(35, u'a'));
    EXPECT_EQ(comment->text().size(), 28);
}

TEST_F(Rows, GenreCompletesInTheFirstKindOnly) {
    OpenWindow(1, true);
    QComboBox* genre = Window->Rows().GenreEdit(0);
    genre->setFocus();
    genre->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "roc");
    EXPECT_EQ(genre->currentText(), "rock");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    EXPECT_EQ(genre->currentText().toLower(), "rock");

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Window->SpeedButton7Click();
    ASSERT_EQ(State().TagKind, 2);
    genre->setFocus();
    genre->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "roc");
    EXPECT_EQ(genre->currentText(), "roc");
}

class GenreDropDown : public Rows {
  protected:
    TGenreDropDown* List() const {
        return Window->findChild<TGenreDropDown*>(QStringLiteral("GenreDropDown"));
    }
    QString Current() const { return List()->currentIndex().data().toString(); }
    // Focuses the row's genre box with its text selected, then types.
    void TypeGenre(int k, const QString& text) {
        QComboBox* genre = Window->Rows().GenreEdit(k);
        genre->setFocus();
        genre->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    bool OpenUnder(int k) const {
        QComboBox* genre = Window->Rows().GenreEdit(k);
        return List()->isVisible() && List()->Box() == genre &&
               List()->y() == genre->mapTo(Window.get(), QPoint(0, genre->height())).y();
    }
};

TEST_F(GenreDropDown, TypingOpensTheListUnderTheBoxAndKeepsTheKeyboardInIt) {
    OpenWindow(2, true);
    ASSERT_NE(List(), nullptr);
    EXPECT_FALSE(List()->isVisible());  // filling the rows is no typing
    EXPECT_FALSE(List()->isWindow());
    EXPECT_EQ(List()->parentWidget(), Window.get());

    TypeGenre(1, "jaz");
    EXPECT_TRUE(OpenUnder(1));
    EXPECT_EQ(Current(), "Jazz");
    EXPECT_EQ(Window->Rows().GenreEdit(1)->currentText().toLower(), "jazz");  // still completed
    EXPECT_TRUE(Window->Rows().GenreEdit(1)->hasFocus());
    EXPECT_LE(List()->height(),
              TGenreDropDown::kVisibleItems * List()->sizeHintForRow(0) + 2 * List()->frameWidth());

    Dialogs.QueueAnswer(TDialogs::Answer::No);
    Window->SpeedButton7Click();
    ASSERT_EQ(State().TagKind, 2);
    EXPECT_FALSE(List()->isVisible());
    TypeGenre(0, "po");
    EXPECT_EQ(Window->Rows().GenreEdit(0)->currentText(), "po");  // both keys reached the field
    EXPECT_TRUE(OpenUnder(0));
    EXPECT_EQ(Current(), "Podcast");
    QTest::keyClicks(QApplication::focusWidget(), "p");
    EXPECT_EQ(Window->Rows().GenreEdit(0)->currentText(), "pop");
    EXPECT_EQ(Current(), "Pop");
    EXPECT_TRUE(List()->viewport()->rect().contains(List()->visualRect(List()->currentIndex())));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(Current(), Window->Rows().GenreEdit(0)->currentText());
    QTest::keyClicks(QApplication::focusWidget(), "zz");
    EXPECT_FALSE(List()->currentIndex().isValid());
    EXPECT_TRUE(List()->isVisible());
}

TEST_F(GenreDropDown, ClickOnAnItemSetsItAndMarksThePageModified) {
    for (const int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        if (kind == 1) {
            OpenWindow(1);
        } else {
            Dialogs.QueueAnswer(TDialogs::Answer::No);
            Window->SpeedButton7Click();
        }
        TypeGenre(0, "c");
        ASSERT_TRUE(List()->isVisible());
        State().PageModified = false;
        const QModelIndexList found = List()->model()->match(
            List()->model()->index(0, 0), Qt::DisplayRole, "Country", 1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        List()->scrollTo(found[0]);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualRect(found[0]).center());
        EXPECT_EQ(Window->Rows().GenreEdit(0)->currentText(), "Country");
        EXPECT_TRUE(State().PageModified);
        EXPECT_FALSE(List()->isVisible());
        EXPECT_TRUE(Window->Rows().GenreEdit(0)->hasFocus());
    }
}

TEST_F(GenreDropDown, ClosesOnEscEnterFocusLossScrollWheelAndPageRebuild) {
    OpenWindow(page_logic::kRowsPerPage);
    TypeGenre(0, "r");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(List()->isVisible());
    TypeGenre(0, "r");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(List()->isVisible());
    TypeGenre(0, "r");
    Window->Rows().TitleEdit(0)->setFocus();
    EXPECT_FALSE(List()->isVisible());
    TypeGenre(0, "r");
    Window->Rows().GenreEdit(1)->setFocus();
    EXPECT_FALSE(List()->isVisible());

    TypeGenre(0, "r");
    QScrollBar* bar = Find<QScrollArea>("ScrollBox1")->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->value() + TForm1::kRowHeight);
    EXPECT_FALSE(List()->isVisible());

    // The wheel over a focused genre box still steps the genre.
    bar->setValue(0);
    Window->Rows().GenreEdit(0)->setEditText("Rock");
    TypeGenre(0, "r");
    ASSERT_TRUE(List()->isVisible());
    const QString before = Window->Rows().GenreEdit(0)->currentText();
    QWidget* box = Window->Rows().GenreEdit(0);
    const QPoint centre = box->rect().center();
    QWheelEvent wheel(centre, box->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_NE(Window->Rows().GenreEdit(0)->currentText(), before);

    TypeGenre(0, "r");
    Window->Button2Click();
    EXPECT_FALSE(List()->isVisible());
}

// Up, Down and the wheel step from the genre the box shows, or from the match
// the open list highlights, never from the top of the list.
TEST_F(GenreDropDown, ArrowKeysStepFromTheGenreShownOrHighlighted) {
    OpenWindow(1);
    const QAbstractItemModel* genres = List()->model();
    const auto after = [genres](const QString& genre, int steps) {
        const QModelIndexList found =
            genres->match(genres->index(0, 0), Qt::DisplayRole, genre, 1, Qt::MatchExactly);
        return found.isEmpty() ? QString()
                               : genres->index(found[0].row() + steps, 0).data().toString();
    };
    for (const int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        if (kind == 2) {
            Dialogs.QueueAnswer(TDialogs::Answer::No);
            Window->SpeedButton7Click();
        }
        QComboBox* genre = Window->Rows().GenreEdit(0);
        genre->setEditText("Rock");
        genre->setFocus();
        // A step goes to the next name, "Rock & Roll", wherever "Rock" stands.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(genre->currentText(), "Rock & Roll");
        genre->setEditText("Rock");
        QWheelEvent wheel({}, {}, {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(genre, &wheel);
        EXPECT_EQ(genre->currentText(), "Rock & Roll");
        genre->setEditText("(17)");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(genre->currentText(), after("Rock", -1));

        TypeGenre(0, "jaz");
        ASSERT_EQ(Current(), "Jazz");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(genre->currentText(), after("Jazz", 1));
        EXPECT_EQ(Current(), genre->currentText());
    }
}

// The box's own list and the one that follows typing show the longest name whole.
TEST_F(GenreDropDown, ListsAreWideEnoughForTheLongestName) {
    OpenWindow(1);
    TypeGenre(0, "n");
    ASSERT_TRUE(List()->isVisible());
    EXPECT_GE(List()->viewport()->width(), List()->sizeHintForColumn(0));
    QComboBox* genre = Window->Rows().GenreEdit(0);
    genre->showPopup();
    EXPECT_GE(genre->view()->viewport()->width(), genre->view()->sizeHintForColumn(0));
    genre->hidePopup();
}
