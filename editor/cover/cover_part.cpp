// The cover art part: the pane beside the rows when the window is wide enough
// and on demand in a small window of its own otherwise; it shows the focused
// row's pictures, and its edits, drops on file labels and the page-wide cover
// command become unsaved changes of the rows.
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScreen>
#include <algorithm>
#include <memory>

#include "editor/cover/cover_part.h"

#include "editor/cover/cover_pane.h"
#include "editor/cover/picture_input.h"
#include "editor/dialogs/dialogs.h"
#include "editor/model/column_layout.h"
#include "editor/model/counted.h"
#include "editor/model/page_logic.h"
#include "editor/model/row_model.h"
#include "editor/model/save_logic.h"
#include "editor/page/page.h"
#include "editor/startup/application.h"
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

TCoverPart::TCoverPart(TPage& page, QBoxLayout* side) : page_(page), side_(side) {
    pane_ = new TCoverPane(page_.Dialogs(), page_.Window());
    // Wider where the desktop's style needs more room for the pane's buttons.
    pane_->setFixedWidth(std::max(kCoverPaneWidth, pane_->minimumSizeHint().width()));
    paneWindow_ = new QWidget(page_.Window(), Qt::Tool);
    paneWindow_->setObjectName(QStringLiteral("CoverWindow"));
    paneWindow_->setWindowTitle(QStringLiteral("Cover Art"));
    new QVBoxLayout(paneWindow_);
    paneWindow_->resize(pane_->width(), 420);
    page_.Window()->installEventFilter(this);
    Place();
    AddCommands();
    ConnectPane();
    page_.WhenPageShown([this] { ShowRow(page_.FocusedRow()); });
    // The pane works on the row it shows.
    page_.RowOfArea(pane_, [this] { return row_; });
    page_.WhenPicturesChanged([this](std::optional<int> k, bool keepShown) {
        if (!k) {
            ShowRow(row_);
        } else if (row_ == k) {
            ShowRow(k, keepShown ? static_cast<size_t>(std::max(0, pane_->ShownNumber() - 1)) : 0);
        }
    });
}

void TCoverPart::AddCommands() {
    page_.AddSeparator();
    page_.AddCommand(QStringLiteral("Cover Art"), QKeySequence(Qt::Key_F9), [this] { Toggle(); });
    // Shift, as on the column boxes, narrows the command to rows without a
    // front cover: held while choosing it from the menu, or in its keys.
    const auto toPage = [this](bool withoutFrontCover) {
        return Guarded([this, withoutFrontCover] {
            const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
            page_.RunAsOneStep(QStringLiteral("Shown Picture to Every Row"),
                               [&] { CoverForPage(withoutFrontCover || shift); });
        });
    };
    page_.OnlyInId3v2(page_.AddCommand(QStringLiteral("Shown Picture to Every Row"),
                                       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P),
                                       toPage(false)));
    page_.OnlyInId3v2(
        page_.AddCommand(QStringLiteral("Shown Picture to Rows Without a Front Cover"),
                         QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_P), toPage(true)));
}

void TCoverPart::ConnectPane() {
    connect(pane_, &TCoverPane::PictureAdded, this, [this](const QByteArray& bytes, int type) {
        Guarded([&] {
            if (row_) {
                page_.RunAsOneStep(QStringLiteral("Add Picture"),
                                   [&] { AddRowPicture(*row_, bytes, type); });
            }
        })();
    });
    connect(pane_, &TCoverPane::PictureRemoved, this, [this](int number) {
        Guarded([&] {
            if (row_) {
                const int k = *row_;
                page_.RunAsOneStep(QStringLiteral("Remove Picture"), [&] {
                    page_.Model().RemovePicture(k, static_cast<size_t>(number - 1));
                    PicturesChanged(k, static_cast<size_t>(std::max(0, number - 2)));
                });
            }
        })();
    });
    connect(pane_, &TCoverPane::AllPicturesRemoved, this, Guarded([this] {
                if (row_) {
                    const int k = *row_;
                    page_.RunAsOneStep(QStringLiteral("Remove All Pictures"), [&] {
                        page_.Model().RemoveAllPictures(k);
                        PicturesChanged(k);
                    });
                }
            }));
    connect(pane_, &TCoverPane::PictureExported, this, [this](int, const QString& path) {
        page_.ShowStatus(QStringLiteral("Picture exported to %1").arg(path));
    });
    // The pane follows the row the focus is in; the focus moving into the pane
    // or elsewhere keeps the row shown.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr || now->window() != page_.Window()) {
            return;
        }
        if (const std::optional<int> k = page_.FocusedRow(); k && k != row_) {
            ShowRow(k);
        }
    });
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        page_.FileLabel(k)->setAcceptDrops(true);
        page_.FileLabel(k)->installEventFilter(this);
    }
}

void TCoverPart::Place() {
    QWidget* window = page_.Window();
    const bool wide = window->width() >= column_layout::kNormalWindowWidth + pane_->width();
    if (wide && pane_->parentWidget() != window) {
        // Beside the rows; the small window is not needed while the pane stands there.
        side_->addWidget(pane_);
        paneWindow_->hide();
    } else if (!wide && pane_->parentWidget() != paneWindow_) {
        paneWindow_->layout()->addWidget(pane_);
    }
    pane_->setVisible(wide ? wanted_ : true);
    // The rows get their width back before anything is painted at it.
    window->layout()->activate();
}

