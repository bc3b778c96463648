// Values between rows and tags: filling a row from either tag kind, writing a
// row into a file's ID3v2 tag, the tag-kind switch and the copy, and the check
// of the values a save is about to write.
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

#include "editor/dialogs.h"
#include "editor/form1.h"

#include "editor/application.h"
#include "editor/bulk_logic.h"
#include "editor/colours.h"
#include "editor/latin1_edit.h"
#include "editor/page_logic.h"
#include "editor/record_fit.h"
#include "editor/save_logic.h"
#include "editor/spin_edit.h"
#include "editor/tag_values.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/clock.h"

namespace {

// A text value of a record as a field shows it; a file without a record holds none.
QString RecordText(const Tv1TAGInfo& record, bulk::Column column) {
    if (record.NoTag) {
        return QString();
    }
    switch (column) {
        case bulk::Column::Title:
            return TLatin1Edit::FromTag(record.Title);
        case bulk::Column::Artist:
            return TLatin1Edit::FromTag(record.Artist);
        case bulk::Column::Album:
            return TLatin1Edit::FromTag(record.Album);
        case bulk::Column::Comment:
            return TLatin1Edit::FromTag(record.Comment);
        default:
            return TLatin1Edit::FromTag(GenreName(record.Genre));
    }
}

void SetValueText(QWidget* control, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    } else {
        static_cast<QLineEdit*>(control)->setText(text);
    }
}

}  // namespace

void TForm1::ConnectRows() {
    connect(SpeedButton7, &QToolButton::clicked, this, Guarded([this] { SpeedButton7Click(); }));
    connect(SpeedButton8, &QToolButton::clicked, this, Guarded([this] { SpeedButton8Click(); }));
}

Tv2TAGInfo TForm1::LoadV2Row(const std::string& path) {
    if (V2RowSource) {
        return V2RowSource(path);
    }
    Tv2TAGInfo info;
    // The load tells a missing file by kCannotOpen; only then is existence asked,
    // since that code also covers a file that exists but cannot be opened.
    const uint16_t loaded = tag_.LoadFromFile(path, 0);
    info.Loaded = loaded;
    if (!id3v2::Succeeded(loaded)) {
        info.NotFound =
            id3v2::ErrorCode(loaded) == id3v2::kCannotOpen && !platform::FileExists(path);
        return info;
    }
    const struct {
        const char* id;
        std::string* text;
        unsigned field;
    } frames[] = {{"TIT2", &info.Title, kV2Title}, {"TPE1", &info.Artist, kV2Artist},
                  {"TALB", &info.Album, kV2Album}, {"TYER", &info.Year, kV2Year},
                  {"TCON", &info.Genre, kV2Genre}, {"TRCK", &info.Track, kV2Track}};
    for (const auto& frame : frames) {
        // Every genre value: the row shows them all by name.
        const uint8_t result = frame.field == kV2Genre
                                   ? tag_.GetTextValuesUtf8(frame.id, *frame.text)
                                   : tag_.GetTextUtf8(frame.id, *frame.text);
        if (!id3v2::TextReadInFull(result)) {
            info.Unshown |= frame.field;
        }
        if (frame.field == kV2Year && result == id3v2::kTextNoFrame) {
            ReadTimestampYear(info);
        }
    }
    // A year that is not a whole number, or a track that is not one with or
    // without a total ("3/12"), cannot live in a numeric field.
    if (!info.Year.empty() && !page_logic::WholeNumber(info.Year)) {
        info.Unshown |= kV2Year;
    }
    if (!tag_values::TrackValid(info.Track, std::numeric_limits<int>::max())) {
        info.Unshown |= kV2Track;
    }
    COMM comment;
    if (!id3v2::TextReadInFull(tag_.GetCommentUtf8(comment, "", "None"))) {
        info.Unshown |= kV2Comment;
    }
    info.Comment = comment.Text;
    info.NoTag = false;
    return info;
}

// Version 4 keeps the year in the timestamp TDRC; shown when there is no TYER.
void TForm1::ReadTimestampYear(Tv2TAGInfo& info) {
    std::string timestamp;
    const uint8_t result = tag_.GetTextUtf8("TDRC", timestamp);
    bool whole = true;
    info.Year = tag_values::YearOfTimestamp(timestamp, whole);
    if (!whole || !id3v2::TextReadInFull(result)) {
        info.Unshown |= kV2Year;
    }
}

bool TForm1::FillRow(int k, const std::string& path) {
    for (QWidget* control : RowValueControls(k)) {
        SetKeepsStoredValue(control, false);
        SetNameNotDecoded(control, false);
    }
    bool notFound = false;
    if (TagKind == 1) {
        FillV1Row(k, path, notFound);
    } else {
        FillV2Row(k, path, notFound);
    }
    // Last, so that the marks judge the values as filled; a value kept as
    // stored is not marked for its range, since it is not written.
    SetRowLimits(k, TagKind);
    return notFound;
}

