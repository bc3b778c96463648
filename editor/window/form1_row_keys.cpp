// Up and Down in a row's text fields (title, artist, album, comment) move to
// the same field of the row above or below, scrolling it into view as Tab
// does. The spin fields and the genre box keep the keys for stepping.
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>

#include "editor/window/form1.h"

namespace {

// The text fields' name prefixes; the row number follows.
constexpr const char* kTextFields[] = {"TitleEdit", "ArtistEdit", "AlbumEdit", "CommentEdit"};

}  // namespace

bool TForm1::FilterRowKeyEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const int step = key->key() == Qt::Key_Up ? -1 : key->key() == Qt::Key_Down ? 1 : 0;
    if (step == 0 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    const auto* field = qobject_cast<const QLineEdit*>(watched);
    if (field == nullptr || field->parentWidget() != RowsArea) {
        return false;
    }
    const QString name = field->objectName();
    for (const char* prefix : kTextFields) {
        const QLatin1String start(prefix);
        if (!name.startsWith(start)) {
            continue;
        }
        bool isNumber = false;
        const int k = name.mid(start.size()).toInt(&isNumber);
        if (!isNumber) {
            continue;
        }
        // At the first or last row of the page the focus stays where it is.
        const int target = k + step;
        if (target >= 0 && target < RowsInScope()) {
            auto* next = RowsArea->findChild<QLineEdit*>(start + QString::number(target),
                                                         Qt::FindDirectChildrenOnly);
            // Selected whole as Tab selects it, but with the cursor at the start,
            // so that a long text keeps showing its beginning.
            next->setFocus(Qt::OtherFocusReason);
            next->setSelection(static_cast<int>(next->text().size()),
                               -static_cast<int>(next->text().size()));
            ScrollBox1->ensureWidgetVisible(next);
        }
        return true;
    }
    return false;
}
