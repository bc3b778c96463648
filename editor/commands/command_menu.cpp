// The menu of the commands beyond the described buttons.
#include "editor/commands/command_menu.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "editor/page/page.h"

TCommandMenu::TCommandMenu(TPage& page, QWidget* panel) : page_(page) {
    // Beside the page arrows, in room the command panel has left free, so no
    // described control moves.
    QWidget* window = page_.Window();
    menu_ = new QMenu(window);
    menu_->setObjectName(QStringLiteral("CommandMenu"));
    button_ = new QToolButton(panel);
    button_->setObjectName(QStringLiteral("MenuButton"));
    button_->setText(QStringLiteral("\u2630"));
    button_->setToolTip(QStringLiteral("More commands (F10)"));
    button_->setAutoRaise(true);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setPopupMode(QToolButton::InstantPopup);
    button_->setMenu(menu_);
    button_->setGeometry(113, 151, 26, 20);
    auto* open = new QAction(window);
    open->setShortcut(QKeySequence(Qt::Key_F10));
    open->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(open, &QAction::triggered, button_, &QToolButton::showMenu);
    window->addAction(open);
    page_.WhenKindShown([this] { ShowKind(); });
}

QAction* TCommandMenu::Add(const QString& caption, const QKeySequence& keys,
                           const std::function<void()>& run) {
    auto* action = menu_->addAction(caption);
    action->setShortcut(keys);
    // Window-wide, so the keys work while a row's field has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    QWidget* window = page_.Window();
    QObject::connect(action, &QAction::triggered, window, [run] { run(); });
    window->addAction(action);
    return action;
}

void TCommandMenu::AddSeparator() {
    menu_->addSeparator();
}

QAction* TCommandMenu::OnlyInId3v2(QAction* command) {
    id3v2Commands_.push_back(command);
    command->setEnabled(page_.Kind() == 2);
    return command;
}

void TCommandMenu::ShowKind() {
    // A disabled command is greyed in the menu and its keys do nothing.
    for (QAction* command : id3v2Commands_) {
        command->setEnabled(page_.Kind() == 2);
    }
}
