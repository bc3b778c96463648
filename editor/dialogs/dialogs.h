// The one seam through which the window asks questions and shows messages and
// modal dialogs, so that tests can answer them without a nested event loop.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class TDialogs {
  public:
    enum class Answer { Yes, No, Cancel };
    enum class FileAccess { Open, Save };

    virtual ~TDialogs() = default;
    // A plain message box with an OK button.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // A confirmation box with Yes and No.
    virtual Answer ConfirmYesNo(QWidget* parent, const QString& text) = 0;
    // A confirmation box with Yes, No and Cancel.
    virtual Answer ConfirmYesNoCancel(QWidget* parent, const QString& text) = 0;
    // An error box with an OK button.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // A warning box with an OK button: the command ran, but did not do what was asked.
    virtual void Warning(QWidget* parent, const QString& text) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int ShowModal(QDialog* dialog) = 0;
    // A file dialog: the path of an existing file to open, or of a file to
    // save to (start may name one); "" when the user cancels.
    virtual QString ChooseFile(QWidget* parent, FileAccess access, const QString& caption,
                               const QString& start, const QString& filter) = 0;
};

// The real implementation over QMessageBox and QDialog::exec.
class TMessageBoxDialogs : public TDialogs {
  public:
    void Message(QWidget* parent, const QString& text) override;
    Answer ConfirmYesNo(QWidget* parent, const QString& text) override;
    Answer ConfirmYesNoCancel(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    int ShowModal(QDialog* dialog) override;
    QString ChooseFile(QWidget* parent, FileAccess access, const QString& caption,
                       const QString& start, const QString& filter) override;
};
