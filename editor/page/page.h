// What a part of the window may reach of the page it works on, and nothing
// more: the rows as the model holds them, the files behind them, the window's
// dialogs, status bar and command menu, undo steps, and notices when the page
// is shown again, a row changes or the window sets pictures. Parts include
// this header, never the window's; the window hands them its implementation,
// and tests a fake.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QKeySequence;
class QWidget;
class TDialogs;
namespace bulk {
enum class Column;
}
namespace rows {
class TRowModel;
}

class TPage {
  public:
    virtual ~TPage() = default;

    // --- the rows ---
    // What the page's rows hold. A part that changes a row through the model
    // tells it with RowChanged, so the row's marker and the page follow.
    virtual const rows::TRowModel& Model() const = 0;
    virtual rows::TRowModel& Model() = 0;
    virtual void RowChanged(int k) = 0;
    // Sets a value of row k as a command does: the model first, then the
    // field shows it. nameNotDecoded marks a value taken from a file name
    // that was not UTF-8.
    virtual void SetValue(int k, bulk::Column column, const QString& text,
                          bool nameNotDecoded = false) = 0;
    // Row k's fields, marks and marker show what an undo or redo restored of
    // it in the model.
    virtual void ShowRestoredRow(int k) = 0;
    // Number of rows the page shows, and the row the focus is in.
    virtual int RowsInScope() const = 0;
    virtual std::optional<int> FocusedRow() const = 0;
    // True while a row of the page holds unsaved changes.
    virtual bool Modified() const = 0;
    // The tag kind the rows edit: 1 ID3v1.1, 2 ID3v2.
    virtual int Kind() const = 0;
    // The ID3v2 version (3 or 4) a save of row k writes.
    virtual int WrittenVersion(int k) const = 0;
    // Row k's file label, where files and pictures are dropped on the row.
    virtual QWidget* FileLabel(int k) = 0;
    // The focus inside a part's `area` counts as being in the row that `row` names.
    virtual void RowOfArea(const QWidget* area, std::function<std::optional<int>()> row) = 0;
    // Row k's fields show again the marks the model holds for them.
    virtual void ShowRowMarks(int k) = 0;

    // --- the files ---
    // The folder listed, its number of MP3 files, and row k's file name and path.
    virtual std::string Folder() const = 0;
    virtual int FileCount() const = 0;
    // The page shown, counted from 0.
    virtual int PageIndex() const = 0;
    virtual std::string RowFileName(int k) const = 0;
    virtual std::string RowFilePath(int k) const = 0;
    // Save All Rows; false when a row could not be written or the user cancelled.
    virtual bool SaveAll() = 0;
    // Lets go of the files before they are moved: stops playback.
    virtual void ReleaseFiles() = 0;
    // Lists the folder again and shows the page holding the file named
    // `focusName`, its row focused; without such a file the page shown
    // before, or the last one when the folder now holds fewer files.
    virtual void Relist(const std::string& focusName) = 0;
    // Reads the page's files again; the fields changed in unsaved rows keep their values.
    virtual void RereadKeepingEdits() = 0;
    // Runs `change` on the files with playback paused, and resumes it after.
    virtual void WithPlaybackSuspended(const std::function<void()>& change) = 0;

    // --- the window ---
    // The parent of a part's dialogs, and the seam that shows them.
    virtual QWidget* Window() = 0;
    virtual TDialogs& Dialogs() = 0;
    virtual void ShowStatus(const QString& text) = 0;
    // The preferences changed the ID3v2 version new tags are written in, or
    // whether a save converts: the window's captions follow.
    virtual void WrittenVersionChanged() = 0;
    // The field edit in progress, if any, becomes an undo step of its own.
    virtual void EndFieldEdit() = 0;
    // Runs a change of rows as one undo step named `what`.
    virtual void RunAsOneStep(const QString& what, const std::function<void()>& change) = 0;
    // Adds a command to the window's command menu; its keys work anywhere in
    // the window. A separator starts a part's group of commands.
    virtual QAction* AddCommand(const QString& caption, const QKeySequence& keys,
                                const std::function<void()>& run) = 0;
    virtual void AddSeparator() = 0;
    // Marks a command that acts on ID3v2 tags only: it is usable, by menu and
    // keys, only while the rows edit ID3v2. Returns the command.
    virtual QAction* OnlyInId3v2(QAction* command) = 0;

    // --- notices ---
    // Run after every page build or kind switch, and after each change of a row.
    virtual void WhenPageShown(std::function<void()> notice) = 0;
    // Run when the rows come to edit another kind, and once the window stands.
    virtual void WhenKindShown(std::function<void()> notice) = 0;
    virtual void WhenRowChanged(std::function<void(int k)> notice) = 0;
    // Run when the user's typing in the field of row k's `column` is about to
    // change its value, before the model takes it.
    virtual void WhenFieldTyped(std::function<void(int k, bulk::Column column)> notice) = 0;
    // After an undo or redo restored rows: tells the parts that every row's
    // pictures may have changed.
    virtual void RowsRestored() = 0;
    // Run when the window itself set the pictures of rows: row k's after a
    // save (keepShown: the picture shown stays) or a re-read of the page, and
    // every row's (none) after an undo or redo.
    virtual void WhenPicturesChanged(
        std::function<void(std::optional<int> k, bool keepShown)> notice) = 0;
};
