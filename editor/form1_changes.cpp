// Which values of a row the user changed: every value control keeps the text
// it showed when the page was built, or its row was last saved. A save writes
// only rows, and within them only values, that differ from it.
#include <QComboBox>
#include <QLineEdit>
#include <QVariant>

#include "editor/form1.h"
#include "editor/spin_edit.h"

namespace {

const char* const kShownValue = "shownValue";

}  // namespace

QString TForm1::ValueText(const QWidget* control) {
    if (const auto* spin = qobject_cast<const TSpinEdit*>(control)) {
        return spin->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->currentText();
    }
    return static_cast<const QLineEdit*>(control)->text();
}

void TForm1::RememberShownValues(int k) {
    for (QWidget* control : RowValueControls(k)) {
        control->setProperty(kShownValue, ValueText(control));
    }
}

void TForm1::ForgetShownValues(int k) {
    for (QWidget* control : RowValueControls(k)) {
        control->setProperty(kShownValue, QVariant());
    }
}

unsigned TForm1::ChangedFields(int k) const {
    const std::vector<QWidget*> controls = RowValueControls(k);
    unsigned changed = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
        const QVariant shown = controls[i]->property(kShownValue);
        if (!shown.isValid() || shown.toString() != ValueText(controls[i])) {
            changed |= kV2Fields[i];
        }
    }
    return changed;
}
