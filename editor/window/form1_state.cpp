// The page's state as the window shows it: the caption, the status bar, the
// page's modified flag and the save buttons, the rows in scope, a listed
// file's path and the row the focus is in. Every other concern builds on these.
#include <QApplication>
#include <QCompleter>
#include <QStatusBar>
#include <QToolButton>

#include "editor/model/page_logic.h"
#include "editor/window/form1.h"

void TForm1::RestoreCaption() {
    titleText_ = QString::fromStdString(page_logic::TitleText());
    setWindowTitle(QString::fromStdString(page_logic::Caption(FolderPath)));
}

void TForm1::ShowStatus(const QString& text) {
    StatusBar1->showMessage(text);
}

void TForm1::TietojaModifoitu() {
    PageModified = true;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(true);
    }
}

std::optional<int> TForm1::FindFocusedRow() const {
    // The window's own focus widget also counts while another window is active.
    const QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || focused->window() != this) {
        focused = focusWidget();
    }
    if (focused == nullptr) {
        return std::nullopt;
    }
    // The cover pane works on the row it shows.
    if (std::optional<int> row; notices_.AreaHolds(focused, row)) {
        return row;
    }
    const int shown = RowsInScope();
    for (int k = 0; k < shown; ++k) {
        for (const QWidget* control : rowView_->ValueControls(k)) {
            if (control == focused || control->isAncestorOf(focused)) {
                return k;
            }
        }
    }
    return std::nullopt;
}

int TForm1::RowsInScope() const {
    return page_logic::RowsOnPage(static_cast<int>(FileList.size()), PageIndex);
}

std::string TForm1::FilePath(int fileIndex) const {
    const bool endsWithSeparator = !FolderPath.empty() && FolderPath.back() == '/';
    return FolderPath + (endsWithSeparator ? "" : "/") + FileList.at(fileIndex);
}

void TForm1::ShowSaveButtons() {
    // Only unsaved rows give a save something to write.
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(PageModified);
    }
}
