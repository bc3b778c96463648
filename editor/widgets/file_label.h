// A row's file label: its text and tooltip are the file name; it draws the
// name without its extension and elided in the middle when the column is too
// narrow, a row with unsaved
// changes in bold behind a marker, and a file that could not be read behind a
// warning sign.
#pragma once

#include <QLabel>

class TFileLabel : public QLabel {
    Q_OBJECT

  public:
    explicit TFileLabel(QWidget* parent = nullptr);

    bool modified() const { return modified_; }
    void setModified(bool modified);
    // Why the file could not be read; a row with a problem shows a warning sign.
    QString problem() const { return problem_; }
    void setProblem(const QString& problem);
    // What the label draws: the markers, then the name, without its extension
    // and elided in the middle when it does not fit; in bold when modified.
    QString shownText() const;
    QFont shownFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool modified_ = false;
    QString problem_;
};
