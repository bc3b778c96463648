// The preferences part: the dialog, what each preference changes on the shown
// page at once, converting the page's tags to another ID3v2 version, removing
// a kind of tag from files, and storing legacy text in Unicode.
#include "editor/preferences/preferences_part.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "editor/dialogs/dialogs.h"
#include "editor/dialogs/preferences_dialog.h"
#include "editor/model/counted.h"
#include "editor/model/record_fit.h"
#include "editor/model/row_model.h"
#include "editor/model/save_logic.h"
#include "editor/page/page.h"
#include "editor/startup/application.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "platform/file.h"

namespace {

QString Files(int count) {
    return Counted(count, QStringLiteral("file"), QStringLiteral("files"));
}

}  // namespace

TPreferencesPart::TPreferencesPart(TPage& page, Tid3v2tag& tag, TChosenPreferences& chosen,
                                   const prefs::TPreferences& stored)
    : page_(page), tag_(tag), chosen_(chosen) {
    Take(stored);
    AddCommands();
    page_.WhenPageShown([this] { ShowUnicodeCommandState(); });
}

void TPreferencesPart::AddCommands() {
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
    unicodeAction_ = page_.AddCommand(QStringLiteral("Store Shown Text as Unicode"), {},
                                      Guarded([this] { StoreShownTextAsUnicode(); }));
    ShowUnicodeCommandState();
}

void TPreferencesPart::ShowUnicodeCommandState() {
    unicodeAction_->setEnabled(page_.Kind() == 2 && !chosen_.ReadPage().IsLatin1());
}

QString TPreferencesPart::LabelText(int k) {
    return static_cast<QLabel*>(page_.FileLabel(k))->text();
}

void TPreferencesPart::ShowPreferences() {
    TPreferencesDialog dialog(chosen_.Values(), page_.Window());
    if (page_.Dialogs().ShowModal(&dialog) != QDialog::Accepted) {
        return;
    }
    const prefs::TPreferences chosen = dialog.Values();
    prefs::Save(chosen);
    ApplyPreferences(chosen);
}

void TPreferencesPart::Take(const prefs::TPreferences& chosen) {
    chosen_.Take(chosen);
    SetGenreNumbering(chosen.oldGenreNumbers ? TGenreNumbering::Old : TGenreNumbering::Standard);
    tag_.KeepModificationTime = chosen.keepModificationTimes ? 1 : 0;
    page_.Model().SetRecordPage(code_page::TCodePage(chosen.WriteCodePage()));
}

void TPreferencesPart::ApplyPreferences(const prefs::TPreferences& chosen) {
    // What a file's bytes read as changes with these two; the rest only
    // changes what later saves do.
    const prefs::TPreferences& before = chosen_.Values();
    const bool rereads = chosen.readCodePage != before.readCodePage ||
                         chosen.oldGenreNumbers != before.oldGenreNumbers;
    Take(chosen);
    page_.WrittenVersionChanged();
    ShowUnicodeCommandState();
    if (rereads && page_.FileCount() > 0) {
        page_.RereadKeepingEdits();
        return;
    }
    // What a record can hold follows the page it is written in.
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        page_.ShowRowMarks(k);
        page_.RowChanged(k);
    }
}

void TPreferencesPart::ConvertPageTags(int version) {
    if (page_.FileCount() == 0) {
        page_.Dialogs().Message(page_.Window(), save_logic::NoFilesMessage());
        return;
    }
    if (page_.Kind() != 2) {
        page_.Dialogs().Message(page_.Window(),
                                QStringLiteral("The rows show ID3v1 tags. Switch to ID3v2 tags "
                                               "with the mode button to convert them."));
        return;
    }
    rows::TRowModel& model = page_.Model();
    QStringList unmapped;
    int converted = 0;
    page_.RunAsOneStep(QStringLiteral("Convert to ID3v2.%1").arg(version), [&] {
        for (int k = 0; k < page_.RowsInScope(); ++k) {
            if (model.Untagged(k) || !model.Problem(k).isEmpty() ||
                model.StoredVersion(k) == version) {
                continue;
            }
            // The frames the version has no equivalent for are named now; the
            // save converts the file's tag as it then stands.
            auto probe = std::make_unique<Tid3v2tag>();
            if (id3v2::Succeeded(probe->LoadFromFile(page_.RowFilePath(k), 0))) {
                const std::vector<std::string> ids =
                    probe->ConvertToVersion(static_cast<uint8_t>(version)).Unmapped;
                if (!ids.empty()) {
                    QStringList names;
                    for (const std::string& id : ids) {
                        names << QString::fromStdString(id);
                    }
                    unmapped << QStringLiteral("%1: %2").arg(LabelText(k),
                                                             names.join(QStringLiteral(", ")));
                }
            }
            model.SetTargetVersion(k, version);
            page_.RowChanged(k);
            ++converted;
        }
    });
    page_.ShowStatus(
        QStringLiteral("%1 to be saved as ID3v2.%2.").arg(Files(converted)).arg(version));
    if (!unmapped.isEmpty()) {
        page_.Dialogs().Message(page_.Window(),
                                QStringLiteral("ID3v2.%1 has no equivalent for these frames; they "
                                               "are kept as they are:\n\n%2")
                                    .arg(version)
                                    .arg(unmapped.join(QLatin1Char('\n'))));
    }
}

