// Playing the focused row's file: the Play/Stop button, the progress caption
// and its scrolling path, the stop near the end, the pause around saves and a
// device that cannot open the file. The fake device's clock moves only when
// the test advances it, and timer ticks are driven by calling Timer1Timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "platform/media_device.h"
#include "tests/helpers/window_fixture.h"

namespace {

bool ShowsGlyph(const QToolButton* button, const QLabel* glyph) {
    const QSize size = glyph->size();
    return button->icon().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32) ==
           glyph->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Runs an action as the handler of any event it receives.
class EventHandler : public QObject {
  public:
    explicit EventHandler(std::function<void()> action) : action_(std::move(action)) {}
    bool event(QEvent*) override {
        action_();
        return true;
    }

  private:
    std::function<void()> action_;
};

class PlaybackTest : public WindowFixture {
  protected:
    void FocusRow(int k) {
        Window->Rows().TitleEdit(k)->setFocus();
        ASSERT_EQ(Window->FindFocusedRow(), k);
    }
    // Starts a file without a folder on disk: the fake device opens any path.
    void PlayPath(const std::string& folder, const std::string& name) {
        State().FolderPath = folder;
        State().FileList = {name};
        Window->StartPlayback(0);
    }
    void ExpectStopped() {
        EXPECT_FALSE(State().Playing);
        EXPECT_EQ(Find<QToolButton>("PlayButton")->text(), "&Play");
        EXPECT_TRUE(ShowsGlyph(Find<QToolButton>("PlayButton"), Find<QLabel>("ImagePlay")));
        EXPECT_FALSE(Find<QTimer>("Timer1")->isActive());
        EXPECT_FALSE(Media.IsOpen());
    }
};

TEST_F(PlaybackTest, StartsStoppedWithThePlayGlyphAndA100msTimer) {
    ExpectStopped();
    EXPECT_EQ(Find<QTimer>("Timer1")->interval(), 100);
    EXPECT_EQ(Find<QLabel>("ImagePlay")->size(), QSize(17, 17));
    EXPECT_FALSE(Find<QLabel>("ImagePlay")->isVisible());
    EXPECT_NE(Find<QLabel>("ImagePlay")->pixmap().toImage(),
              Find<QLabel>("ImageStop")->pixmap().toImage());
}

TEST_F(PlaybackTest, PlayPlaysTheFocusedRowOfTheCurrentPage) {
    OpenWindow(45);
    Window->OikealleClick();
    ASSERT_EQ(State().PageIndex, 1);
    FocusRow(3);

    QTest::mouseClick(Find<QToolButton>("PlayButton"), Qt::LeftButton);

    const std::string path = Window->FilePath(43);
    EXPECT_EQ(Media.Calls(), (std::vector<std::string>{"open " + path, "play"}));
    EXPECT_TRUE(State().Playing);
    EXPECT_EQ(State().PlayingPath, path);
    EXPECT_EQ(Find<QToolButton>("PlayButton")->text(), "Sto&p");
    EXPECT_TRUE(ShowsGlyph(Find<QToolButton>("PlayButton"), Find<QLabel>("ImageStop")));
    EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());

    // Pressing again stops, wherever the focus is now.
    Window->Rows().ArtistEdit(7)->setFocus();
    QTest::mouseClick(Find<QToolButton>("PlayButton"), Qt::LeftButton);
    ExpectStopped();
}

TEST_F(PlaybackTest, PlayWithoutAFocusedRowOrWithoutFilesOnlyTellsWhy) {
    Window->PlayButtonClick();  // no folder chosen: no files
    OpenWindow(40);
    if (QWidget* focused = QApplication::focusWidget()) {
        focused->clearFocus();
    }
    ASSERT_FALSE(Window->FindFocusedRow());
    Window->PlayButtonClick();  // a full page, but no row has the focus

    EXPECT_EQ(Dialogs.Messages(), (QStringList{"No mp3-files in the folder.",
                                               "The cursor does not blink on any row."}));
    EXPECT_TRUE(Media.Calls().empty());
    ExpectStopped();
}

TEST_F(PlaybackTest, StopsOneHundredMillisecondsBeforeTheEndAndRestoresTheCaption) {
    OpenWindow(1);
    const QString normalCaption = Window->windowTitle();
    Window->StartPlayback(0);

    Media.Advance(9899);
    Window->Timer1Timer();
    EXPECT_TRUE(State().Playing);
    EXPECT_NE(Window->windowTitle(), normalCaption);

    Media.Advance(1);
    Window->Timer1Timer();
    ExpectStopped();
    EXPECT_EQ(Window->windowTitle(), normalCaption);
}

TEST_F(PlaybackTest, CaptionShowsThePercentRoundedHalfToEven) {
    const QString normalCaption = Window->windowTitle();
    PlayPath("/music", "a.mp3");
    Window->Timer1Timer();  // position 0: no progress to show yet
    EXPECT_EQ(Window->windowTitle(), normalCaption);
    Media.Advance(2500);
    Window->Timer1Timer();
    // The second tick: the path shows from its second character.
    EXPECT_EQ(Window->windowTitle(), "25%   music/a.mp3");

    // 25 of 200 is 12.5 per cent, 75 of 200 is 37.5.
    Media.LengthMs = 200;
    PlayPath("/music", "a.mp3");
    Media.Advance(25);
    Window->Timer1Timer();
    EXPECT_TRUE(Window->windowTitle().startsWith("12%   "));
    Media.Advance(50);
    Window->Timer1Timer();
    EXPECT_TRUE(Window->windowTitle().startsWith("38%   "));
}

