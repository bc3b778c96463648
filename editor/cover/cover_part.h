// The cover art part of the window: the cover pane beside the rows while the
// window is wide enough, else on demand in a small window of its own. It shows
// the focused row's pictures; its edits, drops on file labels and the
// page-wide cover commands become unsaved changes of the rows. It reaches the
// page only through TPage and adds its own commands to the window's menu.
#pragma once

#include <QObject>
#include <cstddef>
#include <optional>

class QBoxLayout;
class QByteArray;
class QWidget;
class TCoverPane;
class TPage;

class TCoverPart : public QObject {
  public:
    // `side` is the window's layout beside the rows: the pane stands in it
    // while the window is wide enough.
    TCoverPart(TPage& page, QBoxLayout* side);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddCommands();
    void ConnectPane();
    void Place();
    void Toggle();
    // The pane shows row k's pictures (none: no row), starting at index `shown`.
    void ShowRow(std::optional<int> k, size_t shown = 0);
    void AddRowPicture(int k, const QByteArray& bytes, int type);
    // After a picture edit of row k: its marker, the page's flag and the pane.
    void PicturesChanged(int k, size_t shown = 0);
    // The shown picture on every row of the page; only on rows without a front
    // cover when `withoutFrontCover`.
    void CoverForPage(bool withoutFrontCover);
    bool FilterDrop(QObject* watched, QEvent* event);

    TPage& page_;
    QBoxLayout* side_;
    TCoverPane* pane_ = nullptr;
    QWidget* paneWindow_ = nullptr;  // holds the pane while the window is narrow
    std::optional<int> row_;
    bool wanted_ = true;  // beside the rows; the command hides and shows it
};
