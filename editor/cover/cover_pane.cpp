// The cover pane's controls, the picture shown, and the user's requests.
#include "editor/cover/cover_pane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/cover/picture_decode.h"
#include "editor/cover/picture_input.h"
#include "editor/dialogs/dialogs.h"

namespace {

// Some players and car stereos refuse pictures beyond these; the pane marks
// them and lets the user keep them.
constexpr qint64 kLargePictureBytes = 1024 * 1024;
constexpr int kLargePictureWidth = 1500;

QPushButton* Button(const QString& name, const QString& caption, const QString& tip) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(tip);
    return button;
}

}  // namespace

QString PictureTypeCaption(uint8_t type) {
    const std::string_view name = id3v2::PictureTypeName(type);
    return name.empty() ? QStringLiteral("Picture type %1").arg(type)
                        : QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

TCoverPane::TCoverPane(TDialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("CoverPane"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Drop an image file or image here, or paste one with Ctrl+V"));
    // Resizing decodes the shown picture again at the new size, once the
    // resizing has paused.
    redecode_.setSingleShot(true);
    redecode_.setInterval(80);
    connect(&redecode_, &QTimer::timeout, this, &TCoverPane::Decode);
    BuildControls();
    ShowNoRow();
}

void TCoverPane::BuildControls() {
    image_ = new QLabel;
    image_->setObjectName(QStringLiteral("CoverImage"));
    image_->setAlignment(Qt::AlignCenter);
    image_->setWordWrap(true);
    image_->setMinimumSize(160, 160);
    image_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    details_ = new QLabel;
    details_->setObjectName(QStringLiteral("CoverDetails"));
    details_->setWordWrap(true);
    // Descriptions and MIME types come from the file: never read as markup.
    image_->setTextFormat(Qt::PlainText);
    details_->setTextFormat(Qt::PlainText);
    largeMark_ = new QLabel(QStringLiteral("Large picture"));
    largeMark_->setObjectName(QStringLiteral("CoverLargeMark"));
    largeMark_->setStyleSheet(QStringLiteral("color: #b05000; font-weight: bold"));

    previous_ = Button(QStringLiteral("CoverPrevious"), QStringLiteral("<"),
                       QStringLiteral("Previous picture (Page Up)"));
    next_ = Button(QStringLiteral("CoverNext"), QStringLiteral(">"),
                   QStringLiteral("Next picture (Page Down)"));
    counter_ = new QLabel;
    counter_->setObjectName(QStringLiteral("CoverCounter"));
    counter_->setAlignment(Qt::AlignCenter);
    newType_ = new QComboBox;
    newType_->setObjectName(QStringLiteral("CoverNewType"));
    newType_->setToolTip(QStringLiteral("The picture type a new picture gets"));
    for (uint8_t type = 0; type < id3v2::kPictureTypeCount; ++type) {
        newType_->addItem(PictureTypeCaption(type), type);
    }
    newType_->setCurrentIndex(id3v2::kPictureFrontCover);
    add_ = Button(QStringLiteral("CoverAdd"), QStringLiteral("Add..."),
                  QStringLiteral("Add a picture from a file (Ctrl+O); paste one with Ctrl+V"));
    export_ = Button(QStringLiteral("CoverExport"), QStringLiteral("Export..."),
                     QStringLiteral("Save the shown picture to a file (Ctrl+E)"));
    remove_ = Button(QStringLiteral("CoverRemove"), QStringLiteral("Remove"),
                     QStringLiteral("Remove the shown picture (Delete)"));
    removeAll_ = Button(QStringLiteral("CoverRemoveAll"), QStringLiteral("Remove All"),
                        QStringLiteral("Remove all pictures of the file (Shift+Delete)"));
    connect(previous_, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { Step(1); });
    connect(add_, &QPushButton::clicked, this, &TCoverPane::AddFromFile);
    connect(export_, &QPushButton::clicked, this, &TCoverPane::ExportShown);
    connect(remove_, &QPushButton::clicked, this, &TCoverPane::RemoveShown);
    connect(removeAll_, &QPushButton::clicked, this, &TCoverPane::RemoveAll);

    // Keys work while the focus is anywhere in the pane, not in the window.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence::Paste, [this] { Paste(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_O), [this] { add_->click(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_E), [this] { export_->click(); }},
        {QKeySequence(Qt::Key_Delete), [this] { remove_->click(); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), [this] { removeAll_->click(); }},
        {QKeySequence(Qt::Key_PageUp), [this] { previous_->click(); }},
        {QKeySequence(Qt::Key_PageDown), [this] { next_->click(); }},
    };
    for (const auto& [key, run] : keys) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    }

    controls_ = new QWidget;
    auto* steps = new QHBoxLayout;
    steps->addWidget(previous_);
    steps->addWidget(counter_, 1);
    steps->addWidget(next_);
    auto* edits = new QHBoxLayout;
    edits->addWidget(add_);
    edits->addWidget(export_);
    edits->addWidget(remove_);
    edits->addWidget(removeAll_);
    auto* controls = new QVBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addLayout(steps);
    auto* type = new QHBoxLayout;
    type->addWidget(new QLabel(QStringLiteral("New picture type:")));
    type->addWidget(newType_, 1);
    controls->addLayout(type);
    controls->addLayout(edits);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(image_, 1);
    layout->addWidget(details_);
    layout->addWidget(largeMark_);
    layout->addWidget(controls_);
}

