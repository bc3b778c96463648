// The rows' controls found by name, and how the row model's marks show on
// them: a value's marks as tooltip and text colour, an untagged row in the
// button colour, an unsaved row and an unreadable file on its label.
#include "editor/window/row_view.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <iterator>

#include "editor/model/chosen_preferences.h"
#include "editor/widgets/colours.h"
#include "editor/widgets/file_label.h"
#include "editor/widgets/fonts.h"
#include "editor/widgets/spin_edit.h"

namespace {

// The name prefixes of a row's value controls in column order; the row number follows.
constexpr const char* kValuePrefixes[] = {"TitleEdit",   "ArtistEdit", "AlbumEdit", "YearEdit",
                                          "CommentEdit", "TrackEdit",  "GenreEdit"};

QString Hints(unsigned marks, const QString& codePage) {
    QStringList hints;
    if ((marks & rows::kKeepsStored) != 0) {
        hints << QStringLiteral(
            "The stored value could not be shown in full. Saving keeps it as stored unless you "
            "edit this field.");
    }
    if ((marks & rows::kNotStorable) != 0) {
        hints << QStringLiteral(
            "An ID3v1 tag cannot hold this value. Saving asks what to store instead.");
    }
    if ((marks & rows::kOutOfRange) != 0) {
        hints << QStringLiteral(
            "A year is 1 to 9999, a track 1 to 999 (255 in an ID3v1 tag), alone or with a total "
            "of 1 to 999 (\"7/12\"), or empty. Saving "
            "refuses this value until it is mended.");
    }
    if ((marks & rows::kNameNotDecoded) != 0) {
        hints << QStringLiteral("Part of the name is not UTF-8 and shows as \uFFFD.");
    }
    if ((marks & rows::kLegacyCodePage) != 0) {
        hints << QStringLiteral(
                     "Read with the code page %1: the file holds this text in that code page, "
                     "not in Unicode. A save leaves it as stored; in an ID3v2 tag, editing it "
                     "or the command Store Shown Text as Unicode stores it in Unicode.")
                     .arg(codePage);
    }
    return hints.join(QLatin1Char('\n'));
}

// The width a genre box gives its text: the box less its arrow and the line
// edit's text margins.
int GenreTextRoom(const QComboBox* genre) {
    QStyleOptionComboBox option;
    option.initFrom(genre);
    option.editable = true;
    option.frame = genre->hasFrame();
    const QRect field = genre->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, genre);
    return field.width() - 5;
}

}  // namespace

TRowView::TRowView(const QWidget& rowsArea, const rows::TRowModel& model,
                   const TChosenPreferences& chosen)
    : rowsArea_(rowsArea), model_(model), chosen_(chosen) {}

QString TRowView::FileLabelName(int k) {
    return QStringLiteral("FileLabel") + QString::number(k);
}

QString TRowView::ValueControlName(bulk::Column column, int k) {
    return QLatin1String(kValuePrefixes[static_cast<int>(column)]) + QString::number(k);
}

QWidget* TRowView::Named(int k, size_t control) const {
    if (k < 0 || k >= rows::kRowCount) {
        return nullptr;
    }
    QWidget*& found = found_[static_cast<size_t>(k)][control];
    if (found == nullptr) {
        const QString name = control == 0
                                 ? FileLabelName(k)
                                 : ValueControlName(static_cast<bulk::Column>(control - 1), k);
        found = rowsArea_.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    }
    return found;
}

QLabel* TRowView::FileLabel(int k) const {
    return static_cast<QLabel*>(Named(k, 0));
}
QLineEdit* TRowView::TitleEdit(int k) const {
    return qobject_cast<QLineEdit*>(Named(k, 1));
}
QLineEdit* TRowView::ArtistEdit(int k) const {
    return qobject_cast<QLineEdit*>(Named(k, 2));
}
QLineEdit* TRowView::AlbumEdit(int k) const {
    return qobject_cast<QLineEdit*>(Named(k, 3));
}
TSpinEdit* TRowView::YearEdit(int k) const {
    return qobject_cast<TSpinEdit*>(Named(k, 4));
}
QLineEdit* TRowView::CommentEdit(int k) const {
    return qobject_cast<QLineEdit*>(Named(k, 5));
}
TSpinEdit* TRowView::TrackEdit(int k) const {
    return qobject_cast<TSpinEdit*>(Named(k, 6));
}
QComboBox* TRowView::GenreEdit(int k) const {
    return qobject_cast<QComboBox*>(Named(k, 7));
}

