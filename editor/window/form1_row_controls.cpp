// The 40 rows of controls: created once at start, hidden, and found again by
// name (prefix plus row number).
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QStringListModel>
#include <algorithm>
#include <iterator>
#include <utility>

#include "editor/model/bulk_logic.h"
#include "editor/model/column_layout.h"
#include "editor/model/latin1_text.h"
#include "editor/model/page_logic.h"
#include "editor/widgets/file_label.h"
#include "editor/widgets/fonts.h"
#include "editor/widgets/genre_drop_down.h"
#include "editor/widgets/latin1_edit.h"
#include "editor/widgets/spin_edit.h"
#include "editor/window/form1.h"
#include "id3v1/genres.h"

namespace {

// The name prefixes of a row's controls; the row number follows.
constexpr char kFileLabel[] = "FileLabel";
constexpr char kTitleEdit[] = "TitleEdit";
constexpr char kArtistEdit[] = "ArtistEdit";
constexpr char kAlbumEdit[] = "AlbumEdit";
constexpr char kYearEdit[] = "YearEdit";
constexpr char kCommentEdit[] = "CommentEdit";
constexpr char kTrackEdit[] = "TrackEdit";
constexpr char kGenreEdit[] = "GenreEdit";

QString RowName(const char* prefix, int k) {
    return QLatin1String(prefix) + QString::number(k);
}

template <typename Control>
Control* RowControl(const QWidget* rowsArea, const char* prefix, int k) {
    return rowsArea->findChild<Control*>(RowName(prefix, k), Qt::FindDirectChildrenOnly);
}

QStringList SortedGenreNames() {
    QStringList names;
    for (const std::string& name : GenreList()) {
        names << latin1_text::FromTag(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

TLatin1Edit* RowEdit(QWidget* parent, const QString& name, column_layout::Span span, int top,
                     bool tabStop) {
    auto* edit = new TLatin1Edit(parent);
    edit->setObjectName(name);
    edit->setGeometry(span.left, top, span.width, TForm1::kRowHeight);
    edit->setFrame(false);
    edit->setCharLimit(30);
    edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    edit->hide();
    return edit;
}

TSpinEdit* RowSpin(QWidget* parent, const QString& name, column_layout::Span span, int top,
                   int minimum, int maximum) {
    auto* spin = new TSpinEdit(parent);
    spin->setObjectName(name);
    spin->setGeometry(span.left, top, span.width, TForm1::kRowHeight);
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
    // Created where the window's normal width puts them; PlaceColumns moves
    // them when the window is wider.
    const column_layout::Columns columns =
        column_layout::ForWindowWidth(column_layout::kNormalWindowWidth);
    const auto at = [&columns](int column) { return columns.spans[column]; };
    QWidget* previous = nullptr;
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const int top = kFirstRowTop + kRowHeight * k;
        auto* label = new TFileLabel(RowsArea);
        label->setObjectName(RowName(kFileLabel, k));
        // Same top and height as the row's fields, the text centred on them.
        label->setGeometry(at(column_layout::kFile).left, top, at(column_layout::kFile).width,
                           kRowHeight);
        label->hide();

        QWidget* title =
            RowEdit(RowsArea, RowName(kTitleEdit, k), at(column_layout::kTitle), top, true);
        QWidget* artist =
            RowEdit(RowsArea, RowName(kArtistEdit, k), at(column_layout::kArtist), top, true);
        QWidget* album =
            RowEdit(RowsArea, RowName(kAlbumEdit, k), at(column_layout::kAlbum), top, false);
        QWidget* year =
            RowSpin(RowsArea, RowName(kYearEdit, k), at(column_layout::kYear), top, -1, 9999);
        auto* comment =
            RowEdit(RowsArea, RowName(kCommentEdit, k), at(column_layout::kComment), top, false);
        comment->setCharLimit(28);
        TSpinEdit* track =
            RowSpin(RowsArea, RowName(kTrackEdit, k), at(column_layout::kTrack), top, -1, 255);
        track->setTakesTotal(true);

        auto* genre = new QComboBox(RowsArea);
        genre->setObjectName(RowName(kGenreEdit, k));
        genre->setGeometry(at(column_layout::kGenre).left, top, at(column_layout::kGenre).width,
                           kRowHeight);
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

        for (const auto& [control, column] :
             {std::pair{title, bulk::Column::Title}, std::pair{artist, bulk::Column::Artist},
              std::pair{album, bulk::Column::Album}, std::pair{year, bulk::Column::Year},
              std::pair{static_cast<QWidget*>(comment), bulk::Column::Comment},
              std::pair{static_cast<QWidget*>(track), bulk::Column::Track},
              std::pair{static_cast<QWidget*>(genre), bulk::Column::Genre}}) {
            if (previous != nullptr) {
                setTabOrder(previous, control);
            }
            previous = control;
            ConnectValueControl(control, column, k);
        }
    }
}

void TForm1::ConnectValueControl(QWidget* control, bulk::Column column, int k) {
    auto changed = [this, control, column, k] {
        // Only a field the user is in is being typed into; the program sets the others.
        const QWidget* focus = QApplication::focusWidget();
        if (rowModel_.Shown(k, column) != ValueText(control) && focus != nullptr &&
            (focus == control || control->isAncestorOf(focus))) {
            page_.NoticeFieldTyped(k, column);
        }
        rowModel_.SetField(k, column, ValueText(control));
        PaintField(k, column, control);
        RowChanged(k);
        // A text the program put into a field the user is not in shows its start.
        if (!control->hasFocus()) {
            ShowTextStart(control);
        }
    };
    // Keys of the text fields (Up and Down between rows) pass the window's filter.
    control->installEventFilter(this);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, changed);
    } else if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
        connect(spin, &TSpinEdit::textChanged, this, changed);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        connect(combo, &QComboBox::editTextChanged, this, changed);
    }
}

