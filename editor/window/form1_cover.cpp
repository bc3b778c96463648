// The cover pane in the window: beside the rows when the window is wide enough
// and on demand in a small window of its own otherwise; it shows the focused
// row's pictures, and its edits, drops on file labels and the page-wide cover
// command become unsaved changes of the rows.
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "editor/cover/cover_pane.h"
#include "editor/cover/picture_input.h"
#include "editor/dialogs/dialogs.h"
#include "editor/model/column_layout.h"
#include "editor/model/counted.h"
#include "editor/model/page_logic.h"
#include "editor/model/save_logic.h"
#include "editor/startup/application.h"
#include "editor/window/form1.h"
#include "id3v2/id3v2.h"

namespace {

// Wide enough for the picture; the pane's buttons may ask for more.
constexpr int kCoverPaneWidth = 300;

using TBytes = std::shared_ptr<const std::vector<uint8_t>>;

TBytes BytesOf(const QByteArray& data) {
    const auto* begin = reinterpret_cast<const uint8_t*>(data.constData());
    return std::make_shared<const std::vector<uint8_t>>(begin, begin + data.size());
}

// The bytes of a row's picture: its new bytes, else those the file holds.
std::vector<uint8_t> PictureBytes(const rows::RowPicture& picture, const std::string& path) {
    if (picture.bytes) {
        return *picture.bytes;
    }
    Tid3v2tag tag;
    TPicture stored;
    if (!id3v2::Succeeded(tag.LoadFromFile(path, 0)) ||
        tag.GetPicture(picture.stored, stored) != id3v2::kPictureDone) {
        return {};
    }
    return std::move(stored.Data);
}

}  // namespace

void TForm1::CreateCoverPane() {
    CoverPane = new TCoverPane(dialogs_, this);
    // Wider where the desktop's style needs more room for the pane's buttons.
    CoverPane->setFixedWidth(std::max(kCoverPaneWidth, CoverPane->minimumSizeHint().width()));
    // The panel and the rows stand in a column of their own, the pane beside it.
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->removeWidget(Panel2);
    outer->removeWidget(ScrollBox1);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    column->addWidget(Panel2);
    column->addWidget(ScrollBox1, 1);
    coverSide_ = new QHBoxLayout;
    coverSide_->setSpacing(0);
    coverSide_->addLayout(column, 1);
    outer->insertLayout(0, coverSide_, 1);

    CoverWindow = new QWidget(this, Qt::Tool);
    CoverWindow->setObjectName(QStringLiteral("CoverWindow"));
    CoverWindow->setWindowTitle(QStringLiteral("Cover Art"));
    new QVBoxLayout(CoverWindow);
    CoverWindow->resize(CoverPane->width(), 420);
    installEventFilter(this);
    PlaceCoverPane();
}