std::vector<QWidget*> TRowView::ValueControls(int k) const {
    return {TitleEdit(k),   ArtistEdit(k), AlbumEdit(k), YearEdit(k),
            CommentEdit(k), TrackEdit(k),  GenreEdit(k)};
}

std::optional<std::pair<int, bulk::Column>> TRowView::RowFieldOf(const QWidget* control) const {
    const QString name = control->objectName();
    for (size_t f = 0; f < std::size(kValuePrefixes); ++f) {
        const QLatin1String prefix(kValuePrefixes[f]);
        bool number = false;
        const int k = name.mid(prefix.size()).toInt(&number);
        if (name.startsWith(prefix) && number) {
            return std::pair{k, static_cast<bulk::Column>(f)};
        }
    }
    return std::nullopt;
}

QString TRowView::ValueText(const QWidget* control) {
    if (const auto* spin = qobject_cast<const TSpinEdit*>(control)) {
        return spin->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->currentText();
    }
    return static_cast<const QLineEdit*>(control)->text();
}

void TRowView::SetValueText(QWidget* control, const QString& text) {
    if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
        spin->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    } else {
        static_cast<QLineEdit*>(control)->setText(text);
    }
}

void TRowView::ShowTextStart(QWidget* control) {
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

QString TRowView::NothingCopiedText() const {
    return model_.Kind() == 2 ? QStringLiteral("no ID3v1 record to copy")
                              : QStringLiteral("no ID3v2 tag to copy");
}

void TRowView::PaintField(int k, bulk::Column column, QWidget* control) const {
    const unsigned marks = model_.Marks(k, column);
    QString hints = Hints(marks, chosen_.ReadPage().Name());
    if (model_.NothingCopied(k)) {
        hints = hints.isEmpty() ? NothingCopiedText() : NothingCopiedText() + u'\n' + hints;
    }
    // A genre too long for its box, even in a narrower font, shows whole here.
    if (column == bulk::Column::Genre && !FitGenreText(k)) {
        hints = hints.isEmpty() ? ValueText(control) : ValueText(control) + u'\n' + hints;
    }
    if (control->toolTip() != hints) {
        control->setToolTip(hints);
    }
    const bool warn =
        (marks & (rows::kNotStorable | rows::kOutOfRange | rows::kNameNotDecoded)) != 0;
    const QColor plain = (marks & rows::kLegacyCodePage) != 0
                             ? colours::kNavy
                             : QApplication::palette().color(QPalette::Text);
    colours::SetColour(control, QPalette::Text, warn ? colours::kMaroon : plain);
}

void TRowView::PaintRow(int k) const {
    const QColor base =
        QApplication::palette().color(model_.Untagged(k) ? QPalette::Button : QPalette::Base);
    const std::vector<QWidget*> controls = ValueControls(k);
    for (size_t f = 0; f < controls.size(); ++f) {
        PaintField(k, static_cast<bulk::Column>(f), controls[f]);
        colours::SetColour(controls[f], QPalette::Base, base);
    }
    auto* label = static_cast<TFileLabel*>(FileLabel(k));
    label->setModified(model_.Unsaved(k));
    label->setProblem(model_.Problem(k));
}

bool TRowView::FitGenreText(int k) const {
    QComboBox* genre = GenreEdit(k);
    const QString text = genre->currentText();
    const int room = GenreTextRoom(genre);
    const QFont font = fonts::FittedFont(genre->font(), text, room);
    if (genre->lineEdit()->font() != font) {
        genre->lineEdit()->setFont(font);
    }
    return QFontMetrics(font).horizontalAdvance(text) <= room;
}

bool TRowView::KeepsStoredValue(const QWidget* control) const {
    const auto field = RowFieldOf(control);
    return field && model_.Marked(field->first, field->second, rows::kKeepsStored);
}

bool TRowView::NotStorable(const QWidget* control) const {
    const auto field = RowFieldOf(control);
    return field && (model_.Marks(field->first, field->second) &
                     (rows::kNotStorable | rows::kOutOfRange)) != 0;
}
