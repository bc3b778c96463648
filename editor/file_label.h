// A row's file label: its text and tooltip are the file name; it draws the
// name elided in the middle when the column is too narrow.
#pragma once

#include <QLabel>

class TFileLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TFileLabel(QWidget* parent = nullptr);

    // What the label draws: the name, elided in the middle to fit the label's width.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
