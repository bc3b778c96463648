// How the row model's flags show on the widgets: a value's marks as tooltip
// and text colour, an untagged row in the button colour, an unsaved row and
// an unreadable file on its label. Colours and tooltips only show the flags.
#include <QApplication>
#include <QStringList>

#include "editor/widgets/colours.h"
#include "editor/widgets/file_label.h"
#include "editor/window/form1.h"

namespace {

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

}  // namespace

QString TForm1::NothingCopiedText() const {
    return TagKind == 2 ? QStringLiteral("no ID3v1 record to copy")
                        : QStringLiteral("no ID3v2 tag to copy");
}

void TForm1::PaintField(int k, bulk::Column column, QWidget* control) {
    const unsigned marks = rowModel_.Marks(k, column);
    QString hints = Hints(marks, chosen_->ReadPage().Name());
    if (rowModel_.NothingCopied(k)) {
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

void TForm1::PaintRow(int k) {
    const QColor base =
        QApplication::palette().color(rowModel_.Untagged(k) ? QPalette::Button : QPalette::Base);
    const std::vector<QWidget*> controls = RowValueControls(k);
    for (size_t f = 0; f < controls.size(); ++f) {
        PaintField(k, static_cast<bulk::Column>(f), controls[f]);
        colours::SetColour(controls[f], QPalette::Base, base);
    }
    auto* label = static_cast<TFileLabel*>(FileLabel(k));
    label->setModified(rowModel_.Unsaved(k));
    label->setProblem(rowModel_.Problem(k));
}

bool TForm1::KeepsStoredValue(const QWidget* control) const {
    const auto field = RowFieldOf(control);
    return field && rowModel_.Marked(field->first, field->second, rows::kKeepsStored);
}

bool TForm1::NotStorable(const QWidget* control) const {
    const auto field = RowFieldOf(control);
    return field && (rowModel_.Marks(field->first, field->second) &
                     (rows::kNotStorable | rows::kOutOfRange)) != 0;
}
