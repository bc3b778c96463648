// What the parts reach of the page, answered by the main window.
#include "editor/window/window_page.h"

#include <QLabel>
#include <algorithm>

#include "editor/model/page_logic.h"
#include "editor/model/row_codec.h"
#include "editor/window/form1.h"
#include "editor/window/form1_parts.h"
#include "editor/window/row_view.h"

const rows::TRowModel& TWindowPage::Model() const {
    return form_.rowModel_;
}

rows::TRowModel& TWindowPage::Model() {
    return form_.rowModel_;
}

void TWindowPage::RowChanged(int k) {
    form_.RowChanged(k);
}

void TWindowPage::SetValue(int k, bulk::Column column, const QString& text, bool nameNotDecoded) {
    form_.SetValue(k, column, text, nameNotDecoded);
}

void TWindowPage::ShowRestoredRow(int k) {
    const std::vector<QWidget*> controls = form_.rowView_->ValueControls(k);
    const rows::TRowEdits edits = form_.rowModel_.Edits(k);
    for (size_t f = 0; f < controls.size(); ++f) {
        if (TRowView::ValueText(controls[f]) != edits.shown[f]) {
            TRowView::SetValueText(controls[f], edits.shown[f]);
        }
    }
    form_.rowView_->PaintRow(k);
    form_.RowChanged(k);
}

int TWindowPage::RowsInScope() const {
    return form_.RowsInScope();
}

std::optional<int> TWindowPage::FocusedRow() const {
    return form_.FindFocusedRow();
}

bool TWindowPage::Modified() const {
    return form_.PageModified;
}

int TWindowPage::Kind() const {
    return form_.TagKind;
}

int TWindowPage::WrittenVersion(int k) const {
    return row_codec::VersionWritten(form_.rowModel_.StoredVersion(k),
                                     form_.rowModel_.TargetVersion(k), form_.chosen_.V2Versions());
}

QWidget* TWindowPage::FileLabel(int k) {
    return form_.rowView_->FileLabel(k);
}

void TWindowPage::ShowRowMarks(int k) {
    form_.rowView_->PaintRow(k);
}

std::string TWindowPage::Folder() const {
    return form_.FolderPath;
}

int TWindowPage::FileCount() const {
    return static_cast<int>(form_.FileList.size());
}

int TWindowPage::PageIndex() const {
    return form_.PageIndex;
}

std::string TWindowPage::RowFileName(int k) const {
    return form_.FileList.at(page_logic::FileIndex(form_.PageIndex, k));
}

std::string TWindowPage::RowFilePath(int k) const {
    return form_.FilePath(page_logic::FileIndex(form_.PageIndex, k));
}

bool TWindowPage::SaveAll() {
    return form_.SpeedButton2Click();
}

void TWindowPage::ReleaseFiles() {
    if (form_.Playing) {
        form_.StopPlayback();
    }
}

void TWindowPage::Relist(const std::string& focusName) {
    form_.ListFolder();
    const std::vector<std::string>& files = form_.FileList;
    const int count = static_cast<int>(files.size());
    const auto found = std::find(files.begin(), files.end(), focusName);
    const int index = found != files.end() ? static_cast<int>(found - files.begin())
                                           : std::min(form_.PageIndex * page_logic::kRowsPerPage,
                                                      std::max(count - 1, 0));
    form_.PageIndex = index / page_logic::kRowsPerPage;
    form_.Button2Click();
    if (found != files.end()) {
        form_.FocusFileRow(focusName);
    }
}

void TWindowPage::RereadKeepingEdits() {
    form_.ReadPageKeepingEdits();
}

void TWindowPage::WithPlaybackSuspended(const std::function<void()>& change) {
    const int64_t position = form_.SuspendPlayback();
    change();
    form_.ResumePlayback(position);
}

QWidget* TWindowPage::Window() {
    return &form_;
}

TDialogs& TWindowPage::Dialogs() {
    return form_.dialogs_;
}

void TWindowPage::ShowStatus(const QString& text) {
    form_.ShowStatus(text);
}

void TWindowPage::WrittenVersionChanged() {
    form_.captions_->NameWrittenVersion(form_.TagKind, form_.RowsInScope());
}

void TWindowPage::EndFieldEdit() {
    form_.parts_->history->EndFieldEdit();
}

void TWindowPage::RunAsOneStep(const QString& what, const std::function<void()>& change) {
    form_.parts_->history->RunAsOneStep(what, change);
}

QAction* TWindowPage::AddCommand(const QString& caption, const QKeySequence& keys,
                                 const std::function<void()>& run) {
    return form_.parts_->commands->Add(caption, keys, run);
}

void TWindowPage::AddSeparator() {
    form_.parts_->commands->AddSeparator();
}

QAction* TWindowPage::OnlyInId3v2(QAction* command) {
    return form_.parts_->commands->OnlyInId3v2(command);
}

void TWindowPage::RowsRestored() {
    form_.notices_.NoticePicturesChanged(std::nullopt, false);
}

void TWindowPage::RowOfArea(const QWidget* area, std::function<std::optional<int>()> row) {
    form_.notices_.RowOfArea(area, std::move(row));
}

void TWindowPage::WhenPageShown(std::function<void()> notice) {
    form_.notices_.WhenPageShown(std::move(notice));
}

void TWindowPage::WhenKindShown(std::function<void()> notice) {
    form_.notices_.WhenKindShown(std::move(notice));
}

void TWindowPage::WhenRowChanged(std::function<void(int k)> notice) {
    form_.notices_.WhenRowChanged(std::move(notice));
}

void TWindowPage::WhenFieldTyped(std::function<void(int k, bulk::Column column)> notice) {
    form_.notices_.WhenFieldTyped(std::move(notice));
}

void TWindowPage::WhenPicturesChanged(
    std::function<void(std::optional<int> k, bool keepShown)> notice) {
    form_.notices_.WhenPicturesChanged(std::move(notice));
}
