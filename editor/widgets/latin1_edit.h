// A single-line edit for tag texts. It takes every character: where the rows
// edit ID3v1 the window marks what a record cannot hold instead of swallowing
// it. An optional limit stops further typing and pasting without cutting a
// longer text; text set by the program is never changed.
#pragma once

#include <QClipboard>
#include <QLineEdit>

class TLatin1Edit : public QLineEdit {
    Q_OBJECT

  public:
    explicit TLatin1Edit(QWidget* parent = nullptr);

    // At most this many characters can be typed; 0 for no limit. A text that
    // is already longer stays whole.
    int charLimit() const { return charLimit_; }
    void setCharLimit(int limit) { charLimit_ = limit; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Inserts the text at the cursor when it fits the limit, cut to it when
    // cutToLimit; otherwise beeps and returns false.
    bool InsertChecked(const QString& text, bool cutToLimit);
    void PasteChecked(QClipboard::Mode mode);
    int RoomLeft() const;

    int charLimit_ = 0;
};