void TForm1::ConnectCover() {
    CommandMenu->addSeparator();
    AddCommand(QStringLiteral("Cover Art"), QKeySequence(Qt::Key_F9),
               [this] { ToggleCoverPane(); });
    // Shift, as on the column boxes, narrows the command to rows without a
    // front cover: held while choosing it from the menu, or in its keys.
    const auto toPage = [this](bool withoutFrontCover) {
        return Guarded([this, withoutFrontCover] {
            const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
            RunAsOneStep(QStringLiteral("Shown Picture to Every Row"),
                         [&] { CoverForPage(withoutFrontCover || shift); });
        });
    };
    OnlyInId3v2(AddCommand(QStringLiteral("Shown Picture to Every Row"),
                           QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P), toPage(false)));
    OnlyInId3v2(AddCommand(QStringLiteral("Shown Picture to Rows Without a Front Cover"),
                           QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_P), toPage(true)));

    connect(CoverPane, &TCoverPane::PictureAdded, this, [this](const QByteArray& bytes, int type) {
        Guarded([&] {
            if (coverRow_) {
                RunAsOneStep(QStringLiteral("Add Picture"),
                             [&] { AddRowPicture(*coverRow_, bytes, type); });
            }
        })();
    });
    connect(CoverPane, &TCoverPane::PictureRemoved, this, [this](int number) {
        Guarded([&] {
            if (coverRow_) {
                const int k = *coverRow_;
                RunAsOneStep(QStringLiteral("Remove Picture"), [&] {
                    rowModel_.RemovePicture(k, static_cast<size_t>(number - 1));
                    PicturesChanged(k, static_cast<size_t>(std::max(0, number - 2)));
                });
            }
        })();
    });
    connect(CoverPane, &TCoverPane::AllPicturesRemoved, this, Guarded([this] {
                if (coverRow_) {
                    const int k = *coverRow_;
                    RunAsOneStep(QStringLiteral("Remove All Pictures"), [&] {
                        rowModel_.RemoveAllPictures(k);
                        PicturesChanged(k);
                    });
                }
            }));
    connect(CoverPane, &TCoverPane::PictureExported, this, [this](int, const QString& path) {
        ShowStatus(QStringLiteral("Picture exported to %1").arg(path));
    });
    // The pane follows the row the focus is in; the focus moving into the pane
    // or elsewhere keeps the row shown.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr || now->window() != this) {
            return;
        }
        if (const std::optional<int> k = FindFocusedRow(); k && k != coverRow_) {
            ShowCoverOf(k);
        }
    });
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        FileLabel(k)->setAcceptDrops(true);
        FileLabel(k)->installEventFilter(this);
    }
}

void TForm1::PlaceCoverPane() {
    const bool wide = width() >= column_layout::kNormalWindowWidth + CoverPane->width();
    if (wide && CoverPane->parentWidget() != this) {
        // Beside the rows; the small window is not needed while the pane stands there.
        coverSide_->addWidget(CoverPane);
        CoverWindow->hide();
    } else if (!wide && CoverPane->parentWidget() != CoverWindow) {
        CoverWindow->layout()->addWidget(CoverPane);
    }
    CoverPane->setVisible(wide ? coverWanted_ : true);
    // The rows get their width back before anything is painted at it.
    layout()->activate();
}

void TForm1::ToggleCoverPane() {
    if (CoverPane->parentWidget() == this) {
        coverWanted_ = !CoverPane->isVisible();
        CoverPane->setVisible(coverWanted_);
    } else if (CoverWindow->isVisible()) {
        CoverWindow->hide();
    } else {
        // Beside the main window where the screen has room, else at its right edge.
        const QRect screen = this->screen()->availableGeometry();
        CoverWindow->move(
            std::min(frameGeometry().right() + 1, screen.right() - CoverWindow->width()), y());
        CoverWindow->show();
        CoverWindow->raise();
    }
    ShowCoverOf(FindFocusedRow().has_value() ? FindFocusedRow() : coverRow_);
}

void TForm1::ShowCoverOf(std::optional<int> k, size_t shown) {
    if (k && *k >= RowsInScope()) {
        k.reset();
    }
    coverRow_ = k;
    if (TagKind == 1) {
        CoverPane->ShowId3v1();
        return;
    }
    if (!k) {
        CoverPane->ShowNoRow();
        return;
    }
    const std::string path = FilePath(page_logic::FileIndex(PageIndex, *k));
    TCoverRow row;
    const rows::Pictures pictures = rowModel_.ShownPictures(*k);
    for (const rows::RowPicture& picture : pictures) {
        row.Pictures.push_back(picture.info);
    }
    row.Fetch = [pictures, path](uint32_t number) {
        return number >= 1 && number <= pictures.size() ? PictureBytes(pictures[number - 1], path)
                                                        : std::vector<uint8_t>{};
    };
    row.Artist = rowModel_.Shown(*k, bulk::Column::Artist);
    row.Album = rowModel_.Shown(*k, bulk::Column::Album);
    row.Folder = QString::fromStdString(FolderPath);
    CoverPane->ShowRow(std::move(row), static_cast<int>(shown) + 1);
}

