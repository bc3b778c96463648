// The folder tree: a QTreeView over a QFileSystemModel that shows folders only,
// rooted at "/", with the home folder expanded and scrolled to at start and
// nothing selected. Every change of the selection (mouse, keyboard, type-ahead,
// program) first asks the changing handler, which may refuse it.
#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

class QFileSystemModel;

class TShellTreeView : public QTreeView {
    Q_OBJECT

  public:
    explicit TShellTreeView(QWidget* parent = nullptr);

    // Asked with the new folder's path before the selection changes; false refuses.
    std::function<bool(const QString& path)> OnChanging;

    // The selected folder's path; empty when nothing is selected.
    QString Path() const;
    // Selects the folder as the program; asks the changing handler when the
    // selection would change. False when it was refused or the path is unknown.
    bool SelectPath(const QString& path);
    QFileSystemModel* Model() const { return model_; }

  signals:
    // The selection has changed.
    void changed(const QString& path);
    // A left click on a folder; not sent when the click's change was refused.
    void click();
    // The selection changed with no click to follow (keyboard, type-ahead,
    // a drag that ended elsewhere): the window must build the new folder's page.
    // byKeys: the change came from the keyboard, which goes on in the tree.
    void navigated(bool byKeys);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    friend class TFolderSelectionModel;
    // The selection model's gate: true lets the change to target happen.
    bool AllowChange(const QModelIndex& target);
    void OnSelectionChanged();
    void OnClicked();
    // Runs one input event; the decision for a target is asked once per event.
    template <typename Handler>
    void InEvent(bool mouse, Handler&& handler);
    void ScrollToKept();

    QFileSystemModel* model_ = nullptr;
    // The home folder at start, later the folder the program selected.
    QPersistentModelIndex keepInView_;
    bool userTookOver_ = false;
    QString lastPath_;
    int eventDepth_ = 0;
    bool inMouseEvent_ = false;
    bool programmatic_ = false;
    // Set when a press changed the selection (the page is built already) or
    // had its change refused; the click that ends that press is then dropped.
    bool suppressClick_ = false;
    // The answer asked within the running event: the folder allowed, if any.
    bool answered_ = false;
    QPersistentModelIndex approved_;
};
