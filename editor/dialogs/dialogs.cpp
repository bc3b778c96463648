// QMessageBox implementation of the dialog seam.
#include "editor/dialogs/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// Message texts separate their lines with carriage returns; Qt breaks lines
// only at line feeds.
QString ForDisplay(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

}  // namespace

void TMessageBoxDialogs::Message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Tagvora"), ForDisplay(text));
}

TDialogs::Answer TMessageBoxDialogs::ConfirmYesNo(QWidget* parent, const QString& text) {
    const auto button = QMessageBox::question(parent, QStringLiteral("Confirm"), ForDisplay(text),
                                              QMessageBox::Yes | QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

TDialogs::Answer TMessageBoxDialogs::ConfirmYesNoCancel(QWidget* parent, const QString& text) {
    const auto button =
        QMessageBox::question(parent, QStringLiteral("Confirm"), ForDisplay(text),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (button == QMessageBox::Yes) {
        return Answer::Yes;
    }
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void TMessageBoxDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QStringLiteral("Error"), ForDisplay(text));
}

void TMessageBoxDialogs::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Warning"), ForDisplay(text));
}

int TMessageBoxDialogs::ShowModal(QDialog* dialog) {
    dialog->hide();
    return dialog->exec();
}

QString TMessageBoxDialogs::ChooseFile(QWidget* parent, FileAccess access, const QString& caption,
                                       const QString& start, const QString& filter) {
    return access == FileAccess::Open
               ? QFileDialog::getOpenFileName(parent, caption, start, filter)
               : QFileDialog::getSaveFileName(parent, caption, start, filter);
}
