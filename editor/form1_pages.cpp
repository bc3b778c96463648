// Folder listing, the 40 rows, the page builder, paging and the focused row.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "editor/dialogs.h"
#include "editor/form1.h"

#include <utility>

#include "editor/application.h"
#include "editor/fonts.h"
#include "editor/genre_drop_down.h"
#include "editor/latin1_edit.h"
#include "editor/page_logic.h"
#include "editor/shell_tree.h"
#include "editor/spin_edit.h"
#include "id3v1/genres.h"
#include "platform/directory.h"

namespace {

constexpr int kFirstRowTop = 10;
constexpr int kTitleLeft = 100;

const QString kPageQuestion = QStringLiteral(
    "Do you want to save the changes made to this page?\n\n"
    "No = the changes on this page will lose\n"
    "Cancel = keep on this page");
const QString kFolderQuestion = QStringLiteral(
    "Do you want to save the changes made on this page before changing the directory?\n\n"
    "No = changes will lose\n"
    "Cancel = keep on this directory");

QStringList SortedGenreNames() {
    QStringList names;
    for (const std::string& name : GenreList()) {
        names << TLatin1Edit::FromTag(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

TLatin1Edit* RowEdit(QWidget* parent, const QString& name, int left, int width, int top,
                     bool tabStop) {
    auto* edit = new TLatin1Edit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, TForm1::kRowHeight);
    edit->setFrame(false);
    edit->setCharLimit(30);
    edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    edit->hide();
    return edit;
}

TSpinEdit* RowSpin(QWidget* parent, const QString& name, int left, int top, int minimum,
                   int maximum) {
    auto* spin = new TSpinEdit(parent);
    spin->setObjectName(name);
    spin->setGeometry(left, top, 50, TForm1::kRowHeight);
    spin->setFrame(false);
    spin->setFont(fonts::PointFont(fonts::Role::Serif, 7));
    spin->setRange(minimum, maximum);
    spin->setFocusPolicy(Qt::ClickFocus);
    spin->hide();
    return spin;
}

}  // namespace

void TForm1::CreateRows() {
    genreModel_ = new QStringListModel(SortedGenreNames(), this);
    genreDropDown_ = new TGenreDropDown(genreModel_, this, ScrollBox1);
    QWidget* previous = nullptr;
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const int top = kFirstRowTop + kRowHeight * k;
        const QString n = QString::number(k);
        auto* label = new QLabel(RowsArea);
        label->setObjectName(QStringLiteral("FileLabel") + n);
        // Same top and height as the row's fields, the text centred on them.
        label->move(10, top);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->hide();

        QWidget* title =
            RowEdit(RowsArea, QStringLiteral("TitleEdit") + n, kTitleLeft, 108, top, true);
        QWidget* artist =
            RowEdit(RowsArea, QStringLiteral("ArtistEdit") + n, kTitleLeft + 110, 120, top, true);
        QWidget* album =
            RowEdit(RowsArea, QStringLiteral("AlbumEdit") + n, kTitleLeft + 232, 120, top, false);
        QWidget* year =
            RowSpin(RowsArea, QStringLiteral("YearEdit") + n, kTitleLeft + 354, top, -1, 9999);
        auto* comment =
            RowEdit(RowsArea, QStringLiteral("CommentEdit") + n, kTitleLeft + 406, 120, top, false);
        comment->setCharLimit(28);
        QWidget* track =
            RowSpin(RowsArea, QStringLiteral("TrackEdit") + n, kTitleLeft + 528, top, -1, 255);

        auto* genre = new QComboBox(RowsArea);
        genre->setObjectName(QStringLiteral("GenreEdit") + n);
        genre->setGeometry(kTitleLeft + 580, top, 80, kRowHeight);
        genre->setFrame(false);
        genre->setEditable(true);
        genre->setLineEdit(new TLatin1Edit(genre));
        genre->setInsertPolicy(QComboBox::NoInsert);
        genre->setModel(genreModel_);
        genre->setMaxVisibleItems(20);
        genre->setFocusPolicy(Qt::ClickFocus);
        auto* completer = new QCompleter(genreModel_, genre);
        completer->setObjectName(QStringLiteral("GenreCompleter"));
        completer->setCompletionMode(QCompleter::InlineCompletion);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        genre->setCompleter(completer);
        genreDropDown_->Attach(genre);
        genre->hide();

        for (QWidget* control : {title, artist, album, year, static_cast<QWidget*>(comment), track,
                                 static_cast<QWidget*>(genre)}) {
            if (previous != nullptr) {
                setTabOrder(previous, control);
            }
            previous = control;
            ConnectValueControl(control);
        }
    }
}

void TForm1::ConnectValueControl(QWidget* control) {
    auto changed = [this, control] {
        SetKeepsStoredValue(control, false);
        TietojaModifoitu();
    };
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, changed);
    } else if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
        connect(spin, &TSpinEdit::textChanged, this, changed);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        connect(combo, &QComboBox::editTextChanged, this, changed);
    }
}

