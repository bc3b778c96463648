// The genre list that follows typing in a genre box without taking the keyboard.
#include "editor/widgets/genre_drop_down.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "editor/model/bulk_logic.h"

namespace {

// What the user typed: the text before an inline completion, which the line
// edit keeps selected at the end of the text.
QString TypedText(const QLineEdit* edit) {
    const QString text = edit->text();
    if (edit->hasSelectedText() &&
        edit->selectionStart() + edit->selectedText().size() == text.size()) {
        return text.left(edit->selectionStart());
    }
    return text;
}

}  // namespace

TGenreDropDown::TGenreDropDown(QAbstractItemModel* genres, QWidget* window, QScrollArea* rows)
    : QListView(window) {
    setObjectName(QStringLiteral("GenreDropDown"));
    setModel(genres);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click on the list or its scroll bar must leave the focus in the box.
    for (QWidget* part :
         {static_cast<QWidget*>(this), viewport(), static_cast<QWidget*>(verticalScrollBar()),
          static_cast<QWidget*>(horizontalScrollBar())}) {
        part->setFocusPolicy(Qt::NoFocus);
    }
    hide();
    connect(this, &QListView::clicked, this, &TGenreDropDown::Choose);
    // The boxes move with the rows area; a list left behind would point at
    // another row.
    for (QScrollBar* bar : {rows->verticalScrollBar(), rows->horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &TGenreDropDown::Close);
    }
    window->installEventFilter(this);
}

void TGenreDropDown::Attach(QComboBox* box) {
    box->installEventFilter(this);
    // A list as narrow as the box would cut the longer names. Every box shows
    // the same names in the same way, so the first one's width serves all.
    if (popupWidth_ == 0) {
        popupWidth_ = ListWidth(box->view());
    }
    box->view()->setMinimumWidth(popupWidth_);
    // textEdited comes from the user's typing only, never from setText, so
    // filling the rows does not open the list.
    connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, box] { Open(box); });
    // The arrow keys step the box through the same genre model; the open list
    // follows so that it shows the genre the box now holds.
    connect(box, &QComboBox::currentIndexChanged, this, [this, box](int row) { Follow(box, row); });
}

void TGenreDropDown::Follow(QComboBox* box, int row) {
    if (box == box_ && isVisible()) {
        const QModelIndex index = model()->index(row, 0);
        setCurrentIndex(index);
        scrollTo(index);
    }
}

void TGenreDropDown::Step(QComboBox* box, int step) {
    // The box's own index is the genre it last chose from the list, not the
    // text it shows now: filling a row and typing set only the text.
    // A reference such as "(17)" stands for the genre it names.
    int from = box->findText(bulk::GenreKey(box->currentText()), Qt::MatchFixedString);
    if (box == box_ && isVisible() && currentIndex().isValid()) {
        from = currentIndex().row();
    }
    // Should the list name a genre twice, a step goes on to the next name
    // that differs.
    int to = from + step;
    while (from >= 0 && to >= 0 && to < box->count() &&
           QString::compare(box->itemText(to), box->itemText(from), Qt::CaseInsensitive) == 0) {
        to += step;
    }
    if (to < 0 || to >= box->count()) {
        return;
    }
    if (box->currentIndex() == to) {
        box->setEditText(box->itemText(to));
        Follow(box, to);
    } else {
        box->setCurrentIndex(to);
    }
}

int TGenreDropDown::StepOf(const QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return 0;
        }
        return key->key() == Qt::Key_Down ? 1 : key->key() == Qt::Key_Up ? -1 : 0;
    }
    if (event->type() == QEvent::Wheel) {
        const int turn = static_cast<const QWheelEvent*>(event)->angleDelta().y();
        return turn < 0 ? 1 : turn > 0 ? -1 : 0;
    }
    return 0;
}

int TGenreDropDown::ListWidth(const QAbstractItemView* list) {
    return list->sizeHintForColumn(0) + 2 * list->frameWidth() +
           list->verticalScrollBar()->sizeHint().width();
}

QComboBox* TGenreDropDown::Box() const {
    return box_;
}

void TGenreDropDown::Open(QComboBox* box) {
    if (!box->hasFocus()) {
        return;
    }
    box_ = box;
    Place();
    raise();
    show();
    ShowMatch(TypedText(box->lineEdit()));
}

void TGenreDropDown::Close() {
    box_ = nullptr;
    hide();
}

void TGenreDropDown::Place() {
    QWidget* window = parentWidget();
    const int rows = std::min(kVisibleItems, model()->rowCount());
    const int frame = 2 * frameWidth();
    const int height = sizeHintForRow(0) * rows + frame;
    const int width = std::max(box_->width(), ListWidth(this));
    QPoint below = box_->mapTo(window, QPoint(0, box_->height()));
    // Without room below the box the list opens above it, as a drop-down does
    // at the bottom of a screen.
    if (below.y() + height > window->height() && below.y() - box_->height() - height >= 0) {
        below.setY(below.y() - box_->height() - height);
    }
    below.setX(std::clamp(below.x(), 0, std::max(0, window->width() - width)));
    setGeometry(below.x(), below.y(), width, height);
}

void TGenreDropDown::ShowMatch(const QString& typed) {
    QModelIndex match;
    if (!typed.isEmpty()) {
        for (int row = 0; row < model()->rowCount(); ++row) {
            const QModelIndex index = model()->index(row, 0);
            if (index.data().toString().startsWith(typed, Qt::CaseInsensitive)) {
                match = index;
                break;
            }
        }
    }
    if (match.isValid()) {
        setCurrentIndex(match);
        scrollTo(match, QAbstractItemView::PositionAtTop);
    } else {
        clearSelection();
        setCurrentIndex(QModelIndex());
    }
}

void TGenreDropDown::Choose(const QModelIndex& index) {
    if (box_ != nullptr && index.isValid()) {
        // setEditText reports a change as typing does, so the page is marked modified.
        box_->setEditText(index.data().toString());
    }
    Close();
}

bool TGenreDropDown::eventFilter(QObject* watched, QEvent* event) {
    if (auto* box = qobject_cast<QComboBox*>(watched); box != nullptr) {
        if (const int step = StepOf(event); step != 0) {
            // The wheel closes the list; the keys step through it.
            if (event->type() == QEvent::Wheel) {
                Close();
            }
            Step(box, step);
            return true;
        }
    }
    if (!isVisible()) {
        return false;
    }
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize) {
            Close();
        }
        return false;
    }
    if (watched != box_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::FocusOut:
        case QEvent::Wheel:
        case QEvent::Hide:
            Close();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Enter || key == Qt::Key_Return) {
                Close();
            }
            break;
        }
        default:
            break;
    }
    return false;
}
