// The program's own pictures, drawn with QPainter: the logo behind the title
// labels, the window icon and the small glyphs of the flat buttons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace glyphs {

// The logo picture (190 x 89 in the main window).
QPixmap Logo(const QSize& size);
// The logo with a note and the program's name drawn in: the about box shows it
// alone, without the main window's labels over it.
QPixmap NamedLogo(const QSize& size, const QString& name);
QIcon WindowIcon();
QIcon Play();
QIcon Stop();
QIcon PreviousPage();
QIcon NextPage();

}  // namespace glyphs
