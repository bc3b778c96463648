// The buttons of the page: Save Row and Save All Rows, and what changes the
// page the rows show: the page arrows and their keys, the
// mode switch to the other tag kind and the copy into it. Each asks the save
// question first, while the page holds unsaved rows.
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include "editor/dialogs/dialogs.h"
#include "editor/model/page_logic.h"
#include "editor/model/preferences.h"
#include "editor/startup/application.h"
#include "editor/window/form1.h"

void TForm1::ConnectPages() {
    connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, Guarded([this] { SpeedButton2Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
    connect(Vasemmalle, &QToolButton::clicked, this, Guarded([this] { VasemmalleClick(); }));
    connect(Oikealle, &QToolButton::clicked, this, Guarded([this] { OikealleClick(); }));
    connect(SpeedButton7, &QToolButton::clicked, this, Guarded([this] { SpeedButton7Click(); }));
    connect(SpeedButton8, &QToolButton::clicked, this, Guarded([this] { SpeedButton8Click(); }));
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

bool TForm1::SwitchKind() {
    if (!AskToLeavePage()) {
        return false;
    }
    TagKind = TagKind == 1 ? 2 : 1;
    prefs::RememberTagKind(TagKind);
    ShowKindCaptions();
    return true;
}

void TForm1::SpeedButton7Click() {
    if (SwitchKind()) {
        Button2Click();
    }
}

void TForm1::SpeedButton8Click() {
    if (!SwitchKind()) {
        return;
    }
    rowModel_.SetKind(TagKind);
    const int shown = RowsInScope();
    for (int k = 0; k < shown; ++k) {
        SetRowLimits(k, TagKind);
        // The values shown of one kind are all to be saved into the other. A
        // row whose file has nothing of the old kind, and that the user left
        // as loaded, has nothing to copy: it shows what its file holds of the
        // new kind, which is what a save keeps.
        if (!rowModel_.Untagged(k) || rowModel_.Unsaved(k)) {
            rowModel_.ForgetLoaded(k);
            if (TagKind == 2 && rowModel_.Problem(k).isEmpty()) {
                const Tv2TAGInfo stored = LoadV2Row(FilePath(page_logic::FileIndex(PageIndex, k)));
                rowModel_.NoteStoredVersion(k, stored.NoTag ? 0 : stored.Version);
            }
        } else if (rowModel_.Problem(k).isEmpty()) {
            FillRow(k, FilePath(page_logic::FileIndex(PageIndex, k)));
            rowModel_.NoteNothingCopied(k);
            const QString name = rowView_->FileLabel(k)->text();
            rowView_->FileLabel(k)->setToolTip(name + u'\n' + rowView_->NothingCopiedText());
        }
        rowView_->PaintRow(k);
        RowChanged(k);
    }
    // The rows now edit the other kind: the parts follow; the history forgets the
    // steps taken in the old one, so none is undone into it.
    notices_.NoticePageShown();
}
