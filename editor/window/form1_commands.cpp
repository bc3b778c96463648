// The commands beyond the described buttons: one menu button in the command
// panel lists them, and each also answers its keys anywhere in the window.
#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QToolButton>

#include "editor/window/form1.h"

void TForm1::CreateCommandMenu() {
    // Beside the page arrows, in room the command panel has left free, so no
    // described control moves.
    CommandMenu = new QMenu(this);
    CommandMenu->setObjectName(QStringLiteral("CommandMenu"));
    MenuButton = new QToolButton(Panel1);
    MenuButton->setObjectName(QStringLiteral("MenuButton"));
    MenuButton->setText(QStringLiteral("\u2630"));
    MenuButton->setToolTip(QStringLiteral("More commands (F10)"));
    MenuButton->setAutoRaise(true);
    MenuButton->setFocusPolicy(Qt::NoFocus);
    MenuButton->setPopupMode(QToolButton::InstantPopup);
    MenuButton->setMenu(CommandMenu);
    MenuButton->setGeometry(113, 151, 26, 20);
    auto* open = new QAction(this);
    open->setShortcut(QKeySequence(Qt::Key_F10));
    open->setShortcutContext(Qt::WindowShortcut);
    connect(open, &QAction::triggered, MenuButton, &QToolButton::showMenu);
    addAction(open);
}

QAction* TForm1::AddCommand(const QString& caption, const QKeySequence& keys,
                            const std::function<void()>& run) {
    auto* action = CommandMenu->addAction(caption);
    action->setShortcut(keys);
    // Window-wide, so the keys work while a row's field has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [run] { run(); });
    addAction(action);
    return action;
}

QAction* TForm1::OnlyInId3v2(QAction* command) {
    id3v2Commands_.push_back(command);
    command->setEnabled(TagKind == 2);
    return command;
}

void TForm1::ShowKindCommands() {
    // A disabled command is greyed in the menu and its keys do nothing.
    for (QAction* command : id3v2Commands_) {
        command->setEnabled(TagKind == 2);
    }
}
