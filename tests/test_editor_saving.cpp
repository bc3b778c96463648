// Save Row, Save All Rows and the close query through the real window, with
// scripted message boxes and dialogs and a fake media device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "editor/dialogs/form2.h"
#include "editor/model/page_logic.h"
#include "editor/model/tag_values.h"
#include "editor/startup/application.h"
#include "editor/widgets/shell_tree.h"
#include "editor/widgets/spin_edit.h"
#include "editor/window/form1.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "platform/attributes.h"
#include "platform/file.h"
#include "tests/helpers/fake_media_device.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/scripted_dialogs.h"
#include "tests/helpers/window_fixture.h"

// Readable failure output for texts.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using testing_mp3::Bytes;
using Answer = TDialogs::Answer;

// Records the window caption whenever a box opens, as the user would see it.
class CaptionDialogs : public ScriptedDialogs {
  public:
    std::vector<QString> Captions;
    // Runs inside every question, while the command waits for the answer.
    std::function<void()> OnQuestion;
    Answer ConfirmYesNo(QWidget* parent, const QString& text) override {
        if (OnQuestion) {
            OnQuestion();
        }
        return ScriptedDialogs::ConfirmYesNo(parent, text);
    }
    Answer ConfirmYesNoCancel(QWidget* parent, const QString& text) override {
        if (OnQuestion) {
            OnQuestion();
        }
        return ScriptedDialogs::ConfirmYesNoCancel(parent, text);
    }
    void Message(QWidget* parent, const QString& text) override {
        Captions.push_back(parent->window()->windowTitle());
        ScriptedDialogs::Message(parent, text);
    }
};

TApplication* App() {
    return static_cast<TApplication*>(qApp);
}

// FNV-1a, so that a mismatch of megabytes prints as two numbers.
uint64_t Hash(const Bytes& bytes, size_t begin, size_t end) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = begin; i < end; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

// The hash of the bytes between a leading ID3v2 tag and a trailing ID3v1 record.
uint64_t AudioHash(const std::string& path) {
    const Bytes bytes = testing_mp3::ReadFile(path);
    size_t begin = 0;
    if (bytes.size() >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
        begin = 10 + id3v2::ReadSyncsafe32(bytes.data() + 6) + ((bytes[5] & 0x10) ? 10 : 0);
    }
    size_t end = bytes.size();
    if (end >= begin + 128 &&
        std::string_view(reinterpret_cast<const char*>(&bytes[end - 128]), 3) == "TAG") {
        end -= 128;
    }
    return Hash(bytes, begin, end);
}

std::string V2Text(const std::string& path, const std::string& id) {
    Tid3v2tag tag;
    if (tag.LoadFromFile(path, 0) >= 256) {
        return "<no tag>";
    }
    std::string text;
    tag.GetText(id, text);
    return text;
}

std::string V2Comment(const std::string& path) {
    Tid3v2tag tag;
    if (tag.LoadFromFile(path, 0) >= 256) {
        return "<no tag>";
    }
    COMM comment;
    tag.GetComment(comment, "", "None");
    return comment.Text;
}

TV1Values V1Record(const std::string& title) {
    TV1Values values;
    values.Title = title;
    values.Artist = "Band";
    values.Year = 2001;
    values.Track = 3;
    values.Genre = "Rock";
    return values;
}

class SavingTest : public ::testing::Test {
  public:
    void SetUp() override {
        App()->SetDialogs(&dialogs_);
        form2_ = std::make_unique<TForm2>();
        form_ = std::make_unique<TForm1>(tag_, dialogs_, media_);
        form_->SetForm2(form2_.get());
    }
    void TearDown() override {
        form_.reset();
        form2_.reset();
        App()->SetDialogs(nullptr);
    }

