// The window's side of TPage: what the parts reach of the page, answered from
// the main window's state and commands. Owned by the window, which also fires
// the notices through it.
#pragma once

#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "editor/page/page.h"

class TForm1;

class TWindowPage final : public TPage {
  public:
    explicit TWindowPage(TForm1& form) : form_(form) {}

    const rows::TRowModel& Model() const override;
    rows::TRowModel& Model() override;
    void RowChanged(int k) override;
    void SetValue(int k, bulk::Column column, const QString& text, bool nameNotDecoded) override;
    void ShowRestoredRow(int k) override;
    int RowsInScope() const override;
    std::optional<int> FocusedRow() const override;
    bool Modified() const override;
    int Kind() const override;
    QWidget* FileLabel(int k) override;
    void RowOfArea(const QWidget* area, std::function<std::optional<int>()> row) override;
    // True when `focused` is in a part's area; `row` is then the row it names.
    void ShowRowMarks(int k) override;
    bool AreaHolds(const QWidget* focused, std::optional<int>& row) const;

    std::string Folder() const override;
    int FileCount() const override;
    int PageIndex() const override;
    std::string RowFileName(int k) const override;
    std::string RowFilePath(int k) const override;
    bool SaveAll() override;
    void ReleaseFiles() override;
    void Relist(const std::string& focusName) override;
    void RereadKeepingEdits() override;
    void WithPlaybackSuspended(const std::function<void()>& change) override;

    QWidget* Window() override;
    TDialogs& Dialogs() override;
    void ShowStatus(const QString& text) override;
    void WrittenVersionChanged() override;
    void EndFieldEdit() override;
    void RunAsOneStep(const QString& what, const std::function<void()>& change) override;
    QAction* AddCommand(const QString& caption, const QKeySequence& keys,
                        const std::function<void()>& run) override;
    void AddSeparator() override;
    QAction* OnlyInId3v2(QAction* command) override;

    void WhenPageShown(std::function<void()> notice) override;
    void WhenRowChanged(std::function<void(int k)> notice) override;
    void WhenFieldTyped(std::function<void(int k, bulk::Column column)> notice) override;
    void RowsRestored() override;
    void WhenPicturesChanged(
        std::function<void(std::optional<int> k, bool keepShown)> notice) override;
    // The window tells the parts that listen.
    void NoticePageShown() const;
    void NoticeRowChanged(int k) const;
    void NoticeFieldTyped(int k, bulk::Column column) const;
    void NoticePicturesChanged(std::optional<int> k, bool keepShown) const;
    // The rows edit another kind: the ID3v2-only commands follow it.
    void NoticeKindShown() const;

  private:
    TForm1& form_;
    std::vector<std::function<void()>> pageShown_;
    std::vector<std::function<void(int)>> rowChanged_;
    std::vector<std::function<void(int, bulk::Column)>> fieldTyped_;
    std::vector<std::function<void(std::optional<int>, bool)>> picturesChanged_;
    std::vector<std::pair<const QWidget*, std::function<std::optional<int>()>>> areas_;
};
