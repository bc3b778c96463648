// The tag text edit, Latin-1 only while the rows edit ID3v1.
#include "editor/latin1_edit.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <memory>

TLatin1Edit::TLatin1Edit(QWidget* parent) : QLineEdit(parent) {}

bool TLatin1Edit::IsLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            return false;
        }
    }
    return true;
}

QString TLatin1Edit::FromTag(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int TLatin1Edit::RoomLeft() const {
    return charLimit_ - (static_cast<int>(text().size()) - static_cast<int>(selectedText().size()));
}

bool TLatin1Edit::InsertChecked(const QString& text, bool cutToLimit) {
    QString accepted = text;
    bool ok = Accepts(text);
    if (ok && charLimit_ > 0 && accepted.size() > RoomLeft()) {
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
        if (!Accepts(typed) || !fits) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TLatin1Edit::inputMethodEvent(QInputMethodEvent* event) {
    if (!Accepts(event->commitString())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
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

void TLatin1Edit::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText() && !Accepts(event->mimeData()->text())) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void TLatin1Edit::dropEvent(QDropEvent* event) {
    if (!Accepts(event->mimeData()->text())) {
        QApplication::beep();
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}