void TCoverPane::ShowRow(TCoverRow row, int number) {
    mode_ = Mode::Pictures;
    row_ = std::move(row);
    index_ = std::clamp(number - 1, 0, std::max(0, static_cast<int>(row_.Pictures.size()) - 1));
    ShowCurrent();
}

void TCoverPane::ShowId3v1() {
    mode_ = Mode::Id3v1;
    row_ = {};
    index_ = 0;
    ShowCurrent();
}

void TCoverPane::ShowNoRow() {
    mode_ = Mode::NoRow;
    row_ = {};
    index_ = 0;
    ShowCurrent();
}

int TCoverPane::ShownNumber() const {
    return mode_ == Mode::Pictures && !row_.Pictures.empty() ? index_ + 1 : 0;
}

int TCoverPane::NewPictureType() const {
    return newType_->currentData().toInt();
}

void TCoverPane::ShowCurrent() {
    // A hidden pane fetches and decodes nothing until it is shown.
    stale_ = !isVisible();
    if (stale_) {
        return;
    }
    shownBytes_.clear();
    decodedBox_ = QSize();
    image_->clear();
    details_->clear();
    largeMark_->hide();
    if (mode_ == Mode::Id3v1) {
        image_->setText(QStringLiteral("ID3v1 records hold no pictures"));
    } else if (mode_ == Mode::Pictures && row_.Pictures.empty()) {
        image_->setText(QStringLiteral("No pictures"));
    } else if (mode_ == Mode::Pictures) {
        const TPictureInfo& info = row_.Pictures[static_cast<size_t>(index_)];
        if (info.Readable && row_.Fetch) {
            const std::vector<uint8_t> bytes = row_.Fetch(static_cast<uint32_t>(index_ + 1));
            shownBytes_ = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                     static_cast<qsizetype>(bytes.size()));
        }
        Decode();
    }
    UpdateControls();
}

void TCoverPane::Decode() {
    if (mode_ != Mode::Pictures || row_.Pictures.empty()) {
        return;
    }
    const TPictureInfo& info = row_.Pictures[static_cast<size_t>(index_)];
    const QString mime =
        QString::fromLatin1(info.MimeType.data(), static_cast<qsizetype>(info.MimeType.size()));
    decodedBox_ = image_->contentsRect().size();
    TShownPicture shown = DecodeForShowing(shownBytes_, decodedBox_, mime);
    if (shownBytes_.isEmpty()) {
        // Unreadable, or its bytes could not be fetched: name what the tag holds.
        shown.Failure = CannotShowText(static_cast<qint64>(info.Size), mime);
    }
    if (shown.Image.isNull()) {
        image_->setText(shown.Failure);
    } else {
        image_->setPixmap(QPixmap::fromImage(shown.Image));
    }
    QString text =
        shown.FullSize.isValid()
            ? QStringLiteral("%1 x %2, ").arg(shown.FullSize.width()).arg(shown.FullSize.height())
            : QString();
    text += ByteCountText(static_cast<qint64>(info.Size));
    if (!info.Readable) {
        text += QStringLiteral(", unreadable");
    } else {
        text += QLatin1Char('\n') + PictureTypeCaption(info.PictureType);
        if (!info.Description.empty()) {
            // A tag may hold a description of any length; the pane shows its start.
            constexpr qsizetype kShownDescription = 200;
            const QString description = QString::fromStdString(info.Description);
            text += QStringLiteral(": ") + description.left(kShownDescription);
            if (description.size() > kShownDescription) {
                text += QChar(0x2026);
            }
        }
    }
    details_->setText(text);
    const bool heavy = static_cast<qint64>(info.Size) > kLargePictureBytes;
    const bool wide = shown.FullSize.width() > kLargePictureWidth;
    largeMark_->setVisible(heavy || wide);
    largeMark_->setToolTip(
        QStringLiteral("%1%2: some players and car stereos refuse pictures larger than 1 MB "
                       "or wider than %3 px")
            .arg(ByteCountText(static_cast<qint64>(info.Size)),
                 shown.FullSize.isValid()
                     ? QStringLiteral(", %1 px wide").arg(shown.FullSize.width())
                     : QString())
            .arg(kLargePictureWidth));
}

