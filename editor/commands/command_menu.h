// The command menu of the window: one menu button in the command panel lists
// the commands beyond the described buttons, and each also answers its keys
// anywhere in the window. Commands that act on ID3v2 tags only are usable
// while the rows edit ID3v2.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QAction;
class QKeySequence;
class QMenu;
class QToolButton;
class QWidget;
class TPage;

class TCommandMenu {
  public:
    // The menu button stands in `panel`; F10 opens the menu.
    TCommandMenu(TPage& page, QWidget* panel);

    // Adds a command to the menu; its keys work anywhere in the window.
    QAction* Add(const QString& caption, const QKeySequence& keys,
                 const std::function<void()>& run);
    void AddSeparator();
    // Registers a command that acts on ID3v2 tags only. Returns the command.
    QAction* OnlyInId3v2(QAction* command);

  private:
    // The ID3v2 commands follow the tag kind the rows edit.
    void ShowKind();
    TPage& page_;
    QMenu* menu_ = nullptr;
    QToolButton* button_ = nullptr;
    std::vector<QAction*> id3v2Commands_;
};
