// The read-only removal dialog: lists the read-only files of a page before a
// page-wide save and lets the user tick those whose attribute is to be cleared.
#pragma once

#include <QDialog>
#include <string>

class QAction;
class QCheckBox;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(QWidget* parent = nullptr);

    // --- the list, driven by the page-wide save ---
    void Clear();
    // Adds an unticked entry at its place in the case-insensitive order. The
    // path is kept byte for byte; the list shows it decoded as a file name.
    void Add(const std::string& path);
    int Count() const;
    // The path of entry i (sorted order, from 0) exactly as it was added.
    std::string ItemText(int i) const;
    bool Checked(int i) const;
    void SetChecked(int i, bool checked);

    // --- commands ---
    void Valitsekaikki1Click();    // tick every entry
    void Knteinenvalinta1Click();  // flip every tick
    void Poistavalinta1Click();    // clear every tick
    void CheckBox1Click();         // the select-all box was clicked
    void FormActivate();

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // --- controls ---
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // select all
    QListWidget* CheckListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Valitsekaikki1 = nullptr;
    QAction* Knteinenvalinta1 = nullptr;
    QAction* Poistavalinta1 = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* OkButton = nullptr;

    void CreateLayout();
    void CreateMenu();
    void SetAll(bool checked);
    // Sets the select-all box without running its click action.
    void SetSelectAllBox(bool checked);
    void FocusList();
};