    std::string File(const std::string& name) const { return dir_.File(name); }
    template <typename T>
    T* Find(const QString& name) const {
        return Control<T>(*form_, name);
    }
    TForm1State State() const { return TForm1TestAccess::State(*form_); }
    // `count` files n00.mp3 ... with an ID3v1 record titled after the file.
    void MakeV1Files(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = Name(i);
            testing_mp3::WriteMp3(File(name));
            WriteV1Tag(File(name), V1Record(name));
        }
    }
    static std::string Name(int i) {
        return std::string("n") + static_cast<char>('0' + i / 10) +
               static_cast<char>('0' + i % 10) + ".mp3";
    }
    void OpenFolder(const std::string& path) {
        ASSERT_TRUE(form_->SelectFolder(QString::fromStdString(path)));
        dialogs_.Clear();
    }
    void OpenFolder() {
        ASSERT_TRUE(form_->SelectFolder(QString::fromStdString(dir_.Path())));
        dialogs_.Clear();
    }
    void SwitchToV2() {
        form_->SpeedButton7Click();
        ASSERT_EQ(State().TagKind, 2);
    }
    void Activate() {
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
    // Puts the keyboard focus into row k's title field.
    void FocusRow(int k) {
        Activate();
        form_->Rows().TitleEdit(k)->setFocus();
        ASSERT_TRUE(form_->Rows().TitleEdit(k)->hasFocus());
    }
    std::string RowPath(int k) const {
        return form_->FilePath(page_logic::FileIndex(State().PageIndex, k));
    }
    // Every file of the folder, byte for byte, keyed by path.
    std::map<std::string, Bytes> Snapshot() const {
        std::map<std::string, Bytes> files;
        for (const std::string& name : State().FileList) {
            const std::string path = File(name);
            if (platform::FileExists(path)) {
                files[path] = testing_mp3::ReadFile(path);
            }
        }
        return files;
    }
    std::map<std::string, uint64_t> AudioHashes() const {
        std::map<std::string, uint64_t> audio;
        for (const std::string& name : State().FileList) {
            audio[name] = AudioHash(File(name));
        }
        return audio;
    }
    static std::string PageTitle(int k, const std::string& tail) {
        return "Title " + std::to_string(k) + tail;
    }
    // Gives all seven fields of every row of a full page a value of its own.
    void FillPage(const std::string& titleTail) {
        for (int k = 0; k < page_logic::kRowsPerPage; ++k) {
            form_->Rows().TitleEdit(k)->setText(QString::fromLatin1(PageTitle(k, titleTail)));
            form_->Rows().ArtistEdit(k)->setText("Artist");
            form_->Rows().AlbumEdit(k)->setText(QString::fromLatin1("Alb\xE4m"));
            form_->Rows().YearEdit(k)->setText(QString::number(1960 + k));
            form_->Rows().CommentEdit(k)->setText(QString("c%1").arg(k));
            form_->Rows().TrackEdit(k)->setText(QString::number(k + 1));
            form_->Rows().GenreEdit(k)->setEditText("Jazz");
        }
    }
    void MakeReadOnly(const std::string& path) { ASSERT_EQ(::chmod(path.c_str(), 0444), 0); }
    // One read-only file whose row has the focus and an edited title; its path.
    std::string EditReadOnlyRow() {
        MakeV1Files(1);
        OpenFolder();
        const std::string path = RowPath(0);
        MakeReadOnly(path);
        FocusRow(0);
        form_->Rows().TitleEdit(0)->setText("changed");
        return path;
    }
    // Clicks the folder "other" in the tree and answers Cancel; while the
    // question is open a folder appears before it. True when the folder changed.
    bool ClickOtherWhileAFolderAppears() {
        ::mkdir(File("other").c_str(), 0755);
        auto* tree = Find<TShellTreeView>("ShellTreeView1");
        const QModelIndex folder = tree->currentIndex();
        tree->expand(folder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return tree->model()->rowCount(folder) == 1; }));
        const QRect other = tree->visualRect(tree->model()->index(0, 0, folder));
        dialogs_.OnQuestion = [&] {
            ::mkdir(File("a new").c_str(), 0755);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return tree->model()->index(0, 0, folder).data() == "a new"; }));
        };
        dialogs_.QueueAnswer(Answer::Cancel);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, other.center());
        dialogs_.OnQuestion = nullptr;
        return State().FolderPath != dir_.Path();
    }
    static bool ReadOnly(const std::string& path) {
        return (platform::GetFileAttributesA(path) & platform::FILE_ATTRIBUTE_READONLY) != 0;
    }

    testing_mp3::TempDir dir_;
    Tid3v2tag tag_;
    CaptionDialogs dialogs_;
    FakeMediaDevice media_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm1> form_;
    std::optional<platform::File> holder_;
};

// An immutable file: not even root can change its permissions. Skips the test
// when the file system or the process does not allow the flag.
class ImmutableFile {
  public:
    explicit ImmutableFile(const std::string& path) : path_(path) {
        ok_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
    }
    ~ImmutableFile() {
        if (ok_) {
            std::system(("chattr -i '" + path_ + "'").c_str());
        }
    }
    bool Ok() const { return ok_; }

  private:
    std::string path_;
    bool ok_ = false;
};

// --- Save Row ---

TEST_F(SavingTest, SaveRowWritesTheFocusedRowOfPage2IntoItsOwnFileInId3v1) {
    MakeV1Files(45);
    OpenFolder();
    form_->OikealleClick();
    ASSERT_EQ(State().PageIndex, 1);
    const std::string target = RowPath(2);
    FocusRow(2);
    QTest::keyClicks(form_->Rows().TitleEdit(2), "X");
    form_->Rows().YearEdit(2)->setText("1999");
    const auto before = Snapshot();

    QTest::mouseClick(Find<QToolButton>("SpeedButton1"), Qt::LeftButton);

    const Tv1TAGInfo record = ReadV1Tag(target);
    EXPECT_EQ(record.Title, "X" + State().FileList[42]);
    EXPECT_EQ(record.Year, "1999");
    EXPECT_EQ(record.Artist, "Band");
    EXPECT_EQ(record.Genre, GenreByte("Rock"));
    const auto after = Snapshot();
    for (const auto& [path, bytes] : before) {
        if (path != target) {
            EXPECT_EQ(after.at(path), bytes) << path;
        }
    }
    EXPECT_TRUE(dialogs_.ShownBoxes().empty());
    EXPECT_FALSE(State().PageModified) << "no other row holds changes";
    EXPECT_FALSE(Find<QToolButton>("SpeedButton2")->isEnabled());
    EXPECT_EQ(form_->windowTitle(), QString("Tagvora v1.4 - (%1)").arg(dir_.Path().c_str()));
}

