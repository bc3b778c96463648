// What the window tells the parts that listen: the page shown, the kind the
// rows edit, a row changed, a field typed in, pictures the window set; and the
// areas of the parts whose focus stands for a row. The window fires the
// notices; the page hands the parts' wishes to listen in.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "editor/model/bulk_logic.h"

class TPageNotices {
  public:
    void WhenPageShown(std::function<void()> notice) { pageShown_.push_back(std::move(notice)); }
    void WhenKindShown(std::function<void()> notice) { kindShown_.push_back(std::move(notice)); }
    void WhenRowChanged(std::function<void(int k)> notice) {
        rowChanged_.push_back(std::move(notice));
    }
    void WhenFieldTyped(std::function<void(int k, bulk::Column column)> notice) {
        fieldTyped_.push_back(std::move(notice));
    }
    void WhenPicturesChanged(std::function<void(std::optional<int> k, bool keepShown)> notice) {
        picturesChanged_.push_back(std::move(notice));
    }
    void RowOfArea(const QWidget* area, std::function<std::optional<int>()> row) {
        areas_.emplace_back(area, std::move(row));
    }

    void NoticePageShown() const;
    void NoticeKindShown() const;
    void NoticeRowChanged(int k) const;
    void NoticeFieldTyped(int k, bulk::Column column) const;
    void NoticePicturesChanged(std::optional<int> k, bool keepShown) const;
    // True when `focused` is in a part's area; `row` is then the row it names.
    bool AreaHolds(const QWidget* focused, std::optional<int>& row) const;

  private:
    std::vector<std::function<void()>> pageShown_;
    std::vector<std::function<void()>> kindShown_;
    std::vector<std::function<void(int)>> rowChanged_;
    std::vector<std::function<void(int, bulk::Column)>> fieldTyped_;
    std::vector<std::function<void(std::optional<int>, bool)>> picturesChanged_;
    std::vector<std::pair<const QWidget*, std::function<std::optional<int>()>>> areas_;
};
