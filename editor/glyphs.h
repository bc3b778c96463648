// The program's own pictures, drawn with QPainter: the logo behind the title
// labels, the window icon and the small glyphs of the flat buttons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace glyphs {

// The logo picture (190 x 89 in the main window).
QPixmap Logo(const QSize& size);
QIcon WindowIcon();
QIcon Play();
QIcon Stop();
QIcon PreviousPage();
QIcon NextPage();

}  // namespace glyphs