void TForm1::SetRowTexts(int k, const QString& title, const QString& artist, const QString& album,
                         const QString& comment) {
    TitleEdit(k)->setText(title);
    ArtistEdit(k)->setText(artist);
    AlbumEdit(k)->setText(album);
    CommentEdit(k)->setText(comment);
}

void TForm1::FillV1Row(int k, const std::string& path, bool& notFound) {
    const Tv1TAGInfo record = ReadV1Tag(path);
    notFound = record.NotFound;
    SetRowTexts(k, RecordText(record, bulk::Column::Title),
                RecordText(record, bulk::Column::Artist), RecordText(record, bulk::Column::Album),
                RecordText(record, bulk::Column::Comment));
    // A file without a record holds no value: the fields stay empty rather
    // than show a year or genre that looks stored. A year of no digits or of
    // 0000, and track 0, are the record's "none".
    const int year = page_logic::WholeNumber(record.Year).value_or(-1);
    YearEdit(k)->setText(record.NoTag || year <= 0 ? QString() : QString::number(year));
    TrackEdit(k)->setText(record.NoTag || record.Track == 0 ? QString()
                                                            : QString::number(record.Track));
    GenreEdit(k)->setEditText(RecordText(record, bulk::Column::Genre));
    SetRowUntagged(k, record.NoTag);
}

void TForm1::FillV2Row(int k, const std::string& path, bool& notFound) {
    const Tv2TAGInfo values = LoadV2Row(path);
    notFound = values.NotFound;
    // The values are UTF-8; the fields show every script.
    SetRowTexts(k, QString::fromStdString(values.Title), QString::fromStdString(values.Artist),
                QString::fromStdString(values.Album), QString::fromStdString(values.Comment));
    // As stored: a number outside the field's range is shown and marked, not
    // clamped; a text that is no number is kept.
    YearEdit(k)->setText(QString::fromStdString(values.Year));
    TrackEdit(k)->setText(QString::fromStdString(values.Track));
    GenreEdit(k)->setEditText(QString::fromStdString(ShownGenre(values.Genre)));
    const std::vector<QWidget*> controls = RowValueControls(k);
    for (size_t i = 0; i < controls.size(); ++i) {
        if ((values.Unshown & kV2Fields[i]) != 0) {
            SetKeepsStoredValue(controls[i], true);
        }
    }
    SetRowUntagged(k, values.NoTag);
    // A tag that stands in the file but did not load cannot be edited here.
    if (!notFound && !id3v2::Succeeded(values.Loaded) && !id3v2::FoundNoTag(values.Loaded)) {
        SetRowProblem(k, save_logic::FailureReason(values.Loaded));
    }
}

int TForm1::WriteV2Row(const std::string& path, int k) {
    // The file's own tag first, so the file keeps its other frames and its
    // version; never frames of the file loaded before.
    const uint16_t loaded = tag_.LoadFromFile(path, 0);
    if (!id3v2::Succeeded(loaded)) {
        // A tag whose header did not load still stands there: a fresh tag in
        // front of it would leave it as junk before the audio.
        if (!id3v2::FoundNoTag(loaded) || id3v2::BeginsWithTagMarker(path)) {
            ReportSaveFailure(path, loaded);
            return loaded;
        }
        tag_.StartFreshTag();
    }
    // Only the values the user changed are set; every other frame stays as
    // stored. A value that could not be shown in full stays until edited.
    const unsigned changed = ChangedFields(k);
    const auto set = [&](unsigned field, QWidget* control) {
        return (changed & field) != 0 && !KeepsStoredValue(control);
    };
    const struct {
        unsigned field;
        QWidget* control;
        const char* id;
        std::string text;
    } texts[] = {
        // UTF-8: a Latin-1 text is written as today, any other in Unicode.
        {kV2Title, TitleEdit(k), "TIT2", TitleEdit(k)->text().toStdString()},
        {kV2Artist, ArtistEdit(k), "TPE1", ArtistEdit(k)->text().toStdString()},
        {kV2Album, AlbumEdit(k), "TALB", AlbumEdit(k)->text().toStdString()},
        {kV2Track, TrackEdit(k), "TRCK", tag_values::TrackText(TrackEdit(k)->text().toStdString())},
        {kV2Genre, GenreEdit(k), "TCON",
         tag_values::GenreText(GenreEdit(k)->currentText().toStdString())},
    };
    for (const auto& text : texts) {
        if (set(text.field, text.control)) {
            tag_.SetTextUtf8(text.id, text.text);
        }
    }
    if (set(kV2Year, YearEdit(k))) {
        // The year frame of the tag's version; the other one goes, so the two never disagree.
        tag_.SetTextUtf8(tag_values::YearFrame(tag_.MajorVersion),
                         tag_values::YearText(YearEdit(k)->text().toStdString()));
        tag_.SetTextUtf8(tag_values::OtherYearFrame(tag_.MajorVersion), "");
    }
    if (set(kV2Comment, CommentEdit(k))) {
        // The comment replaced keeps its language.
        COMM stored;
        tag_.GetCommentUtf8(stored, "", "None");
        COMM comment;
        comment.Language = tag_values::CommentLanguage(stored.Language);
        comment.Text = CommentEdit(k)->text().toStdString();
        tag_.SetCommentUtf8(comment, "", "None");
    }
    const uint16_t saved = tag_.SaveToFile(path, 255, -1, 255);
    if (!id3v2::Succeeded(saved)) {
        ReportSaveFailure(path, saved);
        return saved;
    }
    return 0;
}

