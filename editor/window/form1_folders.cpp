// Choosing the folder: the folder opened at start, the folder tree and the
// combo box that follow each other, the save question before the folder
// changes, and listing its MP3 files.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <algorithm>
#include <utility>

#include "editor/dialogs/dialogs.h"
#include "editor/model/file_order.h"
#include "editor/model/page_logic.h"
#include "editor/startup/application.h"
#include "editor/startup/start_folder.h"
#include "editor/widgets/shell_tree.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"
#include "platform/directory.h"

namespace {

const QString kFolderQuestion = QStringLiteral(
    "Do you want to save the changes made on this page before changing the directory?\n\n"
    "No = changes will lose\n"
    "Cancel = keep on this directory");

// The combo box shows the chain of folders from the root down to `path`.
void ShowFolderChain(QComboBox* combo, const QString& path) {
    const QSignalBlocker blocker(combo);
    combo->clear();
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
        combo->addItem(folder, folder);
    }
    combo->setCurrentIndex(static_cast<int>(chain.size()) - 1);
}

}  // namespace

void TForm1::ConnectFolders() {
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
    connect(ShellTreeView1, &TShellTreeView::navigated, this, [this](bool byKeys) {
        Guarded([this, byKeys] {
            folderJustChanged_ = false;
            PageIndex = 0;
            Button2Click();
            // The page builder puts the focus into the first row; a user moving
            // through the folders with the keys keeps it, so the next key goes
            // on to the next folder.
            if (byKeys) {
                ShellTreeView1->setFocus(Qt::OtherFocusReason);
            }
        })();
    });
    connect(ShellComboBox1, &QComboBox::activated, this, [this](int index) {
        Guarded([this, index] {
            const QString path = ShellComboBox1->itemData(index).toString();
            if (!ShellTreeView1->SelectPath(path)) {
                ShowFolderChain(ShellComboBox1, ShellTreeView1->Path());
                return;
            }
            ShellComboBox1Click();
        })();
    });
}

bool TForm1::SelectFolder(const QString& path) {
    if (!ShellTreeView1->SelectPath(path)) {
        return false;
    }
    ShellTreeView1Click();
    return true;
}

void TForm1::OpenStartFolder(const QString& named) {
    // The tree selects the folder and keeps it in view while it fills.
    const QString folder = start_folder::Choose(named, start_folder::Remembered());
    SelectFolder(folder);
    if (named.isEmpty()) {
        return;
    }
    const QFileInfo info(named);
    if (!info.exists()) {
        // Started from a menu or a file manager, nobody sees the terminal.
        dialogs_.Error(this, QStringLiteral("The folder or file %1 does not exist.\n"
                                            "Tagvora opened %2 instead.")
                                 .arg(named, folder));
    } else if (!info.isDir()) {
        FocusFileRow(QFile::encodeName(info.fileName()).toStdString());
    }
}

void TForm1::FocusFileRow(const std::string& name) {
    const auto found = std::find(FileList.begin(), FileList.end(), name);
    if (found == FileList.end()) {
        return;
    }
    const int index = static_cast<int>(found - FileList.begin());
    const int page = index / page_logic::kRowsPerPage;
    if (page != PageIndex) {
        PageIndex = page;
        Button2Click();
    }
    QWidget* title = rowView_->TitleEdit(index % page_logic::kRowsPerPage);
    title->setFocus(Qt::OtherFocusReason);
    ScrollBox1->ensureWidgetVisible(title);
}

bool TForm1::ShellTreeView1Changing() {
    return AskToLeave(kFolderQuestion);
}

void TForm1::ShellTreeView1Change() {
    folderJustChanged_ = true;
    ShowFolderChain(ShellComboBox1, ShellTreeView1->Path());
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

void TForm1::ListFolder() {
    {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(false);
    }
    FileList.clear();
    FolderPath = ShellTreeView1->Path().toStdString();
    FileList = file_order::SortedLikeFileManager(platform::ListMp3(FolderPath));
    // Kept at once, so that also a run that does not end by closing the window
    // (a crash, a killed session) opens here next time.
    start_folder::Remember(ShellTreeView1->Path());
    RestoreCaption();
    StatusBar1->clearMessage();
    Label8->setVisible(FileList.empty());
}