TEST_F(SavingTest, SaveRowWritesTheFocusedRowOfPage2IntoItsOwnFileInId3v2) {
    for (int i = 0; i < 45; ++i) {
        testing_mp3::WriteMp3(
            File(Name(i)),
            testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text(Name(i)))},
                             64));
    }
    OpenFolder();
    SwitchToV2();
    form_->OikealleClick();
    const std::string target = RowPath(3);
    FocusRow(3);
    form_->Rows().TitleEdit(3)->setText("New title");
    form_->Rows().CommentEdit(3)->setText("note");
    const auto before = Snapshot();

    form_->SpeedButton1Click();

    EXPECT_EQ(V2Text(target, "TIT2"), "New title");
    EXPECT_EQ(V2Comment(target), "note");
    const auto after = Snapshot();
    for (const auto& [path, bytes] : before) {
        if (path != target) {
            EXPECT_EQ(after.at(path), bytes) << path;
        }
    }
    EXPECT_TRUE(dialogs_.ShownBoxes().empty());
}

// Bytes that begin with "ID3" are a tag even when its header does not load: a
// fresh tag in front of them would leave the old one as junk before the audio.
TEST_F(SavingTest, AFileBeginningWithAnUnloadableTagIsReportedAndLeftAsItWas) {
    const std::vector<Bytes> headers = {
        {'I', 'D', '3', 3, 0, 0, 0, 0, 0x80, 0},  // a size byte that is not syncsafe
        {'I', 'D', '3', 0xFF, 0, 0, 0, 0, 1, 0},  // a version byte of 0xFF
    };
    for (size_t i = 0; i < headers.size(); ++i) {
        testing_mp3::WriteMp3(File(Name(static_cast<int>(i))),
                              testing_mp3::Concat({headers[i], Bytes(200, 'j')}));
    }
    OpenFolder();
    SwitchToV2();
    for (int k = 0; k < static_cast<int>(headers.size()); ++k) {
        SCOPED_TRACE(k);
        const Bytes before = testing_mp3::ReadFile(RowPath(k));
        dialogs_.Clear();
        FocusRow(k);
        form_->Rows().TitleEdit(k)->setText("New title");

        form_->SpeedButton1Click();

        EXPECT_EQ(dialogs_.Errors().join("").section('\n', 0, 0),
                  "Error #4096! Can not save tags!");
        EXPECT_EQ(testing_mp3::ReadFile(RowPath(k)), before);
    }
}

TEST_F(SavingTest, CommandsOnAnEmptyFolderOrWithoutAFocusedRowOnlyTellTheUser) {
    ASSERT_EQ(::mkdir(File("empty").c_str(), 0755), 0);
    OpenFolder(File("empty"));
    form_->SpeedButton1Click();
    form_->SpeedButton2Click();
    EXPECT_EQ(dialogs_.Messages(),
              QStringList({"No mp3-files in the folder.", "No mp3-files in the folder."}));

    MakeV1Files(2);
    OpenFolder();
    Activate();
    form_->setFocus();
    form_->Rows().TitleEdit(0)->setText("changed");
    const auto before = Snapshot();
    form_->SpeedButton1Click();
    EXPECT_EQ(dialogs_.Messages(), QStringList({"The cursor does not blink on any row."}));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SavingTest, ReadOnlyFileAnsweredNoIsLeftAlone) {
    const std::string path = EditReadOnlyRow();
    const Bytes before = testing_mp3::ReadFile(path);
    dialogs_.QueueAnswer(Answer::No);

    form_->SpeedButton1Click();

    EXPECT_EQ(dialogs_.Questions(),
              QStringList({QString("Are you sure you want to modify a Read Only file %1? (the file "
                                   "will be turn to normal file)")
                               .arg(path.c_str())}));
    EXPECT_EQ(dialogs_.Messages(), QStringList({"Modifications is not saved to the file."}));
    EXPECT_EQ(testing_mp3::ReadFile(path), before);
    EXPECT_TRUE(ReadOnly(path));
}

