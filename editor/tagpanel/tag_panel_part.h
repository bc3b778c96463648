// The tag panel part of the window: a small window of its own, opened by a
// command, that lists every frame of the focused row's ID3v2 tag (or the
// fields of its ID3v1 record) and edits, adds and removes frames as unsaved
// changes of the row, one undo step each. It reaches the page only through
// TPage and follows the focus as the cover pane does.
#pragma once

#include <QObject>
#include <optional>
#include <vector>

#include "editor/tagpanel/panel_frames.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QWidget;
class TPage;

class TTagPanelPart : public QObject {
  public:
    explicit TTagPanelPart(TPage& page);

  private:
    void BuildWindow();
    void Connect();
    void Toggle();
    // The panel shows row k's frames (none: no row); `selected` is the list
    // entry to select after.
    void ShowRow(std::optional<int> k, int selected = 0);
    void ShowRecord(int k);
    void ShowFrames(int k);
    // The edit fields show the selected frame, and only those its kind holds.
    void ShowSelected();
    void ApplyEdit();
    void RemoveFrame();
    void AddFrame();
    // Stores an edit of row k as one undo step; frames the row's fields show
    // are set through those fields, so the row and the panel stay one.
    void StoreFrame(int k, const QString& what, const tagpanel::TPanelFrame& frame,
                    const tagpanel::TEncodedEdit& encoded, bool adds);
    tagpanel::TFrameEdit TypedEdit() const;
    const tagpanel::TPanelFrame* Selected() const;

    TPage& page_;
    QWidget* window_ = nullptr;
    QLabel* caption_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLineEdit* language_ = nullptr;
    QLineEdit* description_ = nullptr;
    QPlainTextEdit* value_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* remove_ = nullptr;
    QComboBox* addable_ = nullptr;
    QPushButton* add_ = nullptr;
    std::optional<int> row_;
    int addableVersion_ = 0;                     // the version whose frames the add list holds
    std::vector<tagpanel::TPanelFrame> frames_;  // as the list shows them
};
