// The list of genres that opens under a genre box while the user types into it.
// It is a plain child of the main window that never takes the keyboard focus,
// so every key keeps going to the box and its inline completion.
#pragma once

#include <QListView>
#include <QPointer>

class QAbstractItemModel;
class QAbstractItemView;
class QComboBox;
class QScrollArea;

class TGenreDropDown : public QListView {
    Q_OBJECT

  public:
    static constexpr int kVisibleItems = 20;

    // window: the main window the list is drawn on; rows: the scroll area whose
    // scrolling moves the genre boxes away from under the list.
    TGenreDropDown(QAbstractItemModel* genres, QWidget* window, QScrollArea* rows);

    // Opens the list under the box whenever the user types into it; the box's
    // own list opens as wide as this one.
    void Attach(QComboBox* box);
    void Close();
    // The box the list is open for; null while closed.
    QComboBox* Box() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Open(QComboBox* box);
    void Place();
    void ShowMatch(const QString& typed);
    void Choose(const QModelIndex& index);
    // Up, Down and the wheel on a box: the genre `step` rows from the one it
    // shows, or from the match the open list highlights.
    void Step(QComboBox* box, int step);
    // The rows that a key or wheel event steps a box by; 0 for other events.
    static int StepOf(const QEvent* event);
    // The open list shows the box's genre at row.
    void Follow(QComboBox* box, int row);
    // The width at which a list of the genres shows the longest name beside
    // its scroll bar.
    static int ListWidth(const QAbstractItemView* list);

    QPointer<QComboBox> box_;
    int popupWidth_ = 0;  // the boxes' own lists, measured once
};
