// The preferences in the window: the dialog, what each preference changes on
// the shown page at once, converting the page's tags to another ID3v2
// version, and removing a kind of tag from files.
#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QToolButton>
#include <memory>

#include "editor/dialogs/dialogs.h"
#include "editor/dialogs/preferences_dialog.h"
#include "editor/model/counted.h"
#include "editor/model/page_logic.h"
#include "editor/model/record_fit.h"
#include "editor/model/save_logic.h"
#include "editor/startup/application.h"
#include "editor/window/form1.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "platform/file.h"

namespace {

QString Files(int count) {
    return Counted(count, QStringLiteral("file"), QStringLiteral("files"));
}

}  // namespace

void TForm1::ConnectPreferences() {
    page_.AddSeparator();
    page_.AddCommand(QStringLiteral("Preferences\u2026"), QKeySequence(Qt::CTRL | Qt::Key_Comma),
                     Guarded([this] { ShowPreferences(); }));
    page_.OnlyInId3v2(page_.AddCommand(QStringLiteral("Convert the page's tags to 2.3"), {},
                                       Guarded([this] { ConvertPageTags(3); })));
    page_.OnlyInId3v2(page_.AddCommand(QStringLiteral("Convert the page's tags to 2.4"), {},
                                       Guarded([this] { ConvertPageTags(4); })));
    page_.AddCommand(QStringLiteral("Remove ID3v1 record"), {},
                     Guarded([this] { RemoveTags(1, false); }));
    page_.AddCommand(QStringLiteral("Remove ID3v2 tag"), {},
                     Guarded([this] { RemoveTags(2, false); }));
    page_.AddCommand(QStringLiteral("Remove ID3v1 records of the page's rows"), {},
                     Guarded([this] { RemoveTags(1, true); }));
    page_.AddCommand(QStringLiteral("Remove ID3v2 tags of the page's rows"), {},
                     Guarded([this] { RemoveTags(2, true); }));
    UnicodeAction = page_.AddCommand(QStringLiteral("Store Shown Text as Unicode"), {},
                                     Guarded([this] { StoreShownTextAsUnicode(); }));
    ApplyPreferences(prefs::Load());
    TagKind = prefs::StartTagKind(prefs_);
    // ID3v1 is the kind the layout starts with and names.
    if (TagKind == 2) {
        ShowKindCaptions();
    }
    ShowUnicodeCommandState();
}

void TForm1::ShowUnicodeCommandState() {
    if (UnicodeAction != nullptr) {
        UnicodeAction->setEnabled(TagKind == 2 && !readPage_.IsLatin1());
    }
}

row_codec::TV2Versions TForm1::V2Versions() const {
    return {prefs_.newTagVersion, prefs_.convertOnSave, prefs_.keepModificationTimes};
}

QString TForm1::WrittenVersionText() const {
    return prefs_.newTagVersion == 4 ? QStringLiteral("2.4.0") : QStringLiteral("2.3.0");
}

void TForm1::NameWrittenVersion() {
    const QString written = WrittenVersionText();
    const QString other =
        prefs_.newTagVersion == 4 ? QStringLiteral("2.3.0") : QStringLiteral("2.4.0");
    SpeedButton7->setText(SpeedButton7->text().replace(other, written));
    SpeedButton7->setToolTip(
        prefs_.convertOnSave
            ? QStringLiteral("New ID3v2 tags are saved as ID3v%1; a save converts a tag of "
                             "another version to it.")
                  .arg(written)
            : QStringLiteral("New ID3v2 tags are saved as ID3v%1; a save keeps a tag's own "
                             "version.")
                  .arg(written));
    ShowWrittenVersion();
}

void TForm1::ShowPreferences() {
    TPreferencesDialog dialog(prefs_, this);
    if (dialogs_.ShowModal(&dialog) != QDialog::Accepted) {
        return;
    }
    const prefs::TPreferences chosen = dialog.Values();
    prefs::Save(chosen);
    ApplyPreferences(chosen);
}

void TForm1::ApplyPreferences(const prefs::TPreferences& chosen) {
    // What a file's bytes read as changes with these two; the rest only
    // changes what later saves do.
    const bool rereads = chosen.readCodePage != prefs_.readCodePage ||
                         chosen.oldGenreNumbers != prefs_.oldGenreNumbers;
    prefs_ = chosen;
    readPage_ = code_page::TCodePage(chosen.readCodePage);
    SetGenreNumbering(chosen.oldGenreNumbers ? TGenreNumbering::Old : TGenreNumbering::Standard);
    tag_.KeepModificationTime = chosen.keepModificationTimes ? 1 : 0;
    rowModel_.SetRecordPage(code_page::TCodePage(chosen.WriteCodePage()));
    NameWrittenVersion();
    ShowUnicodeCommandState();
    if (rereads && !FileList.empty()) {
        RereadKeepingEdits();
        return;
    }
    // What a record can hold follows the page it is written in.
    for (int k = 0; k < RowsInScope(); ++k) {
        PaintRow(k);
        RowChanged(k);
    }
}

