// The main window: the command panel, the folder tree and the page of 40 rows.
// What each row holds (values loaded and shown, marks, untagged, unsaved) lives
// in the row model (editor/model/row_model.h); the tag <-> row mapping in the
// row codec (editor/model/row_codec.h). One class, split by concern into
// several .cpp files in editor/window/:
//   form1.cpp               layout, start state, caption, status bar, logo and about box
//   form1_row_controls.cpp  creating the 40 rows' controls, finding them by name
//   form1_folders.cpp       folder tree and combo box, listing the folder, the start folder
//   form1_pages.cpp         the page builder, the page's modified flag, paging, focused row
//   form1_rows.cpp          filling rows from tags, writing rows, kind switch and copy,
//                           the check of the values a save writes
//   form1_saving.cpp        Save Row, Save All Rows, the close query
//   form1_changes.cpp       the window's side of the row model: rows loaded, set, saved
//   form1_marks.cpp         how the model's flags show: tooltips, colours, file labels
//   form1_bulk.cpp          column boxes, folder box, Classical, Names, Erase, Revert
//   form1_scrolling.cpp     wheel and drag scrolling, tab order
//   form1_columns.cpp       the columns' widths following the window's width
//   form1_playback.cpp      playing the focused row's file
//   form1_row_keys.cpp      Up and Down between the rows' text fields
//   form1_parts.cpp         the parts (commands/, cover/, preferences/, naming/, history/)
//                           wired to the page
// A part holds a capability in a room of its own and reaches the page only
// through TPage (editor/page/page.h), answered by TWindowPage.
// The other rooms of editor/: model/ (plain logic, no widgets), widgets/,
// dialogs/ and startup/.
// Controls carry their names as Qt object names; a row's controls are found by
// name (prefix plus row number), never kept in an array.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/commands/command_menu.h"
#include "editor/cover/cover_part.h"
#include "editor/history/history_part.h"
#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "editor/naming/naming_part.h"
#include "editor/preferences/preferences_part.h"
#include "editor/window/window_page.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QAction;
class QKeySequence;
class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QStringListModel;
class QTimer;
class QToolButton;
class TAboutDlg;
class TDialogs;
class TForm2;
class TGenreDropDown;
class TShellTreeView;
class TSpinEdit;
class Tid3v2tag;
namespace bulk {
enum class Column;
}
namespace platform {
class MediaDevice;
}