TEST_F(SavingTest, ReadOnlyFileAnsweredYesBecomesNormalAndIsWritten) {
    const std::string path = EditReadOnlyRow();
    dialogs_.QueueAnswer(Answer::Yes);

    form_->SpeedButton1Click();

    EXPECT_FALSE(ReadOnly(path));
    EXPECT_EQ(ReadV1Tag(path).Title, "changed");
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(SavingTest, FileDeletedAfterThePageWasBuiltReportsErrorNumber2) {
    MakeV1Files(1);
    OpenFolder();
    const std::string path = RowPath(0);
    FocusRow(0);
    form_->Rows().TitleEdit(0)->setText("changed");
    ASSERT_EQ(std::remove(path.c_str()), 0);
    dialogs_.QueueAnswer(Answer::Yes);

    form_->SpeedButton1Click();

    EXPECT_EQ(dialogs_.Questions().size(), 1);
    EXPECT_EQ(dialogs_.Errors(),
              QStringList({QString("%1: the file no longer exists.\n\nFile %1 can not be saved, "
                                   "because an error happened of type "
                                   "2. \r\r This may result on that the disk is locked (for "
                                   "example CD-ROM or floppy) or network location is with Read "
                                   "Only type.")
                               .arg(State().FileList[0].c_str())}));
    EXPECT_FALSE(platform::FileExists(path)) << "nothing may create the file again";
}

TEST_F(SavingTest, AttributeThatCannotBeClearedStopsSaveRow) {
    MakeV1Files(1);
    OpenFolder();
    const std::string path = RowPath(0);
    MakeReadOnly(path);
    ImmutableFile immutable(path);
    if (!immutable.Ok()) {
        GTEST_SKIP() << "chattr +i is not available here";
    }
    FocusRow(0);
    form_->Rows().TitleEdit(0)->setText("changed");
    dialogs_.QueueAnswer(Answer::Yes);

    form_->SpeedButton1Click();

    ASSERT_EQ(dialogs_.Errors().size(), 1);
    EXPECT_TRUE(dialogs_.Errors()[0].startsWith("n00.mp3: the file is marked immutable.\n\nFile"));
    EXPECT_EQ(ReadV1Tag(path).Title, State().FileList[0]);
}

TEST_F(SavingTest, UntaggedRowWithOnlyYearTrackOrGenreIsNotWritten) {
    testing_mp3::WriteMp3(File("bare.mp3"));
    OpenFolder();
    ASSERT_TRUE(form_->RowModel().Untagged(0));
    FocusRow(0);
    form_->Rows().YearEdit(0)->setText("1980");
    form_->Rows().TrackEdit(0)->setText("5");
    form_->Rows().GenreEdit(0)->setEditText("Rock");
    const Bytes before = testing_mp3::ReadFile(File("bare.mp3"));

    form_->SpeedButton1Click();

    EXPECT_EQ(testing_mp3::ReadFile(File("bare.mp3")), before);
    EXPECT_TRUE(dialogs_.ShownBoxes().empty());
    EXPECT_TRUE(form_->RowModel().Untagged(0));
}

TEST_F(SavingTest, UntaggedRowWithOnlyACommentIsWrittenAndRecoloured) {
    testing_mp3::WriteMp3(File("bare.mp3"));
    OpenFolder();
    FocusRow(0);
    form_->Rows().CommentEdit(0)->setText("just a note");

    form_->SpeedButton1Click();

    EXPECT_EQ(ReadV1Tag(File("bare.mp3")).Comment, "just a note");
    EXPECT_FALSE(form_->RowModel().Untagged(0));
}

TEST_F(SavingTest, PlaybackPausesAroundTheWriteAndResumesAtTheSamePlace) {
    MakeV1Files(2);
    OpenFolder();
    const std::string path = RowPath(0);
    MakeReadOnly(path);
    FocusRow(0);
    form_->PlayButtonClick();
    ASSERT_TRUE(media_.IsPlaying());
    media_.Advance(2500);
    form_->Rows().TitleEdit(0)->setText("changed");
    // The read-only question comes after the pause and before the write.
    bool openWhileAsking = true;
    dialogs_.OnQuestion = [&] { openWhileAsking = media_.IsOpen(); };
    dialogs_.QueueAnswer(Answer::Yes);

    const size_t callsBefore = media_.Calls().size();
    form_->SpeedButton1Click();

    const std::vector<std::string> calls(media_.Calls().begin() + callsBefore,
                                         media_.Calls().end());
    EXPECT_EQ(calls,
              (std::vector<std::string>{"stop", "close", "open " + path, "seek 2500", "play"}));
    EXPECT_TRUE(media_.IsPlaying());
    EXPECT_EQ(media_.Position(), 2500);
    EXPECT_EQ(ReadV1Tag(path).Title, "changed");
    EXPECT_FALSE(openWhileAsking);
}

// --- Save All Rows ---

class SaveAllTest : public SavingTest {
  protected:
    // Three read-only files among five, every row edited.
    void PrepareThreeReadOnly() {
        MakeV1Files(5);
        OpenFolder();
        for (int k = 0; k < 5; ++k) {
            form_->Rows().TitleEdit(k)->setText(QString("edited %1").arg(k));
        }
        for (int k : {1, 2, 4}) {
            readOnly_.push_back(RowPath(k));
            MakeReadOnly(RowPath(k));
        }
        std::sort(readOnly_.begin(), readOnly_.end());
    }
    bool Edited(const std::string& path) const {
        return ReadV1Tag(path).Title.starts_with("edited");
    }

    std::vector<std::string> readOnly_;  // sorted
};

TEST_F(SaveAllTest, TwoOfThreeReadOnlyFilesTickedGivesTheExceptForm) {
    PrepareThreeReadOnly();
    std::vector<std::string> listed;
    dialogs_.QueueModal([&](QDialog* dialog) {
        auto* form2 = static_cast<TForm2*>(dialog);
        for (int i = 0; i < form2->Count(); ++i) {
            listed.push_back(form2->ItemText(i));
        }
        form2->SetChecked(0, true);
        form2->SetChecked(2, true);
        return QDialog::Accepted;
    });

    form_->SpeedButton2Click();

    EXPECT_EQ(listed, readOnly_);
    EXPECT_TRUE(Edited(readOnly_[0]));
    EXPECT_FALSE(Edited(readOnly_[1]));
    EXPECT_TRUE(ReadOnly(readOnly_[1]));
    EXPECT_TRUE(Edited(readOnly_[2]));
    EXPECT_FALSE(ReadOnly(readOnly_[2]));
    for (int k : {0, 3}) {
        EXPECT_TRUE(Edited(RowPath(k)));
    }
    EXPECT_EQ(dialogs_.Messages(),
              QStringList({QString("ID3v1ID3-tags saved to the mp3-files of directory %1, except "
                                   "to ones you did not want to remove Read Only -attribute (on "
                                   "page 1).\n\n4 files saved.\nNot saved:\n%2: read-only, and "
                                   "not ticked to be made writable")
                               .arg(dir_.Path().c_str(), State().FileList[2].c_str())}));
    EXPECT_EQ(dialogs_.Captions, std::vector<QString>{"4 files saved"});
    EXPECT_EQ(form_->Rows().TitleEdit(2)->text(), "edited 2")
        << "the row left read-only keeps its edit";
    EXPECT_TRUE(State().PageModified);
    EXPECT_EQ(form_->windowTitle(), QString("Tagvora v1.4 - (%1)").arg(dir_.Path().c_str()));
}

TEST_F(SaveAllTest, AllTickedGivesThePlainFormEvenWhenOneCouldNotBeCleared) {
    PrepareThreeReadOnly();
    ASSERT_EQ(std::remove(readOnly_[1].c_str()), 0);
    dialogs_.QueueModal([](QDialog* dialog) {
        static_cast<TForm2*>(dialog)->Valitsekaikki1Click();
        return QDialog::Accepted;
    });

    form_->SpeedButton2Click();

    const std::string gone = readOnly_[1].substr(readOnly_[1].rfind('/') + 1);
    EXPECT_EQ(dialogs_.Errors(),
              QStringList({QString("%1: the file no longer exists.\n\nRead Only attribute of file "
                                   "%1 can not be removed (error "
                                   "#2).\rThis may result on that the disk is locked (for example "
                                   "CD-ROM or floppy) or you have not writing access to network "
                                   "location.")
                               .arg(gone.c_str())}));
    // The closing box names the missing file; the rebuilt page adds no second box.
    ASSERT_EQ(dialogs_.Messages().size(), 1);
    EXPECT_TRUE(dialogs_.Messages()[0].startsWith(
        QString("ID3v1ID3-tags saved to the mp3-files of directory %1 (on page 1).\n\n4 files "
                "saved.")
            .arg(dir_.Path().c_str())));
    EXPECT_FALSE(platform::FileExists(readOnly_[1]));
    EXPECT_TRUE(Edited(readOnly_[0]));
    EXPECT_TRUE(Edited(readOnly_[2]));
    EXPECT_EQ(dialogs_.Captions[0], "4 files saved");
}

TEST_F(SaveAllTest, CancelledDialogWritesNothingAndChangesNoAttribute) {
    PrepareThreeReadOnly();
    const auto before = Snapshot();
    dialogs_.QueueModal([](QDialog* dialog) {
        static_cast<TForm2*>(dialog)->Valitsekaikki1Click();
        return QDialog::Rejected;
    });

    form_->SpeedButton2Click();

    EXPECT_EQ(Snapshot(), before);
    for (const std::string& path : readOnly_) {
        EXPECT_TRUE(ReadOnly(path));
    }
    EXPECT_EQ(dialogs_.ShownBoxes().size(), 1u) << "only the dialog itself";
    EXPECT_TRUE(State().PageModified);
}

TEST_F(SaveAllTest, FileRemovedWhileTheDialogIsOpenIsSkippedAndTheRestSaved) {
    PrepareThreeReadOnly();
    const std::string removed = RowPath(3);
    dialogs_.QueueModal([&](QDialog* dialog) {
        static_cast<TForm2*>(dialog)->Valitsekaikki1Click();
        std::remove(removed.c_str());
        return QDialog::Accepted;
    });

    form_->SpeedButton2Click();

    EXPECT_TRUE(dialogs_.Errors().isEmpty());
    EXPECT_FALSE(platform::FileExists(removed)) << "nothing may create the file again";
    for (int k : {0, 1, 2, 4}) {
        EXPECT_TRUE(Edited(RowPath(k))) << k;
    }
    EXPECT_EQ(dialogs_.Captions[0], "4 files saved");
}

TEST_F(SavingTest, SavedCountLeavesOutSkippedRowsOfPage2) {
    for (int i = 0; i < 80; ++i) {
        testing_mp3::WriteMp3(File(Name(i)));
    }
    OpenFolder();
    form_->OikealleClick();
    ASSERT_EQ(form_->RowsInScope(), 40);
    // Rows 0-2 stay blank and untagged; rows 3 and 4 are read-only and left unticked.
    for (int k = 3; k < 40; ++k) {
        form_->Rows().ArtistEdit(k)->setText("Band");
    }
    MakeReadOnly(RowPath(3));
    MakeReadOnly(RowPath(4));
    dialogs_.QueueModal([](QDialog*) { return QDialog::Accepted; });

    form_->SpeedButton2Click();

    EXPECT_EQ(dialogs_.Captions, std::vector<QString>{"35 files saved"});
    ASSERT_EQ(dialogs_.Messages().size(), 1);
    EXPECT_TRUE(dialogs_.Messages()[0].contains("(on page 2).\n\n35 files saved.\nNot saved:\n"));
    EXPECT_TRUE(ReadV1Tag(RowPath(0)).NoTag);
    EXPECT_TRUE(ReadV1Tag(RowPath(3)).NoTag);
    EXPECT_EQ(ReadV1Tag(RowPath(39)).Artist, "Band");
    EXPECT_EQ(form_->Rows().ArtistEdit(39)->text(), "Band") << "the page is rebuilt from the files";
}

TEST_F(SavingTest, Id3v1WriteFailureIsReportedAndSaveAllRowsGoesOn) {
    MakeV1Files(3);
    OpenFolder();
    for (int k = 0; k < 3; ++k) {
        form_->Rows().TitleEdit(k)->setText("edited");
    }
    FocusRow(0);
    form_->PlayButtonClick();
    ASSERT_TRUE(media_.IsPlaying());
    // Another writer holds the second file.
    std::optional<platform::File> holder(std::in_place, RowPath(1), platform::File::Mode::Read,
                                         platform::File::Lock::Exclusive);

    QTest::mouseClick(Find<QToolButton>("SpeedButton2"), Qt::LeftButton);

    // Reported like an ID3v2 failure: the file and the reason, and the rows after it saved.
    ASSERT_EQ(dialogs_.Errors().size(), 1);
    EXPECT_TRUE(dialogs_.Errors()[0].contains(QString::fromStdString(State().FileList[1])));
    EXPECT_EQ(ReadV1Tag(RowPath(0)).Title, "edited");
    EXPECT_EQ(ReadV1Tag(RowPath(2)).Title, "edited");
    EXPECT_TRUE(media_.IsPlaying()) << "playback is resumed";
    EXPECT_TRUE(State().PageModified);
    EXPECT_TRUE(dialogs_.Messages().value(0).contains("Not saved"));
    holder.reset();
    FocusRow(1);
    form_->SpeedButton1Click();
    EXPECT_EQ(dialogs_.Errors().size(), 1);
    EXPECT_EQ(ReadV1Tag(RowPath(1)).Title, "edited");
}

// --- the close query and the save questions of other commands ---

TEST_F(SavingTest, CloseQueryAsksOnlyWhenModifiedAndFollowsTheAnswer) {
    MakeV1Files(2);
    OpenFolder();
    EXPECT_TRUE(form_->FormCloseQuery());
    EXPECT_TRUE(dialogs_.Questions().isEmpty());

    form_->Rows().TitleEdit(0)->setText("edited");
    const auto before = Snapshot();
    dialogs_.QueueAnswer(Answer::Cancel);
    EXPECT_FALSE(form_->close()) << "the window's close runs the query";
    dialogs_.QueueAnswer(Answer::No);
    EXPECT_TRUE(form_->FormCloseQuery());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(dialogs_.Questions(),
              QStringList(2, "Do you want to save the changes you have made before quitting?"));

    dialogs_.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(form_->FormCloseQuery());
    EXPECT_EQ(ReadV1Tag(RowPath(0)).Title, "edited");
}

TEST_F(SavingTest, CloseQueryYesThenCancelledDialogKeepsTheWindowOpen) {
    MakeV1Files(2);
    OpenFolder();
    form_->Rows().TitleEdit(0)->setText("edited");
    MakeReadOnly(RowPath(0));
    const auto before = Snapshot();
    dialogs_.QueueAnswer(Answer::Yes);
    dialogs_.QueueModal([](QDialog*) { return QDialog::Rejected; });

    EXPECT_FALSE(form_->FormCloseQuery());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(SavingTest, CloseQueryKeepsTheWindowOpenWhenTheSaveFails) {
    MakeV1Files(2);
    OpenFolder();
    form_->Rows().TitleEdit(0)->setText("edited");
    platform::File holder(RowPath(0), platform::File::Mode::Read, platform::File::Lock::Exclusive);
    dialogs_.QueueAnswer(Answer::Yes);

    EXPECT_FALSE(form_->FormCloseQuery());
    EXPECT_EQ(dialogs_.Errors().size(), 1);
    EXPECT_TRUE(State().PageModified);
}

TEST_F(SavingTest, YesToTheQuestionOfEveryLeavingCommandSavesThePageFirst) {
    MakeV1Files(45);
    ASSERT_EQ(::mkdir(File("other").c_str(), 0755), 0);
    const std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"next page", [this] { form_->OikealleClick(); }},
        {"mode switch", [this] { form_->SpeedButton7Click(); }},
        {"copy", [this] { form_->SpeedButton8Click(); }},
        {"folder", [this] { form_->SelectFolder(QString::fromStdString(File("other"))); }},
    };
    for (const auto& [name, command] : commands) {
        form_ = std::make_unique<TForm1>(tag_, dialogs_, media_);
        form_->SetForm2(form2_.get());
        OpenFolder();
        const std::string path = RowPath(0);
        form_->Rows().TitleEdit(0)->setText(QString::fromStdString(name));
        dialogs_.QueueAnswer(Answer::Yes);

        command();

        EXPECT_EQ(ReadV1Tag(path).Title, name);
        EXPECT_EQ(dialogs_.Questions().size(), 1) << name;
        EXPECT_EQ(dialogs_.Messages().size(), 1) << name << ": the closing message";
    }
}