void TPreferencesPart::StoreShownTextAsUnicode() {
    rows::TRowModel& model = page_.Model();
    std::vector<std::pair<int, unsigned>> found;
    QStringList lines;
    for (int k = 0; k < page_.RowsInScope(); ++k) {
        const unsigned fields = model.LegacyFields(k);
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
        lines << QStringLiteral("%1: %2").arg(LabelText(k), names.join(QStringLiteral(", ")));
    }
    if (found.empty()) {
        page_.ShowStatus(QStringLiteral("No row shows text read through a legacy code page."));
        return;
    }
    const QString question =
        QStringLiteral(
            "Store the text these fields show through the code page %1 in Unicode? "
            "The rows then hold unsaved changes; saving writes them.\n\n%2")
            .arg(chosen_.ReadPage().Name(), lines.join(QLatin1Char('\n')));
    if (page_.Dialogs().ConfirmYesNo(page_.Window(), question) != TDialogs::Answer::Yes) {
        return;
    }
    page_.RunAsOneStep(QStringLiteral("Store Shown Text as Unicode"), [&] {
        for (const auto& [k, fields] : found) {
            model.StoreInUnicode(k, fields);
            page_.ShowRowMarks(k);
            page_.RowChanged(k);
        }
    });
    page_.ShowStatus(QStringLiteral("%1 to be saved with the shown text in Unicode.")
                         .arg(Files(static_cast<int>(found.size()))));
}

void TPreferencesPart::RemoveTags(int kind, bool wholePage) {
    TDialogs& dialogs = page_.Dialogs();
    if (page_.FileCount() == 0) {
        dialogs.Message(page_.Window(), save_logic::NoFilesMessage());
        return;
    }
    std::vector<int> rowsToDo;
    if (wholePage) {
        for (int k = 0; k < page_.RowsInScope(); ++k) {
            rowsToDo.push_back(k);
        }
    } else if (const std::optional<int> focused = page_.FocusedRow()) {
        rowsToDo.push_back(*focused);
    } else {
        dialogs.Message(page_.Window(), save_logic::NoFocusedRowMessage());
        return;
    }
    const QString what = kind == 1 ? QStringLiteral("ID3v1 record") : QStringLiteral("ID3v2 tag");
    // Only the files that hold one are counted and changed; a file that cannot
    // be read is named with the reason, not said to hold none.
    std::vector<std::pair<int, std::string>> tagged;
    QStringList failures;
    for (const int k : rowsToDo) {
        const std::string path = page_.RowFilePath(k);
        try {
            const platform::File file(path, platform::File::Mode::Read);
            if (kind == 1 ? !ReadV1Tag(path).NoTag : id3v2::BeginsWithTagMarker(path)) {
                tagged.emplace_back(k, path);
            }
        } catch (const platform::IoError& error) {
            failures << QStringLiteral("%1: %2").arg(LabelText(k),
                                                     QString::fromLocal8Bit(error.what()));
        }
    }
    const QString notRemoved = QStringLiteral("The %1 could not be removed from:\n\n%2");
    if (tagged.empty()) {
        if (!failures.isEmpty()) {
            dialogs.Error(page_.Window(), notRemoved.arg(what, failures.join(QLatin1Char('\n'))));
        } else {
            dialogs.Message(
                page_.Window(),
                wholePage ? QStringLiteral("None of the page's files has an %1.").arg(what)
                          : QStringLiteral("%1 has no %2.").arg(LabelText(rowsToDo.front()), what));
        }
        return;
    }
    const QString question =
        tagged.size() == 1
            ? QStringLiteral("Remove the %1 of %2?").arg(what, LabelText(tagged.front().first))
            : QStringLiteral("Remove the %1 of %2?")
                  .arg(what, Files(static_cast<int>(tagged.size())));
    if (dialogs.ConfirmYesNo(page_.Window(), question) != TDialogs::Answer::Yes) {
        return;
    }
    int removed = 0;
    page_.WithPlaybackSuspended([&] {
        for (const auto& [k, path] : tagged) {
            QString failure;
            if (kind == 1) {
                try {
                    RemoveV1Tag(path, chosen_.Values().keepModificationTimes);
                } catch (const platform::IoError& error) {
                    failure = QString::fromLocal8Bit(error.what());
                }
            } else if (const uint16_t result = tag_.RemoveFromFile(path);
                       !id3v2::Succeeded(result)) {
                failure = save_logic::FailureReason(result, save_logic::LikelyError(path, result));
            }
            if (failure.isEmpty()) {
                ++removed;
            } else {
                failures << QStringLiteral("%1: %2").arg(LabelText(k), failure);
            }
        }
    });
    // The rows read their files again; unsaved edits stay.
    page_.RereadKeepingEdits();
    page_.ShowStatus(QStringLiteral("The %1 was removed from %2.").arg(what, Files(removed)));
    if (!failures.isEmpty()) {
        dialogs.Error(page_.Window(), notRemoved.arg(what, failures.join(QLatin1Char('\n'))));
    }
}
