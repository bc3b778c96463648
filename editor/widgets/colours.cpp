// Setting the window's colours on widgets.
#include "editor/widgets/colours.h"

#include <QWidget>

namespace colours {

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    // A new palette re-polishes the widget: costly for the 280 fields of a page.
    if (widget->palette().color(role) == colour) {
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void FillBackground(QWidget* widget, const QColor& colour) {
    SetColour(widget, QPalette::Window, colour);
    widget->setAutoFillBackground(true);
}

}  // namespace colours
