// The about dialog: logo, title, credits and an OK button; shown modally when
// the logo of the main window is clicked.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutDlg(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;         // logo
    QLabel* Label1 = nullptr;         // title
    QPlainTextEdit* Memo1 = nullptr;  // credits
    QPushButton* OKButton = nullptr;
};
