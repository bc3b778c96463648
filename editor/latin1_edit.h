// A single-line edit for tag texts. While Latin-1 only (the rows edit ID3v1) it
// takes only characters U+0000 to U+00FF, which the record can hold, and
// refuses others with a beep, typed, pasted or dropped; text set by the program
// is never changed. An optional limit stops further typing without cutting a
// longer text.
#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <string>

class TLatin1Edit : public QLineEdit {
    Q_OBJECT

  public:
    explicit TLatin1Edit(QWidget* parent = nullptr);

    // At most this many characters can be typed; 0 for no limit. A text that
    // is already longer stays whole.
    int charLimit() const { return charLimit_; }
    void setCharLimit(int limit) { charLimit_ = limit; }
    bool latin1Only() const { return latin1Only_; }
    void setLatin1Only(bool only) { latin1Only_ = only; }

    static bool IsLatin1(const QString& text);
    // ISO-8859-1 bytes (an ID3v1 record's, the genre table's) as text.
    static QString FromTag(const std::string& bytes);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Inserts the text at the cursor when it is Latin-1 and fits the limit;
    // otherwise beeps and returns false.
    bool InsertChecked(const QString& text, bool cutToLimit);
    void PasteChecked(QClipboard::Mode mode);
    int RoomLeft() const;

    // True when the text may hold only what IsLatin1 accepts.
    bool Accepts(const QString& text) const { return !latin1Only_ || IsLatin1(text); }

    int charLimit_ = 0;
    bool latin1Only_ = true;
};
