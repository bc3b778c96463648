// The cover pane: shows the pictures of one row and offers adding, exporting
// and removing them. It changes no tags; its signals tell the window what the
// user asked for, and the window shows the result through ShowRow again.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "id3v2/pictures.h"

class QComboBox;
class QLabel;
class QPushButton;
class TDialogs;
struct TIncomingPicture;

// The bytes of picture number n (from 1, as the tag numbers them), or none
// when they cannot be read. Called only for the picture shown or exported.
using TPictureFetch = std::function<std::vector<uint8_t>(uint32_t number)>;

// What the pane is given of the focused row.
struct TCoverRow {
    std::vector<TPictureInfo> Pictures;
    TPictureFetch Fetch;
    QString Artist;  // the export file name is made of artist and album
    QString Album;
    QString Folder;  // where the file dialogs start
};

// The name the pane gives a picture type: "Front cover", "Picture type 25".
QString PictureTypeCaption(uint8_t type);

class TCoverPane : public QWidget {
    Q_OBJECT
  public:
    explicit TCoverPane(TDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the row's pictures, starting with picture number `number`.
    void ShowRow(TCoverRow row, int number = 1);
    // A row in ID3v1 mode: records hold no pictures, and nothing is offered.
    void ShowId3v1();
    // No row is focused.
    void ShowNoRow();
    int ShownNumber() const;     // the number of the picture shown, 0 for none
    int NewPictureType() const;  // the type chosen for new pictures, wherever given

  signals:
    // The user gave a new picture (bytes of a known image kind) of this type.
    void PictureAdded(const QByteArray& bytes, int pictureType);
    void PictureRemoved(int number);
    void AllPicturesRemoved();
    // The shown picture's bytes were written to path.
    void PictureExported(int number, const QString& path);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    enum class Mode { NoRow, Pictures, Id3v1 };
    void BuildControls();
    void ShowCurrent();
    void Decode();
    void UpdateControls();
    void Step(int delta);
    void Offer(const TIncomingPicture& picture);
    void AddFromFile();
    void Paste();
    void ExportShown();
    void RemoveShown();
    void RemoveAll();

    TDialogs& dialogs_;
    Mode mode_ = Mode::NoRow;
    TCoverRow row_;
    int index_ = 0;          // into row_.Pictures
    QByteArray shownBytes_;  // of the shown picture only
    QSize decodedBox_;
    bool stale_ = false;  // given a row while hidden
    QTimer redecode_;

    QLabel* image_ = nullptr;
    QLabel* details_ = nullptr;
    QLabel* largeMark_ = nullptr;
    QLabel* counter_ = nullptr;
    QWidget* controls_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QComboBox* newType_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* removeAll_ = nullptr;
};