void TCoverPart::Toggle() {
    QWidget* window = page_.Window();
    if (pane_->parentWidget() == window) {
        wanted_ = !pane_->isVisible();
        pane_->setVisible(wanted_);
    } else if (paneWindow_->isVisible()) {
        paneWindow_->hide();
    } else {
        // Beside the main window where the screen has room, else at its right edge.
        const QRect screen = window->screen()->availableGeometry();
        paneWindow_->move(
            std::min(window->frameGeometry().right() + 1, screen.right() - paneWindow_->width()),
            window->y());
        paneWindow_->show();
        paneWindow_->raise();
    }
    ShowRow(page_.FocusedRow().has_value() ? page_.FocusedRow() : row_);
}

void TCoverPart::ShowRow(std::optional<int> k, size_t shown) {
    if (k && *k >= page_.RowsInScope()) {
        k.reset();
    }
    row_ = k;
    if (page_.Kind() == 1) {
        pane_->ShowId3v1();
        return;
    }
    if (!k) {
        pane_->ShowNoRow();
        return;
    }
    const std::string path = page_.RowFilePath(*k);
    TCoverRow row;
    const rows::Pictures pictures = page_.Model().ShownPictures(*k);
    for (const rows::RowPicture& picture : pictures) {
        row.Pictures.push_back(picture.info);
    }
    row.Fetch = [pictures, path](uint32_t number) {
        return number >= 1 && number <= pictures.size() ? PictureBytes(pictures[number - 1], path)
                                                        : std::vector<uint8_t>{};
    };
    row.Artist = page_.Model().Shown(*k, bulk::Column::Artist);
    row.Album = page_.Model().Shown(*k, bulk::Column::Album);
    row.Folder = QString::fromStdString(page_.Folder());
    pane_->ShowRow(std::move(row), static_cast<int>(shown) + 1);
}

void TCoverPart::AddRowPicture(int k, const QByteArray& bytes, int type) {
    const auto pictureType = static_cast<uint8_t>(type);
    const bool replaces = page_.Model().HasPicture(k, pictureType);
    const size_t index = page_.Model().AddPicture(k, BytesOf(bytes), pictureType);
    PicturesChanged(k, index);
    if (replaces) {
        // The old picture is gone from the row: say so, as it may not have been shown.
        const QString file = save_logic::DisplayName(page_.RowFileName(k));
        page_.ShowStatus(
            QStringLiteral("%1 of %2 replaced").arg(PictureTypeCaption(pictureType), file));
    }
}

void TCoverPart::PicturesChanged(int k, size_t shown) {
    page_.RowChanged(k);
    if (row_ == k) {
        ShowRow(k, shown);
    }
}

void TCoverPart::CoverForPage(bool withoutFrontCover) {
    const int number = pane_->ShownNumber();
    if (page_.Kind() == 1 || !row_ || number == 0) {
        page_.Dialogs().Message(page_.Window(),
                                QStringLiteral("Show the picture to use in the cover pane first."));
        return;
    }
    const int source = *row_;
    const rows::RowPicture& picture =
        page_.Model().ShownPictures(source)[static_cast<size_t>(number - 1)];
    const std::string path = page_.RowFilePath(source);
    TBytes bytes = picture.bytes;
    if (!bytes) {
        bytes = std::make_shared<const std::vector<uint8_t>>(PictureBytes(picture, path));
    }
    if (bytes->empty() || id3v2::ImageMimeType(*bytes).empty()) {
        page_.Dialogs().Error(page_.Window(),
                              QStringLiteral("The shown picture cannot be put on other rows."));
        return;
    }
    // The rows get the picture as shown: its type, description and bytes.
    const uint8_t type = picture.info.PictureType;
    const std::string description = picture.info.Description;
    int changed = 0;
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        if (k == source || (withoutFrontCover && page_.Model().HasFrontCover(k))) {
            continue;
        }
        page_.Model().AddPicture(k, bytes, type, description);
        page_.RowChanged(k);
        ++changed;
    }
    page_.ShowStatus(QStringLiteral("Picture put on ") +
                     Counted(changed, QStringLiteral("row"), QStringLiteral("rows")));
}

bool TCoverPart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_.Window() && event->type() == QEvent::Resize) {
        Place();
        return false;
    }
    return FilterDrop(watched, event) || QObject::eventFilter(watched, event);
}

bool TCoverPart::FilterDrop(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop) {
        return false;
    }
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        if (watched != page_.FileLabel(k)) {
            continue;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        // Records hold no pictures: a label in ID3v1 mode takes no drop.
        if (page_.Kind() == 1 || !MayHoldPicture(*drop->mimeData())) {
            return false;
        }
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop) {
            const TIncomingPicture picture = PictureFromMime(*drop->mimeData());
            if (!picture.Failure.isEmpty()) {
                page_.Dialogs().Error(page_.Window(), picture.Failure);
            } else if (!picture.Bytes.isEmpty()) {
                // As a drop on the pane does for this row: of the type chosen there.
                page_.RunAsOneStep(QStringLiteral("Add Picture"), [&] {
                    AddRowPicture(k, picture.Bytes, pane_->NewPictureType());
                });
            }
        }
        return true;
    }
    return false;
}