void TForm1::AddRowPicture(int k, const QByteArray& bytes, int type) {
    const auto pictureType = static_cast<uint8_t>(type);
    const bool replaces = rowModel_.HasPicture(k, pictureType);
    const size_t index = rowModel_.AddPicture(k, BytesOf(bytes), pictureType);
    PicturesChanged(k, index);
    if (replaces) {
        // The old picture is gone from the row: say so, as it may not have been shown.
        const QString file = save_logic::DisplayName(FileList[page_logic::FileIndex(PageIndex, k)]);
        ShowStatus(QStringLiteral("%1 of %2 replaced").arg(PictureTypeCaption(pictureType), file));
    }
}

void TForm1::PicturesChanged(int k, size_t shown) {
    RowChanged(k);
    if (coverRow_ == k) {
        ShowCoverOf(k, shown);
    }
}

void TForm1::PicturesSaved(int k) {
    // The tag object holds the tag just saved: descriptions as made unique and
    // MIME types as told from the bytes.
    rowModel_.LoadPictures(k, tag_.ListPictures());
    if (coverRow_ == k) {
        ShowCoverOf(k, static_cast<size_t>(std::max(0, CoverPane->ShownNumber() - 1)));
    }
}

void TForm1::CoverForPage(bool withoutFrontCover) {
    const int number = CoverPane->ShownNumber();
    if (TagKind == 1 || !coverRow_ || number == 0) {
        dialogs_.Message(this, QStringLiteral("Show the picture to use in the cover pane first."));
        return;
    }
    const int source = *coverRow_;
    const rows::RowPicture& picture =
        rowModel_.ShownPictures(source)[static_cast<size_t>(number - 1)];
    const std::string path = FilePath(page_logic::FileIndex(PageIndex, source));
    TBytes bytes = picture.bytes;
    if (!bytes) {
        bytes = std::make_shared<const std::vector<uint8_t>>(PictureBytes(picture, path));
    }
    if (bytes->empty() || id3v2::ImageMimeType(*bytes).empty()) {
        dialogs_.Error(this, QStringLiteral("The shown picture cannot be put on other rows."));
        return;
    }
    // The rows get the picture as shown: its type, description and bytes.
    const uint8_t type = picture.info.PictureType;
    const std::string description = picture.info.Description;
    int changed = 0;
    for (int k = 0; k < RowsInScope(); ++k) {
        if (k == source || (withoutFrontCover && rowModel_.HasFrontCover(k))) {
            continue;
        }
        rowModel_.AddPicture(k, bytes, type, description);
        RowChanged(k);
        ++changed;
    }
    ShowStatus(QStringLiteral("Picture put on ") +
               Counted(changed, QStringLiteral("row"), QStringLiteral("rows")));
}

bool TForm1::FilterCoverEvent(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Resize && CoverPane != nullptr) {
        PlaceCoverPane();
        return false;
    }
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop) {
        return false;
    }
    for (int k = 0; k < RowsInScope(); ++k) {
        if (watched != FileLabel(k)) {
            continue;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        // Records hold no pictures: a label in ID3v1 mode takes no drop.
        if (TagKind == 1 || !MayHoldPicture(*drop->mimeData())) {
            return false;
        }
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop) {
            const TIncomingPicture picture = PictureFromMime(*drop->mimeData());
            if (!picture.Failure.isEmpty()) {
                dialogs_.Error(this, picture.Failure);
            } else if (!picture.Bytes.isEmpty()) {
                // As a drop on the pane does for this row: of the type chosen there.
                RunAsOneStep(QStringLiteral("Add Picture"),
                             [&] { AddRowPicture(k, picture.Bytes, CoverPane->NewPictureType()); });
            }
        }
        return true;
    }
    return false;
}
