// The tag text edit with its typing limit.
#include "editor/widgets/latin1_edit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <memory>

TLatin1Edit::TLatin1Edit(QWidget* parent) : QLineEdit(parent) {}

int TLatin1Edit::RoomLeft() const {
    return charLimit_ - (static_cast<int>(text().size()) - static_cast<int>(selectedText().size()));
}

bool TLatin1Edit::InsertChecked(const QString& text, bool cutToLimit) {
    QString accepted = text;
    bool ok = true;
    if (charLimit_ > 0 && accepted.size() > RoomLeft()) {
        ok = cutToLimit && RoomLeft() > 0;
        accepted.truncate(RoomLeft() > 0 ? RoomLeft() : 0);
    }
    if (!ok) {
        QApplication::beep();
        return false;
    }
    insert(accepted);
    return true;
}

void TLatin1Edit::PasteChecked(QClipboard::Mode mode) {
    if (isReadOnly()) {
        return;
    }
    InsertChecked(QGuiApplication::clipboard()->text(mode), true);
}

void TLatin1Edit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteChecked(QClipboard::Clipboard);
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.front().unicode() >= 0x20 &&
                           typed.front().unicode() != 0x7F &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable && !isReadOnly()) {
        const bool fits = charLimit_ <= 0 || typed.size() <= RoomLeft();
        if (!fits) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TLatin1Edit::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { PasteChecked(QClipboard::Clipboard); });
    }
    menu->exec(event->globalPos());
}

void TLatin1Edit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        PasteChecked(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
