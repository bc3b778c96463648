// The parts of the window: each is created here and reaches the page only
// through page_. The command menu is made first, then the cover part, so its
// commands come first, then the preferences part's; the others once the rows
// and the window's own commands exist.
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "editor/window/form1.h"
#include "editor/window/form1_parts.h"
#include "editor/window/row_view.h"

void TForm1::CreateFirstParts() {
    parts_ = std::make_unique<TForm1Parts>();
    parts_->commands = std::make_unique<TCommandMenu>(page_, Panel1);

    // The panel and the rows stand in a column of their own, the pane beside it.
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->removeWidget(Panel2);
    outer->removeWidget(ScrollBox1);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    column->addWidget(Panel2);
    column->addWidget(ScrollBox1, 1);
    auto* side = new QHBoxLayout;
    side->setSpacing(0);
    side->addLayout(column, 1);
    outer->insertLayout(0, side, 1);
    parts_->cover = std::make_unique<TCoverPart>(page_, side);

    // The kind the rows start in follows the stored preferences.
    const prefs::TPreferences stored = prefs::Load();
    TagKind = prefs::StartTagKind(stored);
    parts_->preferences = std::make_unique<TPreferencesPart>(page_, tag_, chosen_, stored);
    captions_->NameWrittenVersion(TagKind, RowsInScope());
    // ID3v1 is the kind the layout starts with and names.
    if (TagKind == 2) {
        ShowKindCaptions();
    }
}

void TForm1::CreateLastParts() {
    std::vector<QWidget*> fields;
    for (int k = 0; k < rows::kRowCount; ++k) {
        for (QWidget* control : rowView_->ValueControls(k)) {
            fields.push_back(control);
        }
    }
    parts_->history = std::make_unique<THistoryPart>(
        page_,
        std::vector<QCheckBox*>{CheckBox1, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8,
                                CheckBox9, CheckBox10},
        fields);
    parts_->naming = std::make_unique<TNamingPart>(page_);
    parts_->tagPanel = std::make_unique<TTagPanelPart>(page_);
}