void TForm1::ShowKindCaptions() {
    const bool v1 = TagKind == 1;
    Label1->setText(v1 ? QStringLiteral("ID3v1.1") : QStringLiteral("ID3v2.4.0"));
    FitKindLabel();
    SpeedButton7->setText(v1 ? QStringLiteral("&Modify id3v2.4.0 tags")
                             : QStringLiteral("&Modify id3v1.1 tags"));
    SpeedButton8->setText(v1 ? QStringLiteral("&Copy tags to Id3v2")
                             : QStringLiteral("&Copy tags to Id3v1"));
}

void TForm1::SpeedButton7Click() {
    if (!AskToLeavePage()) {
        return;
    }
    TagKind = TagKind == 1 ? 2 : 1;
    ShowKindCaptions();
    Button2Click();
}

void TForm1::SpeedButton8Click() {
    if (!AskToLeavePage()) {
        return;
    }
    TagKind = TagKind == 1 ? 2 : 1;
    ShowKindCaptions();
    const int shown = RowsInScope();
    for (int k = 0; k < shown; ++k) {
        SetRowLimits(k, TagKind);
        // The values read from one kind are all to be saved into the other; an
        // untagged row's placeholders are no values of its file.
        if (!RowUntagged(k)) {
            ForgetShownValues(k);
            SetRowModified(k, true);
        }
    }
    TietojaModifoitu();
}

bool TForm1::RowUntagged(int k) const {
    return TitleEdit(k)->palette().color(QPalette::Base) ==
           QApplication::palette().color(QPalette::Button);
}

void TForm1::SetRowUntagged(int k, bool untagged) {
    const QColor colour =
        QApplication::palette().color(untagged ? QPalette::Button : QPalette::Base);
    for (QWidget* control : RowValueControls(k)) {
        colours::SetColour(control, QPalette::Base, colour);
    }
}

void TForm1::SetRowLimits(int k, int kind) {
    const bool v1 = kind == 1;
    // ID3v1 holds ISO-8859-1 only; ID3v2 takes every script.
    for (QLineEdit* edit : {TitleEdit(k), ArtistEdit(k), AlbumEdit(k), CommentEdit(k)}) {
        static_cast<TLatin1Edit*>(edit)->setCharLimit(v1 ? (edit == CommentEdit(k) ? 28 : 30) : 0);
    }
    YearEdit(k)->setRange(1, tag_values::kMaxYear);
    YearEdit(k)->setStartValue(platform::CurrentYear());
    TrackEdit(k)->setRange(1, v1 ? tag_values::kMaxRecordTrack : tag_values::kMaxTrack);
    QComboBox* genre = GenreEdit(k);
    auto* completer = genre->findChild<QCompleter*>(QStringLiteral("GenreCompleter"));
    genre->lineEdit()->setCompleter(v1 ? completer : nullptr);
    const std::vector<QWidget*> controls = RowValueControls(k);
    for (size_t i = 0; i < controls.size(); ++i) {
        CheckStorable(controls[i], static_cast<bulk::Column>(i));
    }
}

bool TForm1::SettleValuesToSave(const std::vector<int>& rows) {
    QStringList outOfRange;
    QStringList unstorable;
    std::vector<std::pair<int, bulk::Column>> toSettle;
    for (const int k : rows) {
        const unsigned changed = ChangedFields(k);
        const std::vector<QWidget*> controls = RowValueControls(k);
        const QString name = FileLabel(k)->text();
        QStringList fields;
        for (size_t i = 0; i < controls.size(); ++i) {
            const auto column = static_cast<bulk::Column>(i);
            if ((changed & kV2Fields[i]) == 0 || !NotStorable(controls[i])) {
                continue;
            }
            if (column == bulk::Column::Year || column == bulk::Column::Track) {
                outOfRange << QStringLiteral("Row %1, %2: %3 \"%4\"")
                                  .arg(k + 1)
                                  .arg(name, record_fit::ColumnName(column),
                                       ValueText(controls[i]));
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
    std::optional<int> recordRow;
    Tv1TAGInfo record;
    for (const auto& [k, column] : toSettle) {
        QWidget* control = RowValueControls(k)[static_cast<size_t>(column)];
        if (answer == TDialogs::Answer::Yes) {
            SetValueText(control, record_fit::Transliterated(column, ValueText(control)));
            continue;
        }
        if (recordRow != k) {
            record = ReadV1Tag(FilePath(page_logic::FileIndex(PageIndex, k)));
            recordRow = k;
        }
        SetValueText(control, RecordText(record, column));
    }
    return true;
}