void TCoverPane::UpdateControls() {
    const bool pictures = mode_ == Mode::Pictures;
    const int count = pictures ? static_cast<int>(row_.Pictures.size()) : 0;
    // Records hold no pictures: nothing is offered that would add or lose one.
    controls_->setVisible(mode_ != Mode::Id3v1);
    setAcceptDrops(pictures);
    previous_->setVisible(count > 1);
    next_->setVisible(count > 1);
    previous_->setEnabled(index_ > 0);
    next_->setEnabled(index_ + 1 < count);
    counter_->setText(count > 1 ? QStringLiteral("%1 of %2").arg(index_ + 1).arg(count)
                                : QString());
    newType_->setEnabled(pictures);
    add_->setEnabled(pictures);
    export_->setEnabled(count > 0 && !shownBytes_.isEmpty());
    remove_->setEnabled(count > 0);
    removeAll_->setEnabled(count > 0);
}

void TCoverPane::Step(int delta) {
    const int target = index_ + delta;
    if (mode_ == Mode::Pictures && target >= 0 && target < static_cast<int>(row_.Pictures.size())) {
        index_ = target;
        ShowCurrent();
    }
}

void TCoverPane::Offer(const TIncomingPicture& picture) {
    if (!picture.Failure.isEmpty()) {
        dialogs_.Error(this, picture.Failure);
    } else if (!picture.Bytes.isEmpty()) {
        emit PictureAdded(picture.Bytes, NewPictureType());
    }
}

void TCoverPane::AddFromFile() {
    if (mode_ != Mode::Pictures) {
        return;
    }
    const QString path = dialogs_.ChooseFile(
        this, TDialogs::FileAccess::Open, QStringLiteral("Add Picture"), row_.Folder,
        QStringLiteral("Images (*.jpg *.jpeg *.png *.gif *.webp *.bmp);;All files (*)"));
    if (!path.isEmpty()) {
        Offer(PictureFromFile(path));
    }
}

void TCoverPane::Paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (mode_ == Mode::Pictures && data != nullptr) {
        Offer(PictureFromMime(*data));
    }
}

void TCoverPane::dragEnterEvent(QDragEnterEvent* event) {
    if (mode_ == Mode::Pictures && MayHoldPicture(*event->mimeData())) {
        event->acceptProposedAction();
    }
}

void TCoverPane::dropEvent(QDropEvent* event) {
    if (mode_ == Mode::Pictures) {
        event->acceptProposedAction();
        Offer(PictureFromMime(*event->mimeData()));
    }
}

void TCoverPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) {
        ShowCurrent();
    }
}

void TCoverPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!shownBytes_.isEmpty() && image_->contentsRect().size() != decodedBox_) {
        redecode_.start();
    }
}

void TCoverPane::ExportShown() {
    if (ShownNumber() == 0 || shownBytes_.isEmpty()) {
        return;
    }
    const TPictureInfo& info = row_.Pictures[static_cast<size_t>(index_)];
    QString mime = MimeTypeOf(shownBytes_);
    if (mime.isEmpty()) {
        mime =
            QString::fromLatin1(info.MimeType.data(), static_cast<qsizetype>(info.MimeType.size()));
    }
    const QString start = QDir(row_.Folder).filePath(ExportFileName(row_.Artist, row_.Album, mime));
    const QString path =
        dialogs_.ChooseFile(this, TDialogs::FileAccess::Save, QStringLiteral("Export Picture"),
                            start, QStringLiteral("All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    // Written whole or not at all: a failed export leaves no half file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(shownBytes_) != shownBytes_.size() ||
        !file.commit()) {
        dialogs_.Error(this, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        return;
    }
    emit PictureExported(index_ + 1, path);
}

void TCoverPane::RemoveShown() {
    if (ShownNumber() != 0) {
        emit PictureRemoved(index_ + 1);
    }
}

void TCoverPane::RemoveAll() {
    if (ShownNumber() != 0) {
        emit AllPicturesRemoved();
    }
}
