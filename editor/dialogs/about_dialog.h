// The about dialog: logo (Image1), title (Label1), credits (Memo1) and an OK
// button (OKButton); shown modally when the logo of the main window is clicked.
#pragma once

#include <QDialog>

class TAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutDlg(QWidget* parent = nullptr);
};
