// Values between rows and tags: filling a row from either tag kind, writing a
// row into a file's ID3v2 tag, the tag-kind switch and the copy.
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QPalette>
#include <QToolButton>

#include "editor/dialogs.h"
#include "editor/form1.h"

#include "editor/application.h"
#include "editor/colours.h"
#include "editor/latin1_edit.h"
#include "editor/page_logic.h"
#include "editor/spin_edit.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/clock.h"

namespace {

constexpr int kClassical = 32;
const char* const kKeepsStoredValue = "keepsStoredValue";
const QString kUnshownHint = QStringLiteral(
    "The stored value could not be shown in full. Saving keeps it as stored unless you edit "
    "this field.");

}  // namespace

void TForm1::ConnectRows() {
    connect(SpeedButton7, &QToolButton::clicked, this, Guarded([this] { SpeedButton7Click(); }));
    connect(SpeedButton8, &QToolButton::clicked, this, Guarded([this] { SpeedButton8Click(); }));
}

bool TForm1::KeepsStoredValue(const QWidget* control) {
    return control->property(kKeepsStoredValue).toBool();
}

void TForm1::SetKeepsStoredValue(QWidget* control, bool keep) {
    if (KeepsStoredValue(control) == keep) {
        return;
    }
    control->setProperty(kKeepsStoredValue, keep);
    control->setToolTip(keep ? kUnshownHint : QString());
}

Tv2TAGInfo TForm1::LoadV2Row(const std::string& path) {
    if (V2RowSource) {
        return V2RowSource(path);
    }
    Tv2TAGInfo info;
    info.Year = std::to_string(platform::CurrentYear());
    // The load tells a missing file by kCannotOpen; only then is existence asked,
    // since that code also covers a file that exists but cannot be opened.
    const uint16_t loaded = tag_.LoadFromFile(path, 0);
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
        if (!id3v2::TextReadInFull(tag_.GetText(frame.id, *frame.text))) {
            info.Unshown |= frame.field;
        }
    }
    // A year or track that is not a whole number cannot live in a numeric field.
    if (!info.Year.empty() && !page_logic::WholeNumber(info.Year)) {
        info.Unshown |= kV2Year;
    }
    if (!info.Track.empty() && !page_logic::WholeNumber(info.Track)) {
        info.Unshown |= kV2Track;
    }
    COMM comment;
    if (!id3v2::TextReadInFull(tag_.GetComment(comment, "", "None"))) {
        info.Unshown |= kV2Comment;
    }
    info.Comment = comment.Text;
    info.NoTag = false;
    return info;
}

bool TForm1::FillRow(int k, const std::string& path) {
    for (QWidget* control : RowValueControls(k)) {
        SetKeepsStoredValue(control, false);
    }
    bool notFound = false;
    if (TagKind == 1) {
        FillV1Row(k, path, notFound);
    } else {
        FillV2Row(k, path, notFound);
    }
    return notFound;
}

void TForm1::SetRowTexts(int k, const std::string& title, const std::string& artist,
                         const std::string& album, const std::string& comment) {
    TitleEdit(k)->setText(TLatin1Edit::FromTag(title));
    ArtistEdit(k)->setText(TLatin1Edit::FromTag(artist));
    AlbumEdit(k)->setText(TLatin1Edit::FromTag(album));
    CommentEdit(k)->setText(TLatin1Edit::FromTag(comment));
}

void TForm1::FillV1Row(int k, const std::string& path, bool& notFound) {
    const Tv1TAGInfo record = ReadV1Tag(path);
    notFound = record.NotFound;
    SetRowLimits(k, 1);
    SetRowTexts(k, record.Title, record.Artist, record.Album, record.Comment);
    YearEdit(k)->setValue(page_logic::WholeNumber(record.Year).value_or(-1));
    TrackEdit(k)->setValue(record.Track);
    GenreEdit(k)->setEditText(
        TLatin1Edit::FromTag(record.NoTag ? GenreList()[kClassical] : GenreName(record.Genre)));
    SetRowUntagged(k, record.NoTag);
}