class TForm1 : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 20;

    TForm1(Tid3v2tag& tag, TDialogs& dialogs, platform::MediaDevice& media,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs created after the main window (start-up order).
    void SetForm2(TForm2* form2) { Form2 = form2; }
    void SetAboutDlg(TAboutDlg* about) { AboutDlg = about; }

    // Selects a folder as a click in the folder tree does (the save question,
    // listing, page 1). Returns false when the user kept the old folder.
    bool SelectFolder(const QString& path);
    // Opens the folder at start: the one named on the command line (a named
    // file's folder), else the folder of the last run, else the home folder.
    // A named folder or file that does not exist is reported in a box; a named
    // file gets the focus in its row.
    void OpenStartFolder(const QString& named);

    // --- row controls, found by name ---
    QLabel* FileLabel(int k) const;
    QLineEdit* TitleEdit(int k) const;
    QLineEdit* ArtistEdit(int k) const;
    QLineEdit* AlbumEdit(int k) const;
    TSpinEdit* YearEdit(int k) const;
    QLineEdit* CommentEdit(int k) const;
    TSpinEdit* TrackEdit(int k) const;
    QComboBox* GenreEdit(int k) const;
    // The seven value controls of row k, in column order.
    std::vector<QWidget*> RowValueControls(int k) const;
    // Number of rows the current page shows.
    int RowsInScope() const;
    // Full path of file index f of FileList.
    std::string FilePath(int fileIndex) const;
    // True when the control shows a stored ID3v2 value that could not be shown
    // in full and has not been edited since: saving keeps that frame as stored.
    bool KeepsStoredValue(const QWidget* control) const;
    // True when the control shows a year or track outside its range, or, while
    // the rows edit ID3v1, a value that a record cannot hold.
    bool NotStorable(const QWidget* control) const;
    // The text a value control shows.
    static QString ValueText(const QWidget* control);
    static void SetValueText(QWidget* control, const QString& text);
    // What the page's rows hold, apart from the widgets that show it.
    const rows::TRowModel& RowModel() const { return rowModel_; }
    // The values of row k that differ from what it showed when the page was
    // built or the row was last saved (bits of TV2Field); 0 for an unchanged row.
    unsigned ChangedFields(int k) const;

    // Where LoadV2Row takes a row's values from; empty means the file's ID3v2
    // tag. Benchmarks set a fixed source to measure the widgets alone.
    using TV2RowSource = std::function<Tv2TAGInfo(const std::string& path)>;
    void SetV2RowSource(TV2RowSource source) { V2RowSource = std::move(source); }

    // --- main window and start-up ---
    void RestoreCaption();
    QString TitleText() const { return titleText_; }

    // --- folder listing and pages ---
    void Button2Click();  // the page builder
    void TietojaModifoitu();
    void VasemmalleClick();
    void OikealleClick();
    std::optional<int> FindFocusedRow() const;
    // Row k holds changes not saved since the page was built; its file label shows it.
    bool RowModified(int k) const;
    // Why row k's file could not be read when the page was built; empty when it was.
    QString RowProblem(int k) const;
    // Shows a line of text in the status bar under the rows.
    void ShowStatus(const QString& text);
    bool ShellTreeView1Changing();  // false refuses the change
    void ShellTreeView1Change();
    void ShellTreeView1Click();
    void ShellComboBox1Click();

    // --- values between rows and tags ---
    Tv2TAGInfo LoadV2Row(const std::string& path);
    // Returns true when the file was not found.
    bool FillRow(int k, const std::string& path);
    int WriteV2Row(const std::string& path, int k);
    void SpeedButton7Click();  // mode switch
    void SpeedButton8Click();  // copy tags to the other kind
    bool RowUntagged(int k) const;
    void SetRowLimits(int k, int kind);

    // --- saving ---
    void SpeedButton1Click();  // Save Row
    // Save All Rows; false when a row it was to write could not be written or
    // the user cancelled a question on the way, so a leaving command stays.
    bool SpeedButton2Click();
    bool FormCloseQuery();  // true: the window may close
    // Run before a save writes the rows: refuses, with a message, when a
    // changed year or track is outside its range; in ID3v1 mode asks what to
    // store of changed values a record cannot hold and sets the rows to it.
    // False when nothing is to be written.
    bool SettleValuesToSave(const std::vector<int>& rows);

    // --- bulk editing ---
    void ColumnBoxClick(QCheckBox* box);  // CheckBox4Click .. CheckBox10Click
    void ShiftiMouseDown(Qt::KeyboardModifiers modifiers);
    void CheckBox1Click();
    void CheckBox1MouseDown(Qt::KeyboardModifiers modifiers);
    void SpeedButton5Click();  // Classical
    void SpeedButton6Click();  // Names
    void SpeedButton3Click();  // Erase All Rows
    void SpeedButton4Click();  // Revert to Saved

    // --- scrolling and tab order ---
    void ScrollBox1MouseWheelDown();
    void ScrollBox1MouseWheelUp();
    void ScrollBox1MouseDown();
    void ScrollBox1MouseMove(int x, int y);
    void ScrollBox1MouseUp();
    void CheckBox3Click();

    // --- playback ---
    void PlayButtonClick();
    void StartPlayback(int fileIndex);
    void StopPlayback();
    void Timer1Timer();
    int64_t SuspendPlayback();
    void ResumePlayback(int64_t position);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Tests read the window state, and set it up for a case, through this
    // accessor (tests/helpers/window_fixture.h); they find controls by name.
    friend struct TForm1TestAccess;

    // The first row's top in the rows area.
    static constexpr int kFirstRowTop = 10;

    // --- window state ---
    int TagKind = 1;  // 1 ID3v1.1, 2 ID3v2
    std::string FolderPath;
    std::vector<std::string> FileList;
    int PageIndex = 0;
    bool PageModified = false;
    bool ShiftClick = false;
    bool DragScrolling = false;
    bool Playing = false;
    std::string PlayingPath;
    int MarqueeOffset = 0;
    TV2RowSource V2RowSource;

    // --- fixed controls ---
    QFrame* Panel2 = nullptr;
    QFrame* Panel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // Save Row
    QToolButton* SpeedButton2 = nullptr;  // Save All Rows
    QToolButton* SpeedButton3 = nullptr;  // Erase All Rows
    QToolButton* SpeedButton4 = nullptr;  // Revert to Saved
    QToolButton* SpeedButton5 = nullptr;  // Classical
    QToolButton* SpeedButton6 = nullptr;  // Names
    QToolButton* SpeedButton7 = nullptr;  // mode switch
    QToolButton* SpeedButton8 = nullptr;  // copy tags
    QLabel* Label9 = nullptr;             // page label
    QToolButton* Vasemmalle = nullptr;    // previous page
    QToolButton* Oikealle = nullptr;      // next page
    QPushButton* Button2 = nullptr;       // hidden: builds the page
    QComboBox* ShellComboBox1 = nullptr;
    TShellTreeView* ShellTreeView1 = nullptr;
    QLabel* Image1 = nullptr;        // logo
    QLabel* Label1 = nullptr;        // tag kind
    QLabel* Label3 = nullptr;        // version
    QLabel* Label4 = nullptr;        // program name
    QLabel* Label11 = nullptr;       // credits
    QCheckBox* CheckBox1 = nullptr;  // folder name for albums
    QCheckBox* CheckBox3 = nullptr;  // tab order
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QToolButton* PlayButton = nullptr;
    QLabel* ImagePlay = nullptr;  // hidden: the button's play picture
    QLabel* ImageStop = nullptr;  // hidden: the button's stop picture
    QTimer* Timer1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* RowsArea = nullptr;  // the scroll area's content: rows and Label8
    QLabel* Label8 = nullptr;     // "This folder does not contain any MP3 files."
    QStatusBar* StatusBar1 = nullptr;

    void FormCreate();
    void CreateLayout();
    void CreateRows();
    void ListFolder();
    void ShowAbout();
    // Each concern connects its own controls' signals.
    void ConnectFolders();
    void ConnectPages();
    void ConnectRows();
    void ConnectSaving();
    void ConnectBulk();
    void ConnectScrolling();
    void ConnectPlayback();
    // Runs a command that changes rows as one undo step named `what` (form1_parts.cpp).
    void RunAsOneStep(const QString& what, const std::function<void()>& change);
    // A save question before leaving the page or the folder, asked only while
    // the page is modified; Yes saves the page. False when the user chose to stay.
    bool AskToLeave(const QString& question);
    bool AskToLeavePage();
    void SyncFolderCombo(const QString& path);
    // Shows the page of the listed file with that name and focuses its title.
    void FocusFileRow(const std::string& name);
    void ShellComboBox1Chosen(int index);
    void ConnectValueControl(QWidget* control, bulk::Column column, int k);
    // Scrolls the field's text to its beginning.
    static void ShowTextStart(QWidget* control);
    void PlaceColumns();
    // Fits the font of row k's genre text to its box; false when the text
    // still does not show whole.
    bool FitGenreText(int k);
    // --- the row model and how the widgets show it ---
    // Row k shows a row read from its file; the model takes it as loaded.
    void ShowLoadedRow(int k, const row_codec::TLoadedRow& row);
    // A command sets a value: the model first, then the field shows it.
    void SetValue(int k, bulk::Column column, const QString& text, bool nameNotDecoded = false);
    void MarkRowSaved(int k);
    // After row k changed: its label's marker and the page's modified flag.
    void RowChanged(int k);
    // The save buttons follow the page: usable while a row is to be written.
    void ShowSaveButtons();
    // Shows the marks of row k's value in `column` on its control.
    void PaintField(int k, bulk::Column column, QWidget* control);
    void PaintRow(int k);
    // Why a row the copy found nothing in shows the new kind's values.
    QString NothingCopiedText() const;
    // The row and column of a value control, by its name.
    std::optional<std::pair<int, bulk::Column>> RowFieldOf(const QWidget* control) const;
    void PlaceCredits();
    void ShowKindCaptions();
    void FitKindLabel();
    // While the rows edit ID3v2, the kind label names the version a save of
    // row versionRow_ writes: the row the focus was last in, set by the focus
    // and the page build; the version of new tags when there is none.
    void ShowWrittenVersion();
    // The mode switch and the kind label, as first shown, name the version written.
    void NameWrittenVersion();
    std::optional<int> versionRow_;
    // The column that box CheckBox4..CheckBox10 stands above; none for other objects.
    std::optional<bulk::Column> ColumnOf(const QObject* box) const;
    // Writes row k into the file at path in the current kind; empty when
    // written, else why not.
    QString WriteRow(int k, const std::string& path);
    // Shows why a save of the file failed and keeps the reason for WriteRow;
    // `error` is the errno value behind it when known.
    void ReportSaveFailure(const std::string& path, uint16_t result, int error = 0);
    // Rebuilds the page from the files, but the rows listed keep the values
    // shown and stay unsaved. Their failures were told, as were the files the
    // page could not read before, so these add no second box.
    void RebuildKeeping(const std::vector<int>& rows);
    // Reads the page again; the fields changed in unsaved rows keep their values.
    void RereadKeepingEdits();
    void WriteWhileSuspended(const std::function<void()>& writes);
    // Event hooks for the filter; true when the event was consumed.
    bool FilterScrollingEvent(QObject* watched, QEvent* event);
    bool FilterBulkEvent(QObject* watched, QEvent* event);
    bool FilterRowKeyEvent(QObject* watched, QEvent* event);

    Tid3v2tag& tag_;
    TDialogs& dialogs_;
    platform::MediaDevice& media_;
    TForm2* Form2 = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    QString titleText_;
    QString lastSaveFailure_;        // the reason of the last failed ID3v2 save
    std::vector<int> problemsTold_;  // rows the page builder names in no box
    // Set by a folder change, consumed by the click or key move that follows it.
    bool folderJustChanged_ = false;
    rows::TRowModel rowModel_;
    QStringListModel* genreModel_ = nullptr;   // the sorted genre names, shared by the rows
    TGenreDropDown* genreDropDown_ = nullptr;  // the list that opens while a genre is typed

    // --- form1_parts.cpp: the parts, which reach the page through page_ ---
    friend class TWindowPage;
    void CreateParts();
    // The command menu: made before the parts and the window's own commands.
    void CreateCommandMenu();
    // Made with the menu, before the other commands: its commands come first.
    void CreateCoverPart();
    TWindowPage page_{*this};
    // The menu of the commands beyond the described buttons, made first.
    std::unique_ptr<TCommandMenu> commands_;
    std::unique_ptr<TCoverPart> cover_;
    std::unique_ptr<TNamingPart> naming_;
    // Undo and redo; it watches the rows' fields, so it goes first when the
    // window goes: the focus changes of the dying fields reach no step.
    std::unique_ptr<THistoryPart> history_;
    // Made after the cover part, so its commands follow the cover's. It owns
    // the preferences; the window reads those in force through chosen_.
    void CreatePreferencesPart();
    std::unique_ptr<TPreferencesPart> preferences_;
    const TChosenPreferences* chosen_ = nullptr;
};