// --- edits kept: a row a command did not save keeps its edit and its mark ---

struct KeptCase {
    const char* fault;
    bool held;  // another program holds row 0's file, so an ID3v2 save fails
    std::function<bool(SavingTest&)> act;  // true: the command went on (closed, left)
    bool goesOn, unsaved;
    int questions;  // save questions asked; a question after a failed save is answered Yes
    QString error, status;
};
class EditsKept : public SavingTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(EditsKept, RowsNotSavedKeepTheirEdits) {
    const KeptCase& c = GetParam();
    MakeV1Files(2);
    OpenFolder();
    SwitchToV2();
    FocusRow(0);
    form_->Rows().TitleEdit(0)->setText("edited");
    if (c.held) {
        holder_.emplace(RowPath(0), platform::File::Mode::Read, platform::File::Lock::Exclusive);
    }
    if (c.held && c.questions > 0) {
        dialogs_.QueueAnswer(Answer::Yes);
    }
    EXPECT_EQ(c.act(*this), c.goesOn) << c.fault;
    EXPECT_EQ(form_->Rows().TitleEdit(0)->text(), "edited");
    EXPECT_EQ(form_->RowModel().Unsaved(0), c.unsaved);
    EXPECT_EQ(State().PageModified, c.unsaved);
    EXPECT_EQ(dialogs_.Questions().size(), c.questions);
    EXPECT_EQ(dialogs_.Errors(), c.error.isEmpty() ? QStringList() : QStringList{c.error});
    EXPECT_EQ(Find<QStatusBar>("StatusBar1")->currentMessage(), c.status);
}