void TForm1::FillV2Row(int k, const std::string& path, bool& notFound) {
    const Tv2TAGInfo values = LoadV2Row(path);
    notFound = values.NotFound;
    SetRowLimits(k, 2);
    SetRowTexts(k, values.Title, values.Artist, values.Album, values.Comment);
    for (const auto& [spin, text] :
         {std::pair{YearEdit(k), &values.Year}, std::pair{TrackEdit(k), &values.Track}}) {
        const std::optional<int> number = page_logic::WholeNumber(*text);
        if (number) {
            spin->setValue(*number);
        } else {
            // Empty clears the field; any other text is shown raw and kept.
            spin->setText(TLatin1Edit::FromTag(*text));
        }
    }
    GenreEdit(k)->setEditText(
        TLatin1Edit::FromTag(values.NoTag ? GenreList()[kClassical] : values.Genre));
    const std::vector<QWidget*> controls = RowValueControls(k);
    const unsigned fields[] = {kV2Title,   kV2Artist, kV2Album, kV2Year,
                               kV2Comment, kV2Track,  kV2Genre};
    for (size_t i = 0; i < controls.size(); ++i) {
        if ((values.Unshown & fields[i]) != 0) {
            SetKeepsStoredValue(controls[i], true);
        }
    }
    SetRowUntagged(k, values.NoTag);
}

int TForm1::WriteV2Row(const std::string& path, int k) {
    // The file's own tag first, so the file keeps its other frames and its
    // version; never frames of the file loaded before.
    const uint16_t loaded = tag_.LoadFromFile(path, 0);
    if (!id3v2::Succeeded(loaded)) {
        // A tag whose header did not load still stands there: a fresh tag in
        // front of it would leave it as junk before the audio.
        if (!id3v2::FoundNoTag(loaded) || id3v2::BeginsWithTagMarker(path)) {
            dialogs_.Error(this, QStringLiteral("Error #%1! Can not save tags!").arg(loaded));
            return loaded;
        }
        tag_.StartFreshTag();
    }
    const struct {
        QWidget* control;
        const char* id;
        std::string text;
    } texts[] = {
        {TitleEdit(k), "TIT2", TLatin1Edit::ToTag(TitleEdit(k)->text())},
        {ArtistEdit(k), "TPE1", TLatin1Edit::ToTag(ArtistEdit(k)->text())},
        {AlbumEdit(k), "TALB", TLatin1Edit::ToTag(AlbumEdit(k)->text())},
        {YearEdit(k), "TYER", std::to_string(YearEdit(k)->value())},
        {TrackEdit(k), "TRCK", std::to_string(TrackEdit(k)->value())},
        {GenreEdit(k), "TCON", TLatin1Edit::ToTag(GenreEdit(k)->currentText())},
    };
    for (const auto& text : texts) {
        if (!KeepsStoredValue(text.control)) {
            tag_.SetText(text.id, text.text);
        }
    }
    if (!KeepsStoredValue(CommentEdit(k))) {
        COMM comment;
        comment.Encoding = 0;
        comment.Language = "ENG";
        comment.Text = TLatin1Edit::ToTag(CommentEdit(k)->text());
        tag_.SetComment(comment, "", "None");
    }
    const uint16_t saved = tag_.SaveToFile(path, 255, -1, 255);
    if (!id3v2::Succeeded(saved)) {
        dialogs_.Message(this, QStringLiteral("Error #%1! Can not save tags!").arg(saved));
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
    for (QLineEdit* edit : {TitleEdit(k), ArtistEdit(k), AlbumEdit(k)}) {
        static_cast<TLatin1Edit*>(edit)->setCharLimit(v1 ? 30 : 0);
    }
    static_cast<TLatin1Edit*>(CommentEdit(k))->setCharLimit(v1 ? 28 : 0);
    YearEdit(k)->setRange(-1, v1 ? 9999 : -1);
    TrackEdit(k)->setRange(-1, v1 ? 255 : -1);
    QComboBox* genre = GenreEdit(k);
    auto* completer = genre->findChild<QCompleter*>(QStringLiteral("GenreCompleter"));
    genre->lineEdit()->setCompleter(v1 ? completer : nullptr);
}
