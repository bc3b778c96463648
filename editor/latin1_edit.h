// A single-line edit for tag texts: it takes only characters U+0000 to U+00FF,
// which the tags can hold, and refuses others with a beep, typed, pasted or
// dropped. An optional limit stops further typing without cutting a longer text.
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

    static bool IsLatin1(const QString& text);
    // Between a field's text and a tag's ISO-8859-1 bytes; the fields hold only
    // characters a tag can, so nothing is replaced on the way.
    static QString FromTag(const std::string& bytes);
    static std::string ToTag(const QString& text);

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

    int charLimit_ = 0;
};