const QString kHeld =
    "Error #256! Can not save tags!\nn00.mp3: the file is in use by another program";

INSTANTIATE_TEST_SUITE_P(
    Faults, EditsKept,
    ::testing::Values(KeptCase{"failed Save Row", true,
                               [](SavingTest& t) { return t.form_->SpeedButton1Click(), true; },
                               true, true, 0, kHeld,
                               "n00.mp3 not saved: the file is in use by another program"},
                      KeptCase{"closing with Yes after a failed save", true,
                               [](SavingTest& t) { return t.form_->FormCloseQuery(); }, false, true,
                               1, kHeld, "0 files saved"},
                      KeptCase{"closing after Save Row of the only changed row", false,
                               [](SavingTest& t) {
                                   return t.form_->SpeedButton1Click(), t.form_->FormCloseQuery();
                               },
                               true, false, 0, "", "n00.mp3 saved"},
                      KeptCase{"a folder created while the folder question is open", false,
                               [](SavingTest& t) { return t.ClickOtherWhileAFolderAppears(); },
                               false, true, 1, "", ""}));

// --- failure boxes: one a failure, naming the file and the real reason first ---

struct BoxCase {
    const char* fault;
    int row;                               // 0 the folder d.mp3, 1 a compressed version 2.2 tag
    std::function<void(SavingTest&)> act;  // with a Yes queued
    bool nothingSaved;                     // the closing box is the warning that says so
    QString error;                         // the only error box begins so
};
class FailureBoxes : public SavingTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(FailureBoxes, OneBoxNamesTheFileAndTheReason) {
    const BoxCase& c = GetParam();
    ASSERT_EQ(::mkdir(File("d.mp3").c_str(), 0755), 0);
    testing_mp3::WriteMp3(File("v22.mp3"), {'I', 'D', '3', 2, 0, 0x40, 0, 0, 0, 20});
    OpenFolder();
    SwitchToV2();
    FocusRow(c.row);
    form_->Rows().TitleEdit(c.row)->setText("edited");
    dialogs_.Clear();
    dialogs_.QueueAnswer(Answer::Yes);
    c.act(*this);
    EXPECT_EQ(dialogs_.Errors().size(), 1);
    EXPECT_TRUE(dialogs_.Errors().value(0).startsWith(c.error));
    EXPECT_EQ(dialogs_.Warnings().value(0).startsWith("No file was saved.\n\nID3v2"),
              c.nothingSaved);
}