TEST_F(PlaybackTest, ThePathScrollsThroughTheCaptionTwentyCharactersWide) {
    const std::string path = "/abcdefghijklmnopqrst/uvw.mp3x";  // 30 characters
    ASSERT_EQ(path.size(), 30u);
    PlayPath("/abcdefghijklmnopqrst", "uvw.mp3x");
    ASSERT_EQ(State().PlayingPath, path);
    ASSERT_EQ(State().MarqueeOffset, 0);

    std::vector<int> starts;
    for (int tick = 0; tick < 33; ++tick) {
        Media.Advance(100);
        Window->Timer1Timer();
        const QString caption = Window->windowTitle();
        const QString shown = caption.mid(caption.indexOf("%   ") + 4);
        ASSERT_LE(shown.size(), 20);
        const int start = static_cast<int>(path.find(shown.toStdString())) + 1;
        ASSERT_EQ(shown.toStdString(), path.substr(start - 1, 20));
        starts.push_back(start);
    }
    std::vector<int> expected;
    for (int start = 1; start <= 30; ++start) {
        expected.push_back(start);
    }
    expected.insert(expected.end(), {1, 1, 2});
    EXPECT_EQ(starts, expected);
}

TEST_F(PlaybackTest, SuspendAndResumeContinueAtTheSamePosition) {
    PlayPath("/music", "a.mp3");
    Media.Advance(3000);

    EXPECT_EQ(Window->SuspendPlayback(), 3000);
    EXPECT_FALSE(Media.IsOpen());
    EXPECT_FALSE(Find<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(State().Playing);
    EXPECT_EQ(Find<QToolButton>("PlayButton")->text(), "Sto&p");

    Window->ResumePlayback(3000);
    EXPECT_EQ(Media.Calls(), (std::vector<std::string>{"open /music/a.mp3", "play", "stop", "close",
                                                       "open /music/a.mp3", "seek 3000", "play"}));
    EXPECT_EQ(Media.Position(), 3000);
    EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
}

TEST_F(PlaybackTest, SuspendAndResumeDoNothingWhenStopped) {
    EXPECT_EQ(Window->SuspendPlayback(), 0);
    Window->ResumePlayback(1234);
    EXPECT_TRUE(Media.Calls().empty());
    ExpectStopped();
}

TEST_F(PlaybackTest, AFileTheDeviceCannotOpenIsReportedAndLeavesPlaybackStopped) {
    OpenWindow(2);
    FocusRow(1);
    Media.OpenFailure = "Error reading the stream. (code 18)";

    // Delivered as an event so the exception meets the application's report.
    // (A real mouse click would do the same, but unwinding through Qt's mouse
    // handling leaks a few of Qt's own bytes, which the leak checker reports.)
    EventHandler press([this] { Window->PlayButtonClick(); });
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&press, &event);

    EXPECT_EQ(Dialogs.Errors(), QStringList{"Error reading the stream. (code 18)"});
    ExpectStopped();
    // A save's suspend step no longer meets a half-started playback.
    EXPECT_EQ(Window->SuspendPlayback(), 0);

    Media.OpenFailure.clear();
    QTest::mouseClick(Find<QToolButton>("PlayButton"), Qt::LeftButton);
    EXPECT_TRUE(State().Playing);
    EXPECT_EQ(Media.OpenedPath(), Window->FilePath(1));
}

TEST_F(PlaybackTest, AResumeThatCannotReopenTheFileStopsPlayback) {
    PlayPath("/music", "a.mp3");
    Media.Advance(500);
    const int64_t position = Window->SuspendPlayback();
    Media.OpenFailure = "File access error. (code 22)";

    EXPECT_THROW(Window->ResumePlayback(position), platform::MediaError);
    ExpectStopped();
    EXPECT_NO_THROW(Window->SuspendPlayback());
}

}  // namespace

// The window over the real decoder on the "dummy" output, driven by its own timer.
TEST_F(PlaybackTest, ARealFilePlaysWithTheProgressInTheCaptionUntilNearItsEnd) {
    Window.reset();
    auto device = platform::CreateMpg123Device("dummy");
    Window = std::make_unique<TForm1>(Tag, Dialogs, *device);
    testing_mp3::WriteMp3(Dir.File("short.mp3"), {}, 40);  // 1044 ms
    OpenFolder();
    FocusRow(0);

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(Find<QToolButton>("PlayButton"), Qt::LeftButton);
    ASSERT_TRUE(State().Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Window->windowTitle().contains("%   "); }, 900));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !State().Playing; }, 3000));
    EXPECT_GE(clock.elapsed(), 944 - 100);  // played in real time up to the end margin
    EXPECT_FALSE(Window->windowTitle().contains("%   "));
    EXPECT_TRUE(Dialogs.ShownBoxes().empty());
    Window.reset();  // before the device it uses
}