void TForm1::ConnectPages() {
    connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
    connect(Vasemmalle, &QToolButton::clicked, this, Guarded([this] { VasemmalleClick(); }));
    connect(Oikealle, &QToolButton::clicked, this, Guarded([this] { OikealleClick(); }));
    // The question runs inside the tree's selection change; a save that fails
    // after Yes is reported here and keeps the folder, so the failure never
    // unwinds through the item view.
    ShellTreeView1->OnChanging = [this](const QString&) {
        try {
            return ShellTreeView1Changing();
        } catch (...) {
            ReportCurrentException();
            return false;
        }
    };
    connect(ShellTreeView1, &TShellTreeView::changed, this,
            Guarded([this] { ShellTreeView1Change(); }));
    connect(ShellTreeView1, &TShellTreeView::click, this,
            Guarded([this] { ShellTreeView1Click(); }));
    // A change without a click (keyboard, type-ahead) must still end with the
    // new folder's first page built before a row can be edited or saved.
    connect(ShellTreeView1, &TShellTreeView::navigated, this, Guarded([this] {
                folderJustChanged_ = false;
                PageIndex = 0;
                Button2Click();
            }));
    connect(ShellComboBox1, &QComboBox::activated, this,
            [this](int index) { Guarded([this, index] { ShellComboBox1Chosen(index); })(); });
}

bool TForm1::SelectFolder(const QString& path) {
    if (!ShellTreeView1->SelectPath(path)) {
        return false;
    }
    ShellTreeView1Click();
    return true;
}

bool TForm1::ShellTreeView1Changing() {
    return AskToLeave(kFolderQuestion);
}

void TForm1::ShellTreeView1Change() {
    folderJustChanged_ = true;
    SyncFolderCombo(ShellTreeView1->Path());
    ListFolder();
}

void TForm1::ShellTreeView1Click() {
    // A click on the folder already shown rebuilds its first page. Unsaved
    // edits are not dropped without the question that a folder change asks.
    const bool changed = std::exchange(folderJustChanged_, false);
    if (!changed && !AskToLeave(kFolderQuestion)) {
        return;
    }
    PageIndex = 0;
    Button2Click();
}

void TForm1::ShellComboBox1Click() {
    ShellTreeView1Click();
}

void TForm1::ShellComboBox1Chosen(int index) {
    const QString path = ShellComboBox1->itemData(index).toString();
    if (!ShellTreeView1->SelectPath(path)) {
        SyncFolderCombo(ShellTreeView1->Path());
        return;
    }
    ShellComboBox1Click();
}

void TForm1::SyncFolderCombo(const QString& path) {
    const QSignalBlocker blocker(ShellComboBox1);
    ShellComboBox1->clear();
    if (path.isEmpty()) {
        return;
    }
    QStringList chain;
    for (QString folder = path;; folder = QFileInfo(folder).path()) {
        chain.prepend(folder);
        if (QDir(folder).isRoot() || folder == QFileInfo(folder).path()) {
            break;
        }
    }
    for (const QString& folder : chain) {
        ShellComboBox1->addItem(folder, folder);
    }
    ShellComboBox1->setCurrentIndex(static_cast<int>(chain.size()) - 1);
}

void TForm1::ListFolder() {
    {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(false);
    }
    FileList.clear();
    FolderPath = ShellTreeView1->Path().toStdString();
    FileList = platform::ListMp3(FolderPath);
    RestoreCaption();
    Label8->setVisible(FileList.empty());
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
    for (int k = 0; k < shown; ++k) {
        const int f = page_logic::FileIndex(p, k);
        const QString name = QString::fromStdString(FileList[f]);
        try {
            if (FillRow(k, FilePath(f))) {
                dialogs_.Message(
                    this, QStringLiteral("%1 could not be found for some reason...").arg(name));
            }
        } catch (const std::exception& error) {
            // The row stays shown, empty and marked untagged, and the page goes on.
            for (QWidget* control : RowValueControls(k)) {
                if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                    edit->clear();
                } else if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
                    spin->setText(QString());
                } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
                    combo->setEditText(QString());
                }
            }
            SetRowUntagged(k, true);
            dialogs_.Error(this, QStringLiteral("The tags of %1 could not be read: %2")
                                     .arg(name, QString::fromLocal8Bit(error.what())));
        }
        FileLabel(k)->setText(name);
        FileLabel(k)->setToolTip(name);
        FileLabel(k)->adjustSize();
        FileLabel(k)->resize(FileLabel(k)->width(), kRowHeight);
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
}

void TForm1::TietojaModifoitu() {
    PageModified = true;
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton4}) {
        button->setEnabled(true);
    }
}

bool TForm1::AskToLeave(const QString& question) {
    if (!PageModified) {
        return true;
    }
    switch (dialogs_.ConfirmYesNoCancel(this, question)) {
        case TDialogs::Answer::Yes:
            SpeedButton2Click();
            return true;
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