void TForm1::RereadKeepingEdits() {
    struct Edit {
        int k;
        unsigned changed;
        rows::Values values;
        int targetVersion;
        rows::Pictures pictures;
        unsigned toUnicode;
    };
    std::vector<Edit> edits;
    for (const int k : rowModel_.UnsavedRows(RowsInScope())) {
        rows::Values values;
        for (int f = 0; f < rows::kFieldCount; ++f) {
            values[static_cast<size_t>(f)] = rowModel_.Shown(k, static_cast<bulk::Column>(f));
        }
        unsigned toUnicode = 0;
        for (int f = 0; f < rows::kFieldCount; ++f) {
            const auto column = static_cast<bulk::Column>(f);
            toUnicode |= rowModel_.Marked(k, column, rows::kToUnicode) ? rows::FieldBit(column) : 0;
        }
        edits.push_back({k, rowModel_.ChangedFields(k), values, rowModel_.TargetVersion(k),
                         rowModel_.ShownPictures(k), toUnicode});
    }
    Button2Click();
    for (const Edit& edit : edits) {
        for (int f = 0; f < rows::kFieldCount; ++f) {
            const auto column = static_cast<bulk::Column>(f);
            if ((edit.changed & rows::FieldBit(column)) != 0) {
                SetValue(edit.k, column, edit.values[static_cast<size_t>(f)]);
            }
        }
        rowModel_.SetTargetVersion(edit.k, edit.targetVersion);
        rowModel_.SetPictures(edit.k, edit.pictures);
        // Text still shown as read, and chosen to be stored in Unicode, stays chosen.
        rowModel_.StoreInUnicode(edit.k, edit.toUnicode);
        PaintRow(edit.k);
        RowChanged(edit.k);
        page_.NoticePicturesChanged(edit.k, false);  // the pane showed those read from the file
    }
}

void TForm1::ConvertPageTags(int version) {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    if (TagKind != 2) {
        dialogs_.Message(this, QStringLiteral("The rows show ID3v1 tags. Switch to ID3v2 tags "
                                              "with the mode button to convert them."));
        return;
    }
    QStringList unmapped;
    int converted = 0;
    RunAsOneStep(QStringLiteral("Convert to ID3v2.%1").arg(version), [&] {
        for (int k = 0; k < RowsInScope(); ++k) {
            if (RowUntagged(k) || !RowProblem(k).isEmpty() ||
                rowModel_.StoredVersion(k) == version) {
                continue;
            }
            // The frames the version has no equivalent for are named now; the
            // save converts the file's tag as it then stands.
            const std::string path = FilePath(page_logic::FileIndex(PageIndex, k));
            auto probe = std::make_unique<Tid3v2tag>();
            if (id3v2::Succeeded(probe->LoadFromFile(path, 0))) {
                const std::vector<std::string> ids =
                    probe->ConvertToVersion(static_cast<uint8_t>(version)).Unmapped;
                if (!ids.empty()) {
                    QStringList names;
                    for (const std::string& id : ids) {
                        names << QString::fromStdString(id);
                    }
                    unmapped << QStringLiteral("%1: %2").arg(FileLabel(k)->text(),
                                                             names.join(QStringLiteral(", ")));
                }
            }
            rowModel_.SetTargetVersion(k, version);
            RowChanged(k);
            ++converted;
        }
    });
    ShowStatus(QStringLiteral("%1 to be saved as ID3v2.%2.").arg(Files(converted)).arg(version));
    if (!unmapped.isEmpty()) {
        dialogs_.Message(this, QStringLiteral("ID3v2.%1 has no equivalent for these frames; they "
                                              "are kept as they are:\n\n%2")
                                   .arg(version)
                                   .arg(unmapped.join(QLatin1Char('\n'))));
    }
}

