// Scrolling the rows area by wheel and by dragging against its edges, and the
// tab-order box that chooses which row fields the Tab key visits.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "editor/window/form1.h"
#include "editor/window/row_view.h"

#include "editor/model/page_logic.h"
#include "editor/startup/application.h"

namespace {

// Drag scrolling: how far from an edge the pointer starts scrolling, and the
// step per movement. The bottom edge reacts from further away.
constexpr int kDragEdge = 10;
constexpr int kDragBottomEdge = 40;
constexpr int kDragStep = 10;

// The value controls after title and artist, whose tab stops the box switches.
constexpr int kFirstSwitchedColumn = 2;

// One notch of a wheel, in the units of QWheelEvent::angleDelta.
constexpr int kWheelNotch = 120;
// The part of a notch that the rows area has seen but not yet scrolled for.
const char* const kWheelRest = "wheelRest";

// Without a tab stop a row field still takes the focus from a click.
void SetTabStop(QWidget* control, bool on) {
    control->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

QComboBox* FocusedGenreInScope(const TForm1& form) {
    const int rows = form.RowsInScope();
    for (int k = 0; k < rows; ++k) {
        if (form.Rows().GenreEdit(k)->hasFocus()) {
            return form.Rows().GenreEdit(k);
        }
    }
    return nullptr;
}

bool WheelScrollsRows(const TForm1& form) {
    const auto* tree = form.findChild<QWidget*>(QStringLiteral("ShellTreeView1"));
    return FocusedGenreInScope(form) == nullptr && (tree == nullptr || !tree->hasFocus());
}

// The widgets behind the rows: the scroll box's viewport and its content.
bool IsBackground(const QScrollArea* box, const QObject* watched) {
    return watched == box->viewport() || watched == box->widget();
}

// The background and the controls on it.
bool IsRowsAreaPart(const QScrollArea* box, const QObject* watched) {
    if (IsBackground(box, watched)) {
        return true;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->parentWidget() == box->widget();
}

// Whole notches in the wheel input so far. High-resolution wheels and touchpads
// report a notch in many small events; scrolling a row for each of them would
// race through the page, so the parts add up until they make a notch.
int WheelNotches(QScrollArea* area, int delta) {
    int rest = area->property(kWheelRest).toInt();
    if ((rest < 0) != (delta < 0)) {
        rest = 0;  // a turn the other way starts afresh
    }
    // A page of rows is as far as one event can scroll.
    rest += std::clamp(delta, -kWheelNotch * page_logic::kRowsPerPage,
                       kWheelNotch * page_logic::kRowsPerPage);
    const int notches = rest / kWheelNotch;
    area->setProperty(kWheelRest, rest - notches * kWheelNotch);
    return notches;
}

void ScrollRowsArea(QScrollArea* box, int dx, int dy) {
    QScrollBar* horizontal = box->horizontalScrollBar();
    QScrollBar* vertical = box->verticalScrollBar();
    horizontal->setValue(horizontal->value() + dx);
    vertical->setValue(vertical->value() + dy);
    box->viewport()->repaint();
}

}  // namespace

void TForm1::ConnectScrolling() {
    connect(CheckBox3, &QCheckBox::toggled, this, Guarded([this] { CheckBox3Click(); }));
    // Row controls that take the wheel themselves (spin fields, combo boxes)
    // would otherwise keep it from the rows area even without the focus.
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        for (QWidget* control : rowView_->ValueControls(k)) {
            control->installEventFilter(this);
        }
    }
}

bool TForm1::FilterScrollingEvent(QObject* watched, QEvent* event) {
    if (ScrollBox1 == nullptr || !IsRowsAreaPart(ScrollBox1, watched)) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Wheel: {
            // The wheel acts on the focused control first: a focused genre box
            // of the page keeps it wherever the pointer is; otherwise the rows
            // area scrolls by one row, whatever row control is under the pointer.
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta = wheel->angleDelta().y();
            QComboBox* genre = FocusedGenreInScope(*this);
            if (watched == genre || delta == 0) {
                return false;
            }
            if (genre != nullptr) {
                const QPointF global = wheel->globalPosition();
                QWheelEvent forwarded(genre->mapFromGlobal(global), global, wheel->pixelDelta(),
                                      wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                                      wheel->phase(), wheel->inverted(), wheel->source());
                QCoreApplication::sendEvent(genre, &forwarded);
            }
            for (int notches = WheelNotches(ScrollBox1, delta); notches != 0;) {
                if (notches < 0) {
                    ScrollBox1MouseWheelDown();
                    ++notches;
                } else {
                    ScrollBox1MouseWheelUp();
                    --notches;
                }
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* widget = static_cast<QWidget*>(watched);
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!IsBackground(ScrollBox1, widget) || widget->childAt(pos) != nullptr) {
                return false;
            }
            ScrollBox1MouseDown();
            return true;
        }
        case QEvent::MouseMove: {
            // The pressed background widget keeps receiving the moves while
            // the button is held (Qt's implicit grab).
            if (!DragScrolling || !IsBackground(ScrollBox1, watched)) {
                return false;
            }
            const QPoint pos = static_cast<QWidget*>(watched)->mapTo(
                ScrollBox1, static_cast<QMouseEvent*>(event)->position().toPoint());
            ScrollBox1MouseMove(pos.x(), pos.y());
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (!DragScrolling || !IsBackground(ScrollBox1, watched)) {
                return false;
            }
            ScrollBox1MouseUp();
            return true;
        default:
            return false;
    }
}

// Wheel turned towards the user: one row down.
void TForm1::ScrollBox1MouseWheelDown() {
    if (WheelScrollsRows(*this)) {
        ScrollRowsArea(ScrollBox1, 0, kRowHeight);
    }
}

// Wheel turned away from the user: one row up.
void TForm1::ScrollBox1MouseWheelUp() {
    if (WheelScrollsRows(*this)) {
        ScrollRowsArea(ScrollBox1, 0, -kRowHeight);
    }
}

// A button pressed on the background of the rows area. Qt's implicit grab
// keeps the pointer with the pressed widget until the button is released.
void TForm1::ScrollBox1MouseDown() {
    DragScrolling = true;
}

// x and y in the rows area's coordinates; the pointer may be outside it.
void TForm1::ScrollBox1MouseMove(int x, int y) {
    if (!DragScrolling) {
        return;
    }
    int dx = 0;
    int dy = 0;
    if (x < kDragEdge) {
        dx = -kDragStep;
    } else if (x > ScrollBox1->width() - kDragEdge) {
        dx = kDragStep;
    }
    if (y < kDragEdge) {
        dy = -kDragStep;
    } else if (y > ScrollBox1->height() - kDragBottomEdge) {
        dy = kDragStep;
    }
    ScrollRowsArea(ScrollBox1, dx, dy);
}

void TForm1::ScrollBox1MouseUp() {
    DragScrolling = false;
}

// The tab-order box: checked, Tab goes title, artist, next title; unchecked,
// it visits all seven value fields of each row. All 40 rows change.
void TForm1::CheckBox3Click() {
    const bool allFields = !CheckBox3->isChecked();
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const std::vector<QWidget*> controls = rowView_->ValueControls(k);
        for (size_t i = kFirstSwitchedColumn; i < controls.size(); ++i) {
            SetTabStop(controls[i], allFields);
        }
    }
}
