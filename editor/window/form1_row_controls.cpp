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
#include "editor/window/row_view.h"
#include "id3v1/genres.h"

namespace {

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
    // A field's changes reach the model, its marks, its row and the parts.
    const auto connectValueControl = [this](QWidget* control, bulk::Column column, int k) {
        auto changed = [this, control, column, k] {
            // Only a field the user is in is being typed into; the program sets the others.
            const QWidget* focus = QApplication::focusWidget();
            if (rowModel_.Shown(k, column) != TRowView::ValueText(control) && focus != nullptr &&
                (focus == control || control->isAncestorOf(focus))) {
                notices_.NoticeFieldTyped(k, column);
            }
            rowModel_.SetField(k, column, TRowView::ValueText(control));
            rowView_->PaintField(k, column, control);
            RowChanged(k);
            // A text the program put into a field the user is not in shows its start.
            if (!control->hasFocus()) {
                TRowView::ShowTextStart(control);
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
    };
    auto* genreModel = new QStringListModel(SortedGenreNames(), this);
    genreDropDown_ = new TGenreDropDown(genreModel, this, ScrollBox1);
    // Created where the window's normal width puts them; PlaceColumns moves
    // them when the window is wider.
    const column_layout::Columns columns =
        column_layout::ForWindowWidth(column_layout::kNormalWindowWidth);
    const auto at = [&columns](int column) { return columns.spans[column]; };
    QWidget* previous = nullptr;
    for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
        const int top = kFirstRowTop + kRowHeight * k;
        auto* label = new TFileLabel(RowsArea);
        label->setObjectName(TRowView::FileLabelName(k));
        // Same top and height as the row's fields, the text centred on them.
        label->setGeometry(at(column_layout::kFile).left, top, at(column_layout::kFile).width,
                           kRowHeight);
        label->hide();

        QWidget* title = RowEdit(RowsArea, TRowView::ValueControlName(bulk::Column::Title, k),
                                 at(column_layout::kTitle), top, true);
        QWidget* artist = RowEdit(RowsArea, TRowView::ValueControlName(bulk::Column::Artist, k),
                                  at(column_layout::kArtist), top, true);
        QWidget* album = RowEdit(RowsArea, TRowView::ValueControlName(bulk::Column::Album, k),
                                 at(column_layout::kAlbum), top, false);
        QWidget* year = RowSpin(RowsArea, TRowView::ValueControlName(bulk::Column::Year, k),
                                at(column_layout::kYear), top, -1, 9999);
        auto* comment = RowEdit(RowsArea, TRowView::ValueControlName(bulk::Column::Comment, k),
                                at(column_layout::kComment), top, false);
        comment->setCharLimit(28);
        TSpinEdit* track = RowSpin(RowsArea, TRowView::ValueControlName(bulk::Column::Track, k),
                                   at(column_layout::kTrack), top, -1, 255);
        track->setTakesTotal(true);

        auto* genre = new QComboBox(RowsArea);
        genre->setObjectName(TRowView::ValueControlName(bulk::Column::Genre, k));
        genre->setGeometry(at(column_layout::kGenre).left, top, at(column_layout::kGenre).width,
                           kRowHeight);
        genre->setFrame(false);
        genre->setEditable(true);
        genre->setLineEdit(new TLatin1Edit(genre));
        genre->setInsertPolicy(QComboBox::NoInsert);
        genre->setModel(genreModel);
        genre->setMaxVisibleItems(20);
        genre->setFocusPolicy(Qt::ClickFocus);
        auto* completer = new QCompleter(genreModel, genre);
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
            connectValueControl(control, column, k);
        }
    }

    // The kind label follows the focus from row to row.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == this) {
            if (const std::optional<int> k = FindFocusedRow()) {
                captions_->FollowRow(k);
            }
            captions_->ShowWrittenVersion(TagKind, RowsInScope());
        }
    });
}
