// Playback of the focused row's file: the Play/Stop button, the progress timer
// with its per-cent caption and scrolling path, and the pause around saves.
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "editor/dialogs/dialogs.h"
#include "editor/window/form1.h"

#include "editor/model/page_logic.h"
#include "editor/model/save_logic.h"
#include "editor/startup/application.h"
#include "editor/widgets/glyphs.h"
#include "platform/media_device.h"

namespace {

constexpr int kGlyphSize = 17;
// Playback stops this many milliseconds before the end of the file.
constexpr int64_t kEndMargin = 100;
constexpr int kMarqueeWidth = 20;

// The button's two pictures live in hidden labels, as the form designer keeps them.
QLabel* HiddenGlyph(QWidget* parent, const QString& name, const QIcon& glyph) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(kGlyphSize, kGlyphSize);
    label->setPixmap(glyph.pixmap(kGlyphSize, kGlyphSize));
    label->hide();
    return label;
}

// p / n × 100 to the nearest whole number, halves to the even neighbour, in
// exact integer arithmetic so that a half is never lost to floating point.
int64_t PercentHalfEven(int64_t p, int64_t n) {
    const int64_t scaled = p * 100;
    int64_t quotient = scaled / n;
    const int64_t twiceRest = (scaled % n) * 2;
    if (twiceRest > n || (twiceRest == n && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

}  // namespace

void TForm1::ConnectPlayback() {
    ImagePlay = HiddenGlyph(this, QStringLiteral("ImagePlay"), glyphs::Play());
    ImageStop = HiddenGlyph(this, QStringLiteral("ImageStop"), glyphs::Stop());
    PlayButton->setIconSize(QSize(kGlyphSize, kGlyphSize));
    PlayButton->setIcon(ImagePlay->pixmap());
    connect(PlayButton, &QToolButton::clicked, this, Guarded([this] { PlayButtonClick(); }));
    connect(Timer1, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
}

void TForm1::PlayButtonClick() {
    if (Playing) {
        StopPlayback();
        return;
    }
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    const std::optional<int> row = FindFocusedRow();
    if (!row) {
        dialogs_.Message(this, save_logic::NoFocusedRowMessage());
        return;
    }
    StartPlayback(page_logic::FileIndex(PageIndex, *row));
}

void TForm1::StartPlayback(int fileIndex) {
    Playing = true;
    const std::string path = FilePath(fileIndex);
    try {
        media_.Open(path);
        media_.Play();
    } catch (...) {
        // Back to the stopped state before the general error report shows the
        // device's message, so no half-started playback blocks a later save.
        StopPlayback();
        throw;
    }
    PlayButton->setIcon(ImageStop->pixmap());
    PlayButton->setText(QStringLiteral("Sto&p"));
    PlayingPath = path;
    Timer1->start();
}

void TForm1::StopPlayback() {
    Timer1->stop();
    Playing = false;
    media_.Close();
    PlayButton->setIcon(ImagePlay->pixmap());
    PlayButton->setText(QStringLiteral("&Play"));
    RestoreCaption();
}

void TForm1::Timer1Timer() {
    if (Playing && media_.Position() >= media_.Length() - kEndMargin) {
        StopPlayback();
    }
    const QString path = save_logic::DisplayName(PlayingPath);
    ++MarqueeOffset;
    if (MarqueeOffset > path.size()) {
        MarqueeOffset = 0;
    }
    if (!Playing) {
        return;
    }
    const int64_t position = media_.Position();
    const int64_t length = media_.Length();
    if (position == 0 || length == 0) {
        return;
    }
    const int start = std::max(MarqueeOffset, 1) - 1;
    setWindowTitle(QString::number(PercentHalfEven(position, length)) + QStringLiteral("%   ") +
                   path.mid(start, kMarqueeWidth));
}

int64_t TForm1::SuspendPlayback() {
    if (!Playing) {
        return 0;
    }
    const int64_t position = media_.Position();
    media_.Stop();
    media_.Close();
    Timer1->stop();
    return position;
}

void TForm1::ResumePlayback(int64_t position) {
    if (!Playing) {
        return;
    }
    try {
        media_.Open(PlayingPath);
        media_.Seek(position);
        media_.Play();
    } catch (...) {
        // Same as a failed start: the window must not stay "playing" with no
        // device open, or every later save would fail at its suspend step.
        StopPlayback();
        throw;
    }
    Timer1->start();
}