void TForm1::ShowTextStart(QWidget* control) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(control);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        edit = combo->lineEdit();
    } else if (edit == nullptr) {
        // The spin field's text is its own line edit.
        edit = control->findChild<QLineEdit*>();
    }
    if (edit != nullptr) {
        edit->setCursorPosition(0);
    }
}

QLabel* TForm1::FileLabel(int k) const {
    return RowControl<QLabel>(RowsArea, kFileLabel, k);
}
QLineEdit* TForm1::TitleEdit(int k) const {
    return RowControl<QLineEdit>(RowsArea, kTitleEdit, k);
}
QLineEdit* TForm1::ArtistEdit(int k) const {
    return RowControl<QLineEdit>(RowsArea, kArtistEdit, k);
}
QLineEdit* TForm1::AlbumEdit(int k) const {
    return RowControl<QLineEdit>(RowsArea, kAlbumEdit, k);
}
TSpinEdit* TForm1::YearEdit(int k) const {
    return RowControl<TSpinEdit>(RowsArea, kYearEdit, k);
}
QLineEdit* TForm1::CommentEdit(int k) const {
    return RowControl<QLineEdit>(RowsArea, kCommentEdit, k);
}
TSpinEdit* TForm1::TrackEdit(int k) const {
    return RowControl<TSpinEdit>(RowsArea, kTrackEdit, k);
}
QComboBox* TForm1::GenreEdit(int k) const {
    return RowControl<QComboBox>(RowsArea, kGenreEdit, k);
}

std::optional<std::pair<int, bulk::Column>> TForm1::RowFieldOf(const QWidget* control) const {
    const char* const prefixes[] = {kTitleEdit,   kArtistEdit, kAlbumEdit, kYearEdit,
                                    kCommentEdit, kTrackEdit,  kGenreEdit};
    const QString name = control->objectName();
    for (size_t f = 0; f < std::size(prefixes); ++f) {
        const QLatin1String prefix(prefixes[f]);
        bool number = false;
        const int k = name.mid(prefix.size()).toInt(&number);
        if (name.startsWith(prefix) && number) {
            return std::pair{k, static_cast<bulk::Column>(f)};
        }
    }
    return std::nullopt;
}

std::vector<QWidget*> TForm1::RowValueControls(int k) const {
    return {TitleEdit(k),   ArtistEdit(k), AlbumEdit(k), YearEdit(k),
            CommentEdit(k), TrackEdit(k),  GenreEdit(k)};
}