const auto kSaveRow = [](SavingTest& t) { t.form_->SpeedButton1Click(); };
const auto kSaveAll = [](SavingTest& t) { t.form_->SpeedButton2Click(); };
const QString kFolder = "Error #256! Can not save tags!\nd.mp3: it is a folder, not a file";

INSTANTIATE_TEST_SUITE_P(
    Faults, FailureBoxes,
    ::testing::Values(
        BoxCase{"Save Row", 0, kSaveRow, false, kFolder},
        BoxCase{"Save All Rows", 0, kSaveAll, true, kFolder},
        BoxCase{"folder change", 0, [](SavingTest& t) { t.form_->SelectFolder("/"); }, true,
                kFolder},
        BoxCase{"close", 0, [](SavingTest& t) { t.form_->FormCloseQuery(); }, true, kFolder},
        BoxCase{"compressed", 1, kSaveRow, false,
                "Error #4864! Can not save tags!\nv22.mp3: the ID3v2.2 tag is compressed"}));

// --- data safety: a full page in each kind ---

TEST_F(SavingTest, FullPageInId3v1KeepsAudioAndReadsBackEveryValue) {
    for (int i = 0; i < 40; ++i) {
        const Bytes v2 =
            i % 3 == 0 ? testing_mp3::Tag(
                             3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("v2"))})
                       : Bytes{};
        testing_mp3::WriteMp3(File(Name(i)), v2, 20 + i);
        if (i % 2 == 0) {
            WriteV1Tag(File(Name(i)), V1Record("old"));
        }
    }
    OpenFolder();
    const std::map<std::string, uint64_t> audio = AudioHashes();
    FillPage("");

    form_->SpeedButton2Click();

    EXPECT_EQ(dialogs_.Captions, std::vector<QString>{"40 files saved"});
    for (int k = 0; k < 40; ++k) {
        const std::string& name = State().FileList[k];
        const Tv1TAGInfo record = ReadV1Tag(File(name));
        EXPECT_EQ(record.Title, PageTitle(k, ""));
        EXPECT_EQ(record.Artist, "Artist");
        EXPECT_EQ(record.Album, "Alb\xE4m");
        EXPECT_EQ(record.Year, std::to_string(1960 + k));
        EXPECT_EQ(record.Comment, "c" + std::to_string(k));
        EXPECT_EQ(record.Track, k + 1);
        EXPECT_EQ(record.Genre, GenreByte("Jazz"));
        EXPECT_EQ(AudioHash(File(name)), audio.at(name)) << name;
    }
}

