// Column placement by window width.
#include "editor/model/column_layout.h"

#include <algorithm>

namespace column_layout {

namespace {

constexpr int kFirstLeft = 10;
constexpr int kGap = 2;
constexpr int kRightMargin = 4;
// The genre column takes 16 of the drawn margin of 20: common names such as
// "Heavy Metal" then show whole beside the box's arrow.
constexpr std::array<int, kColumnCount> kDrawnWidths = {88, 108, 120, 120, 50, 120, 50, 96};
constexpr std::array<Column, 6> kGrowing = {kFile, kTitle, kArtist, kAlbum, kComment, kGenre};

}  // namespace

Columns ForWindowWidth(int windowWidth) {
    std::array<int, kColumnCount> widths = kDrawnWidths;
    const int extra = std::max(0, windowWidth - kNormalWindowWidth);
    const int share = extra / static_cast<int>(kGrowing.size());
    int rest = extra % static_cast<int>(kGrowing.size());
    for (const Column column : kGrowing) {
        widths[column] += share + (rest > 0 ? 1 : 0);
        rest = std::max(rest - 1, 0);
    }
    Columns columns{};
    int left = kFirstLeft;
    for (int column = 0; column < kColumnCount; ++column) {
        columns.spans[column] = {left, widths[column]};
        left += widths[column] + kGap;
    }
    columns.contentWidth = columns.spans[kGenre].right() + kRightMargin;
    return columns;
}

}  // namespace column_layout