void TForm1::StoreShownTextAsUnicode() {
    std::vector<std::pair<int, unsigned>> found;
    QStringList lines;
    for (int k = 0; k < RowsInScope(); ++k) {
        const unsigned fields = rowModel_.LegacyFields(k);
        if (fields == 0) {
            continue;
        }
        QStringList names;
        for (int f = 0; f < rows::kFieldCount; ++f) {
            const auto column = static_cast<bulk::Column>(f);
            if ((fields & rows::FieldBit(column)) != 0) {
                names << record_fit::ColumnName(column);
            }
        }
        found.emplace_back(k, fields);
        lines << QStringLiteral("%1: %2").arg(FileLabel(k)->text(),
                                              names.join(QStringLiteral(", ")));
    }
    if (found.empty()) {
        ShowStatus(QStringLiteral("No row shows text read through a legacy code page."));
        return;
    }
    const QString question =
        QStringLiteral(
            "Store the text these fields show through the code page %1 in Unicode? "
            "The rows then hold unsaved changes; saving writes them.\n\n%2")
            .arg(readPage_.Name(), lines.join(QLatin1Char('\n')));
    if (dialogs_.ConfirmYesNo(this, question) != TDialogs::Answer::Yes) {
        return;
    }
    RunAsOneStep(QStringLiteral("Store Shown Text as Unicode"), [&] {
        for (const auto& [k, fields] : found) {
            rowModel_.StoreInUnicode(k, fields);
            PaintRow(k);
            RowChanged(k);
        }
    });
    ShowStatus(QStringLiteral("%1 to be saved with the shown text in Unicode.")
                   .arg(Files(static_cast<int>(found.size()))));
}

void TForm1::RemoveTags(int kind, bool wholePage) {
    if (FileList.empty()) {
        dialogs_.Message(this, save_logic::NoFilesMessage());
        return;
    }
    std::vector<int> rowsToDo;
    if (wholePage) {
        for (int k = 0; k < RowsInScope(); ++k) {
            rowsToDo.push_back(k);
        }
    } else if (const std::optional<int> focused = FindFocusedRow()) {
        rowsToDo.push_back(*focused);
    } else {
        dialogs_.Message(this, save_logic::NoFocusedRowMessage());
        return;
    }
    const QString what = kind == 1 ? QStringLiteral("ID3v1 record") : QStringLiteral("ID3v2 tag");
    // Only the files that hold one are counted and changed.
    std::vector<std::pair<int, std::string>> tagged;
    for (const int k : rowsToDo) {
        const std::string path = FilePath(page_logic::FileIndex(PageIndex, k));
        bool has = false;
        try {
            has = kind == 1 ? !ReadV1Tag(path).NoTag : id3v2::BeginsWithTagMarker(path);
        } catch (const platform::IoError&) {
            has = false;
        }
        if (has) {
            tagged.emplace_back(k, path);
        }
    }
    if (tagged.empty()) {
        dialogs_.Message(
            this,
            wholePage
                ? QStringLiteral("None of the page's files has an %1.").arg(what)
                : QStringLiteral("%1 has no %2.").arg(FileLabel(rowsToDo.front())->text(), what));
        return;
    }
    const QString question = tagged.size() == 1
                                 ? QStringLiteral("Remove the %1 of %2?")
                                       .arg(what, FileLabel(tagged.front().first)->text())
                                 : QStringLiteral("Remove the %1 of %2?")
                                       .arg(what, Files(static_cast<int>(tagged.size())));
    if (dialogs_.ConfirmYesNo(this, question) != TDialogs::Answer::Yes) {
        return;
    }
    QStringList failures;
    int removed = 0;
    const int64_t position = SuspendPlayback();
    for (const auto& [k, path] : tagged) {
        QString failure;
        if (kind == 1) {
            try {
                RemoveV1Tag(path, prefs_.keepModificationTimes);
            } catch (const platform::IoError& error) {
                failure = QString::fromLocal8Bit(error.what());
            }
        } else if (const uint16_t result = tag_.RemoveFromFile(path); !id3v2::Succeeded(result)) {
            failure = save_logic::FailureReason(result, save_logic::LikelyError(path, result));
        }
        if (failure.isEmpty()) {
            ++removed;
        } else {
            failures << QStringLiteral("%1: %2").arg(FileLabel(k)->text(), failure);
        }
    }
    ResumePlayback(position);
    // The rows read their files again; unsaved edits stay.
    RereadKeepingEdits();
    ShowStatus(QStringLiteral("The %1 was removed from %2.").arg(what, Files(removed)));
    if (!failures.isEmpty()) {
        dialogs_.Error(this, QStringLiteral("The %1 could not be removed from:\n\n%2")
                                 .arg(what, failures.join(QLatin1Char('\n'))));
    }
}
