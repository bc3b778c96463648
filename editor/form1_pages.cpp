// The page of rows: the page builder, the modified flag with the save question
// before leaving the page, the rows' own modified flags, the page buttons and
// the focused row.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "editor/application.h"
#include "editor/dialogs.h"
#include "editor/file_label.h"
#include "editor/form1.h"
#include "editor/genre_drop_down.h"
#include "editor/page_logic.h"
#include "editor/spin_edit.h"

namespace {

const QString kPageQuestion = QStringLiteral(
    "Do you want to save the changes made to this page?\n\n"
    "No = the changes on this page will lose\n"
    "Cancel = keep on this page");

void SetValueText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
        spin->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    }
}

}  // namespace

void TForm1::ConnectPages() {
    connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
    connect(Vasemmalle, &QToolButton::clicked, this, Guarded([this] { VasemmalleClick(); }));
    connect(Oikealle, &QToolButton::clicked, this, Guarded([this] { OikealleClick(); }));
    // The keys turn the page wherever the focus is, as the buttons do while shown.
    const auto pageKey = [this](QKeyCombination key, QToolButton* button) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [button] {
            if (button->isVisible()) {
                button->click();
            }
        });
    };
    pageKey(Qt::CTRL | Qt::Key_PageUp, Vasemmalle);
    pageKey(Qt::CTRL | Qt::Key_PageDown, Oikealle);
}

void TForm1::Button2Click() {
    genreDropDown_->Close();
    const int n = static_cast<int>(FileList.size());
    const int p = PageIndex;
    Oikealle->setVisible(page_logic::HasNextPage(n, p));
    Vasemmalle->setVisible(page_logic::HasPreviousPage(p));
    Label9->setText(QString::fromStdString(page_logic::PageLabel(n, p)));
    Label9->show();

    const int shown = page_logic::RowsOnPage(n, p);
    for (int k = shown; k < page_logic::kRowsPerPage; ++k) {
        FileLabel(k)->hide();
        for (QWidget* control : RowValueControls(k)) {
            control->hide();
        }
    }
    for (int k = 0; k < shown; ++k) {
        FileLabel(k)->show();
        for (QWidget* control : RowValueControls(k)) {
            control->show();
        }
    }
    RowsArea->resize(RowsArea->width(), std::max(kFirstRowTop + kRowHeight * shown + 10,
                                                 Label8->geometry().bottom() + 10));

    const QString folderName = QString::fromStdString(page_logic::FolderName(FolderPath));
    // Files that could not be read are told in one message once the page stands.
    QStringList problems;
    bool unreadable = false;
    for (int k = 0; k < shown; ++k) {
        const int f = page_logic::FileIndex(p, k);
        const QString name = QString::fromStdString(FileList[f]);
        SetRowProblem(k, QString());
        bool missing = false;
        try {
            missing = FillRow(k, FilePath(f));
        } catch (const std::exception& error) {
            // The row stays shown, empty and marked untagged, and the page goes on.
            for (QWidget* control : RowValueControls(k)) {
                SetValueText(control, QString());
            }
            SetRowUntagged(k, true);
            SetRowProblem(k, QString::fromLocal8Bit(error.what()));
        }
        if (missing) {
            SetRowProblem(k, QStringLiteral("The file could not be found."));
            problems << QStringLiteral("%1 could not be found for some reason...").arg(name);
        } else if (!RowProblem(k).isEmpty()) {
            unreadable = true;
            problems
                << QStringLiteral("The tags of %1 could not be read: %2").arg(name, RowProblem(k));
        }
        RememberShownValues(k);
        FileLabel(k)->setText(name);
        FileLabel(k)->setToolTip(RowProblem(k).isEmpty() ? name : name + u'\n' + RowProblem(k));
        // Also the field the focus stays in shows the start of its new text.
        for (QWidget* control : RowValueControls(k)) {
            ShowTextStart(control);
        }
        if (!folderName.isEmpty() && AlbumEdit(k)->text() == folderName) {
            const QSignalBlocker blocker(CheckBox1);
            CheckBox1->setChecked(true);
        }
    }
    QLineEdit* first = TitleEdit(0);
    if (first->isVisible() && first->isEnabled() && first->focusPolicy() != Qt::NoFocus) {
        first->setFocus();
    }
    PageModified = false;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(false);
    }
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        SetRowModified(k, false);
    }
    if (unreadable) {
        dialogs_.Error(this, problems.join(u'\n'));
    } else if (!problems.isEmpty()) {
        dialogs_.Message(this, problems.join(u'\n'));
    }
}

void TForm1::RebuildKeeping(const std::vector<int>& rows) {
    std::vector<QStringList> values;
    for (const int k : rows) {
        QStringList texts;
        for (const QWidget* control : RowValueControls(k)) {
            texts << ValueText(control);
        }
        values.push_back(texts);
    }
    Button2Click();
    // Put back through the fields' own change handling, so each value that
    // differs from its file counts as changed and marks its row and the page.
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::vector<QWidget*> controls = RowValueControls(rows[i]);
        for (size_t c = 0; c < controls.size(); ++c) {
            if (ValueText(controls[c]) != values[i][static_cast<int>(c)]) {
                SetValueText(controls[c], values[i][static_cast<int>(c)]);
            }
        }
    }
}

void TForm1::TietojaModifoitu() {
    PageModified = true;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(true);
    }
}

bool TForm1::RowModified(int k) const {
    return static_cast<const TFileLabel*>(FileLabel(k))->modified();
}

void TForm1::SetRowModified(int k, bool modified) {
    static_cast<TFileLabel*>(FileLabel(k))->setModified(modified);
    // The page holds unsaved edits exactly while one of its rows does.
    if (modified || !PageModified) {
        return;
    }
    const int shown = RowsInScope();
    for (int row = 0; row < shown; ++row) {
        if (RowModified(row)) {
            return;
        }
    }
    PageModified = false;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(false);
    }
}

QString TForm1::RowProblem(int k) const {
    return static_cast<const TFileLabel*>(FileLabel(k))->problem();
}

void TForm1::SetRowProblem(int k, const QString& problem) {
    static_cast<TFileLabel*>(FileLabel(k))->setProblem(problem);
}

bool TForm1::AskToLeave(const QString& question) {
    if (!PageModified) {
        return true;
    }
    switch (dialogs_.ConfirmYesNoCancel(this, question)) {
        case TDialogs::Answer::Yes:
            // A save that fails keeps the page and its unsaved rows.
            return SpeedButton2Click();
        case TDialogs::Answer::No:
            return true;
        case TDialogs::Answer::Cancel:
            break;
    }
    return false;
}

bool TForm1::AskToLeavePage() {
    return AskToLeave(kPageQuestion);
}

void TForm1::VasemmalleClick() {
    if (!AskToLeavePage()) {
        return;
    }
    if (PageIndex > 0) {
        --PageIndex;
    }
    Button2Click();
}

void TForm1::OikealleClick() {
    if (!AskToLeavePage()) {
        dialogs_.Message(this, QStringLiteral("No changes is saved."));
        return;
    }
    if (page_logic::HasNextPage(static_cast<int>(FileList.size()), PageIndex)) {
        ++PageIndex;
    }
    Button2Click();
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
    const int shown = RowsInScope();
    for (int k = 0; k < shown; ++k) {
        for (const QWidget* control : RowValueControls(k)) {
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
