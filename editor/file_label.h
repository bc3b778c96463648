// A row's file label: its text and tooltip are the file name; it draws the
// name elided in the middle when the column is too narrow, and a row with
// unsaved changes in bold behind a marker.
#pragma once

#include <QLabel>

class TFileLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TFileLabel(QWidget* parent = nullptr);

    bool modified() const { return modified_; }
    void setModified(bool modified);
    // What the label draws: the marker when modified, then the name, elided in
    // the middle to fit the label's width; in bold when modified.
    QString shownText() const;
    QFont shownFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool modified_ = false;
};
