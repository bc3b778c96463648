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
    int WrittenVersion(int k) const override;
    QWidget* FileLabel(int k) override;
    void RowOfArea(const QWidget* area, std::function<std::optional<int>()> row) override;
    void ShowRowMarks(int k) override;

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
    void WhenKindShown(std::function<void()> notice) override;
    void WhenRowChanged(std::function<void(int k)> notice) override;
    void WhenFieldTyped(std::function<void(int k, bulk::Column column)> notice) override;
    void RowsRestored() override;
    void WhenPicturesChanged(
        std::function<void(std::optional<int> k, bool keepShown)> notice) override;

  private:
    TForm1& form_;
};
