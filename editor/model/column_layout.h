// Where the columns of the rows stand for a given window width. At the
// window's normal width they stand as drawn (file name from 10, title from 100,
// 2 pixels between columns); a wider window shares its extra width among the
// file-name, title, artist, album, comment and genre columns, and the numeric
// columns keep their widths.
#pragma once

#include <array>

namespace column_layout {

enum Column { kFile, kTitle, kArtist, kAlbum, kYear, kComment, kTrack, kGenre, kColumnCount };

// The window width that the drawn layout fits.
constexpr int kNormalWindowWidth = 806;

struct Span {
    int left;
    int width;
    int right() const { return left + width; }
};

struct Columns {
    std::array<Span, kColumnCount> spans;
    // Width of the rows area's content: the last column and a margin of 4.
    int contentWidth;
};

// The columns in a window of the given width; below the normal width the
// drawn layout, which the rows area then scrolls.
Columns ForWindowWidth(int windowWidth);

}  // namespace column_layout
