// The window's own colours, shared by the main window, the dialogs and the
// drawn pictures. The row colours come from the palette, not from here.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace colours {

// The windows' background.
inline constexpr QColor kPaleGreen(0xC0, 0xDC, 0xC0);
// The button box, and the frame and waves of the logo.
inline constexpr QColor kButtonBoxGreen(0x8D, 0xC0, 0x8D);
// The logo's texts and the green glyphs.
inline constexpr QColor kLogoGreen(0x00, 0x80, 0x40);
// The empty-folder label, the read-only list and the stop glyph.
inline constexpr QColor kMaroon(0x80, 0x00, 0x00);
// Text read with a legacy code page: stored bytes that are not Unicode yet.
inline constexpr QColor kNavy(0x00, 0x00, 0x80);

// Sets one role of the widget's palette, keeping the others.
void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// Paints the widget's whole background in the colour.
void FillBackground(QWidget* widget, const QColor& colour);

}  // namespace colours
