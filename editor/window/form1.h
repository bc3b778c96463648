// The main window: the command panel, the folder tree and the page of 40 rows,
// with their controls, handlers, captions and messages; one class in files by
// concern (form1_<concern>.cpp). The rows' state is the row model's, TRowView
// finds and paints their controls, and the parts reach the page through TPage.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/model/chosen_preferences.h"
#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "editor/window/kind_captions.h"
#include "editor/window/page_notices.h"
#include "editor/window/row_view.h"
#include "editor/window/row_writer.h"
#include "editor/window/window_page.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTimer;
class QToolButton;
class TAboutDlg;
class TDialogs;
class TForm2;
class TGenreDropDown;
class TShellTreeView;
class Tid3v2tag;
struct TForm1Parts;
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
    void SetForm2(TForm2* form2) { Form2 = form2; }
    void SetAboutDlg(TAboutDlg* about) { AboutDlg = about; }

    bool SelectFolder(const QString& path);      // as a click in the tree; false: the user stayed
    void OpenStartFolder(const QString& named);  // the named one, the last run's, or home
    const TRowView& Rows() const { return *rowView_; }
    int RowsInScope() const;
    std::string FilePath(int fileIndex) const;  // of file index f of FileList
    const rows::TRowModel& RowModel() const { return rowModel_; }
    using TV2RowSource = std::function<Tv2TAGInfo(const std::string& path)>;  // for benchmarks
    void SetV2RowSource(TV2RowSource source) { V2RowSource = std::move(source); }

    void RestoreCaption();
    QString TitleText() const { return titleText_; }
    void ShowStatus(const QString& text);
    void Button2Click();  // the page builder
    void TietojaModifoitu();
    void VasemmalleClick();
    void OikealleClick();
    std::optional<int> FindFocusedRow() const;
    bool ShellTreeView1Changing();  // false refuses the change
    void ShellTreeView1Change();
    void ShellTreeView1Click();
    void ShellComboBox1Click();
    Tv2TAGInfo LoadV2Row(const std::string& path);
    bool FillRow(int k, const std::string& path);  // true: the file was not found
    int WriteV2Row(const std::string& path, int k) { return writer_->WriteV2(path, k); }
    void SpeedButton7Click();  // mode switch
    void SpeedButton8Click();  // copy tags to the other kind
    void SetRowLimits(int k, int kind);
    void SpeedButton1Click();  // Save Row
    bool SpeedButton2Click();  // Save All Rows; false: a row stays unsaved or the user cancelled
    bool FormCloseQuery();     // true: the window may close
    bool SettleValuesToSave(const std::vector<int>& rows);  // false: nothing to write
    void ColumnBoxClick(QCheckBox* box);                    // CheckBox4Click .. CheckBox10Click
    void ShiftiMouseDown(Qt::KeyboardModifiers modifiers);
    void CheckBox1Click();
    void CheckBox1MouseDown(Qt::KeyboardModifiers modifiers);
    void SpeedButton5Click();  // Classical
    void SpeedButton6Click();  // Names
    void SpeedButton3Click();  // Erase All Rows
    void SpeedButton4Click();  // Revert to Saved
    void ScrollBox1MouseWheelDown();
    void ScrollBox1MouseWheelUp();
    void ScrollBox1MouseDown();
    void ScrollBox1MouseMove(int x, int y);
    void ScrollBox1MouseUp();
    void CheckBox3Click();
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
    friend struct TForm1TestAccess;  // tests/helpers/window_fixture.h
    friend class TWindowPage;
    static constexpr int kFirstRowTop = 10;

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
    QFrame *Panel2 = nullptr, *Panel1 = nullptr;
    // Save Row, Save All, Erase All, Revert to Saved, Classical, Names, mode switch, copy tags.
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr, *SpeedButton3 = nullptr,
                *SpeedButton4 = nullptr, *SpeedButton5 = nullptr, *SpeedButton6 = nullptr,
                *SpeedButton7 = nullptr, *SpeedButton8 = nullptr;
    QLabel* Label9 = nullptr;                                // page label
    QToolButton *Vasemmalle = nullptr, *Oikealle = nullptr;  // previous and next page
    QPushButton* Button2 = nullptr;                          // hidden: builds the page
    QComboBox* ShellComboBox1 = nullptr;
    TShellTreeView* ShellTreeView1 = nullptr;
    // The logo, the tag kind, the version, the program name and the credits.
    QLabel *Image1 = nullptr, *Label1 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label11 = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // folder name for albums
    QCheckBox* CheckBox3 = nullptr;  // tab order
    QCheckBox *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr,
              *CheckBox7 = nullptr, *CheckBox8 = nullptr, *CheckBox9 = nullptr,
              *CheckBox10 = nullptr;  // the column boxes
    QToolButton* PlayButton = nullptr;
    QLabel *ImagePlay = nullptr, *ImageStop = nullptr;  // hidden: the button's pictures
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
    void PlaceColumns();
    void ConnectFolders();  // each concern connects its own controls' signals
    void ConnectPages();
    void ConnectBulk();
    void ConnectScrolling();
    void ConnectPlayback();
    bool FilterScrollingEvent(QObject* watched, QEvent* event);  // true: consumed
    bool FilterBulkEvent(QObject* watched, QEvent* event);
    std::optional<bulk::Column> ColumnOf(const QObject* box) const;  // of CheckBox4..10
    bool FilterRowKeyEvent(QObject* watched, QEvent* event);
    bool AskToLeave(const QString& question);  // while modified; Yes saves. False: stay
    bool AskToLeavePage();
    void FocusFileRow(const std::string& name);  // its page shown, its title focused
    void ShowLoadedRow(int k, const row_codec::TLoadedRow& row);
    void SetValue(int k, bulk::Column column, const QString& text, bool nameNotDecoded = false);
    void MarkRowSaved(int k);
    void RowChanged(int k);   // the row's marker, the page's modified flag, the parts told
    void ShowSaveButtons();   // usable while a row is to be written
    void ShowKindCaptions();  // and the ID3v2-only commands follow the kind
    bool SwitchKind();        // the save question first; false when the user stayed
    QString WriteRow(int k, const std::string& path);      // empty when written, else why not
    void ReadPageKeepingEdits(bool failuresTold = false);  // failures told: no second box
    void WriteWhileSuspended(const std::function<void()>& writes);
    void CreateFirstParts();  // before the window's own commands
    void CreateLastParts();   // after them

    Tid3v2tag& tag_;
    TDialogs& dialogs_;
    platform::MediaDevice& media_;
    TForm2* Form2 = nullptr;
    TAboutDlg* AboutDlg = nullptr;
    QString titleText_;
    std::vector<int> problemsTold_;   // rows the page builder names in no box
    bool folderJustChanged_ = false;  // consumed by the click or key move that follows
    rows::TRowModel rowModel_;
    std::unique_ptr<TRowView> rowView_;
    std::unique_ptr<TRowWriter> writer_;
    std::unique_ptr<TKindCaptions> captions_;
    TGenreDropDown* genreDropDown_ = nullptr;  // opens while a genre is typed
    TPageNotices notices_;
    TWindowPage page_{*this};
    std::unique_ptr<TForm1Parts> parts_;
    TChosenPreferences chosen_;  // set by the preferences part
};