TEST_F(SavingTest, FullPageInId3v2KeepsAudioAndReadsBackEveryValue) {
    for (int i = 0; i < 40; ++i) {
        const std::string old = std::string(i % 5 == 0 ? 200 : 5, 'o');
        Bytes v2;
        if (i % 4 != 3) {
            // Tags with and without room to grow, in both versions.
            const uint8_t version = i % 2 == 0 ? 3 : 4;
            v2 = testing_mp3::Tag(
                version,
                {testing_mp3::Frame(version, "TIT2", testing_mp3::Latin1Text(old)),
                 testing_mp3::Frame(version, "TXXX", testing_mp3::Latin1Text("keep"))},
                i % 4 == 0 ? 0 : 2048);
        }
        testing_mp3::WriteMp3(File(Name(i)), v2, 30 + i);
        if (i % 6 == 0) {
            WriteV1Tag(File(Name(i)), V1Record("v1 stays"));
        }
    }
    OpenFolder();
    SwitchToV2();
    const std::map<std::string, uint64_t> audio = AudioHashes();
    const std::string tail = " " + std::string(100, 'x');
    FillPage(tail);

    form_->SpeedButton2Click();

    EXPECT_EQ(dialogs_.Captions, std::vector<QString>{"40 files saved"});
    EXPECT_TRUE(dialogs_.Errors().isEmpty());
    for (int k = 0; k < 40; ++k) {
        const std::string path = File(State().FileList[k]);
        EXPECT_EQ(V2Text(path, "TIT2"), PageTitle(k, tail));
        EXPECT_EQ(V2Text(path, "TPE1"), "Artist");
        EXPECT_EQ(V2Text(path, "TALB"), "Alb\xE4m");
        Tid3v2tag stored;
        stored.LoadFromFile(path, 0);
        EXPECT_EQ(V2Text(path, tag_values::YearFrame(stored.MajorVersion)),
                  std::to_string(1960 + k));
        EXPECT_EQ(V2Text(path, "TRCK"), std::to_string(k + 1));
        EXPECT_EQ(V2Text(path, "TCON"), "Jazz");
        EXPECT_EQ(V2Comment(path), "c" + std::to_string(k));
        EXPECT_EQ(AudioHash(path), audio.at(State().FileList[k])) << path;
    }
}

}  // namespace
