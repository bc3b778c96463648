// Values between rows and tags, through the row codec: filling a row from
// either tag kind, writing a row into a file's ID3v2 tag, the tag-kind switch
// and the copy, and the check of the values a save is about to write.
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStringList>
#include <QToolButton>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "editor/dialogs/dialogs.h"
#include "editor/model/chosen_preferences.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"

#include "editor/model/bulk_logic.h"
#include "editor/model/page_logic.h"
#include "editor/model/preferences.h"
#include "editor/model/record_fit.h"
#include "editor/model/save_logic.h"
#include "editor/model/tag_values.h"
#include "editor/startup/application.h"
#include "editor/widgets/colours.h"
#include "editor/widgets/latin1_edit.h"
#include "editor/widgets/spin_edit.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/clock.h"

Tv2TAGInfo TForm1::LoadV2Row(const std::string& path) {
    return V2RowSource ? V2RowSource(path) : row_codec::ReadV2(tag_, path, chosen_.ReadPage());
}

bool TForm1::FillRow(int k, const std::string& path) {
    // The kind first: the model judges what a row can store by it.
    rowModel_.SetKind(TagKind);
    const row_codec::TLoadedRow row = TagKind == 1 ? row_codec::ReadV1(path, chosen_.ReadPage())
                                                   : row_codec::FromV2(LoadV2Row(path));
    ShowLoadedRow(k, row);
    return row.notFound;
}

void TForm1::ShowKindCaptions() {
    captions_->ShowKind(TagKind, RowsInScope());
    notices_.NoticeKindShown();
}

bool TForm1::SettleValuesToSave(const std::vector<int>& rowsToSave) {
    QStringList outOfRange;
    QStringList unstorable;
    std::vector<std::pair<int, bulk::Column>> toSettle;
    for (const int k : rowsToSave) {
        const unsigned changed = rowModel_.ChangedFields(k);
        const std::vector<QWidget*> controls = rowView_->ValueControls(k);
        const QString name = rowView_->FileLabel(k)->text();
        QStringList fields;
        for (size_t i = 0; i < controls.size(); ++i) {
            const auto column = static_cast<bulk::Column>(i);
            if ((changed & rows::FieldBit(column)) == 0 || !rowView_->NotStorable(controls[i])) {
                continue;
            }
            if (rowModel_.Marked(k, column, rows::kOutOfRange)) {
                outOfRange << QStringLiteral("Row %1, %2: %3 \"%4\"")
                                  .arg(k + 1)
                                  .arg(name, record_fit::ColumnName(column),
                                       TRowView::ValueText(controls[i]));
            } else {
                fields << record_fit::ColumnName(column);
                toSettle.emplace_back(k, column);
            }
        }
        if (!fields.isEmpty()) {
            unstorable << QStringLiteral("%1: %2").arg(name, fields.join(QStringLiteral(", ")));
        }
    }
    if (!outOfRange.isEmpty()) {
        dialogs_.Error(this, record_fit::OutOfRangeMessage(outOfRange));
        return false;
    }
    if (toSettle.empty()) {
        return true;
    }
    const TDialogs::Answer answer =
        dialogs_.ConfirmYesNoCancel(this, record_fit::UnstorableQuestion(unstorable));
    if (answer == TDialogs::Answer::Cancel) {
        return false;
    }
    // The fields then show what the record will hold: the transliteration, or
    // the file's own value, which leaves that field of the record as it is.
    page_.RunAsOneStep(QStringLiteral("Values Fitted to ID3v1"), [&] {
        std::optional<int> recordRow;
        Tv1TAGInfo record;
        for (const auto& [k, column] : toSettle) {
            const QString shown = rowModel_.Shown(k, column);
            if (answer == TDialogs::Answer::Yes) {
                SetValue(k, column,
                         record_fit::Transliterated(column, shown, rowModel_.RecordPage()));
                continue;
            }
            if (recordRow != k) {
                record = ReadV1Tag(FilePath(page_logic::FileIndex(PageIndex, k)));
                recordRow = k;
            }
            SetValue(k, column, row_codec::RecordText(record, column, chosen_.ReadPage()));
        }
    });
    return true;
}
