// Marks on a row's value controls, shown as tooltip and text colour: a stored
// ID3v2 value that could not be shown in full (kept unless edited), a value
// that an ID3v1 record cannot hold, a year or track outside its range, a name
// that was not valid UTF-8.
#include <QApplication>
#include <QStringList>
#include <QVariant>

#include "editor/colours.h"
#include "editor/form1.h"
#include "editor/record_fit.h"
#include "editor/tag_values.h"

namespace {

const char* const kKeepsStoredValue = "keepsStoredValue";
const char* const kNotStorable = "notStorable";
const char* const kOutOfRange = "outOfRange";
const char* const kNameNotDecoded = "nameNotDecoded";

bool Marked(const QWidget* control, const char* mark) {
    return control->property(mark).toBool();
}

// Shows the control's marks; nothing is done when the mark stands as asked.
void SetMark(QWidget* control, const char* mark, bool on) {
    if (Marked(control, mark) == on) {
        return;
    }
    control->setProperty(mark, on);
    QStringList hints;
    if (Marked(control, kKeepsStoredValue)) {
        hints << QStringLiteral(
            "The stored value could not be shown in full. Saving keeps it as stored unless you "
            "edit this field.");
    }
    if (Marked(control, kNotStorable)) {
        hints << QStringLiteral(
            "An ID3v1 tag cannot hold this value. Saving asks what to store instead.");
    }
    if (Marked(control, kOutOfRange)) {
        hints << QStringLiteral(
            "A year is 1 to 9999, a track 1 to 999 (255 in an ID3v1 tag), or empty. Saving "
            "refuses this value until it is mended.");
    }
    if (Marked(control, kNameNotDecoded)) {
        hints << QStringLiteral("Part of the name is not UTF-8 and shows as \uFFFD.");
    }
    control->setToolTip(hints.join(QLatin1Char('\n')));
    const bool warn = Marked(control, kNotStorable) || Marked(control, kOutOfRange) ||
                      Marked(control, kNameNotDecoded);
    colours::SetColour(control, QPalette::Text,
                       warn ? colours::kMaroon : QApplication::palette().color(QPalette::Text));
}

}  // namespace

bool TForm1::KeepsStoredValue(const QWidget* control) {
    return Marked(control, kKeepsStoredValue);
}

void TForm1::SetKeepsStoredValue(QWidget* control, bool keep) {
    SetMark(control, kKeepsStoredValue, keep);
}

bool TForm1::NotStorable(const QWidget* control) {
    return Marked(control, kNotStorable) || Marked(control, kOutOfRange);
}

void TForm1::CheckStorable(QWidget* control, bulk::Column column) const {
    const std::string text = ValueText(control).toStdString();
    if (column == bulk::Column::Year || column == bulk::Column::Track) {
        // A stored value that could not be shown in full is kept, not written.
        const int maximum = TagKind == 1 ? tag_values::kMaxRecordTrack : tag_values::kMaxTrack;
        const bool valid = column == bulk::Column::Year ? tag_values::YearValid(text)
                                                        : tag_values::TrackValid(text, maximum);
        SetMark(control, kOutOfRange, !valid && !KeepsStoredValue(control));
        return;
    }
    SetMark(control, kNotStorable, TagKind == 1 && !record_fit::Fits(column, ValueText(control)));
}

void TForm1::SetNameNotDecoded(QWidget* control, bool on) {
    SetMark(control, kNameNotDecoded, on);
}
