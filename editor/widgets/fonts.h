// The desktop's fonts for the two roles the windows name: the general
// sans-serif font and a serif one. The layouts were drawn for fonts that Linux
// does not have ("MS Sans Serif", "MS Serif"); they ask for a role instead.
#pragma once

#include <QFont>

namespace fonts {

enum class Role { Sans, Serif };

// The role's font at a size in pixels.
QFont PixelFont(Role role, int pixels);
// The role's font at a size in points.
QFont PointFont(Role role, int points);
// The font as it needs to be for the text to fit in `room` pixels: itself
// when the text fits, else condensed down to three quarters, then a point
// smaller condensed down to five eighths; the narrowest of these when even
// that is too wide.
QFont FittedFont(const QFont& font, const QString& text, int room);

}  // namespace fonts
