// The notices to the parts, given in the order the parts asked for them.
#include "editor/window/page_notices.h"

void TPageNotices::NoticePageShown() const {
    for (const auto& notice : pageShown_) {
        notice();
    }
}

void TPageNotices::NoticeKindShown() const {
    for (const auto& notice : kindShown_) {
        notice();
    }
}

void TPageNotices::NoticeRowChanged(int k) const {
    for (const auto& notice : rowChanged_) {
        notice(k);
    }
}

void TPageNotices::NoticeFieldTyped(int k, bulk::Column column) const {
    for (const auto& notice : fieldTyped_) {
        notice(k, column);
    }
}

void TPageNotices::NoticePicturesChanged(std::optional<int> k, bool keepShown) const {
    for (const auto& notice : picturesChanged_) {
        notice(k, keepShown);
    }
}

bool TPageNotices::AreaHolds(const QWidget* focused, std::optional<int>& row) const {
    for (const auto& [area, rowOf] : areas_) {
        if (area->isAncestorOf(focused)) {
            row = rowOf();
            return true;
        }
    }
    return false;
}
