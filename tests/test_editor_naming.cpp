// Name patterns both ways, the file name rules, the rename batch with its
// roll-back and undo, and the naming part over a fake page; renameat2 is
// wrapped so a chosen rename fails.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <set>

#include "editor/model/row_model.h"
#include "editor/naming/naming_part.h"
#include "editor/naming/pattern.h"
#include "editor/naming/rename_batch.h"
#include "editor/page/page.h"
#include "platform/directory.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/scripted_dialogs.h"

extern "C" int __real_renameat2(int, const char*, int, const char*, unsigned);

namespace {
int renameCalls = 0;
std::set<int> failingCalls;  // 1-based numbers of the renames that fail with EACCES
}  // namespace

extern "C" int __wrap_renameat2(int fromDir, const char* from, int toDir, const char* to,
                                unsigned flags) {
    if (failingCalls.count(++renameCalls) != 0) {
        errno = EACCES;
        return -1;
    }
    return __real_renameat2(fromDir, from, toDir, to, flags);
}

namespace {

using enum naming::Direction;
using enum naming::Field;
using enum naming::Outcome;

TEST(NamePattern, CompilesOrSaysWhy) {
    struct Case {
        const char* pattern;
        naming::Direction direction;
        const char* error;  // a part of the error, "" for none
    } cases[] = {
        {"%{track:2} - %{artist} - %{title}", Parse, ""},
        {"%{artist}/%{album}/%{track} %{title}", Parse, ""},
        {"100% %{title}", Format, ""},
        {"", Parse, "empty"},
        {"%{artist}//%{title}", Parse, "empty"},
        {"%{title", Parse, "closing"},
        {"%{titel}", Parse, "Unknown field \"titel\""},
        {"%{title:2}", Format, "Only %{track}"},
        {"%{track:0}", Format, "1 to 9"},
        {"%{track}%{title}", Parse, "text between"},
        {"%{track}%{title}", Format, ""},
        {"%{title} - %{title}", Parse, "only once"},
        {"%{ignore} - %{ignore} - %{title}", Parse, ""},
        {"%{ignore} - %{title}", Format, "only for reading"},
        {"%{artist}/%{title}", Format, "never moves"},
        {"%{disc:1}-%{track:2} %{albumartist}", Format, ""},
        {"%{composer:2}", Format, "Only %{track}"},
    };
    for (const Case& c : cases) {
        const naming::Compiled compiled = naming::Compile(c.pattern, c.direction);
        EXPECT_EQ(compiled.pattern.has_value(), *c.error == '\0') << c.pattern;
        EXPECT_TRUE(compiled.error.contains(QString::fromUtf8(c.error))) << c.pattern;
    }
}

TEST(NamePattern, MatchesFileNamesAndFolders) {
    struct Case {
        const char* pattern;
        const char* fileName;
        std::optional<naming::Values> values;
        QStringList folders = {};
    } cases[] = {
        {"%{track} - %{title}", "07 - Song.mp3", {{{Track, "7"}, {Title, "Song"}}}},
        {"%{track} - %{artist} - %{title}",
         "07 - A - B - C.MP3",
         {{{Track, "7"}, {Artist, "A"}, {Title, "B - C"}}}},
        {"%{artist} - %{title}", "No dash here.mp3", std::nullopt},
        {"%{track} %{title}", "Intro Song.mp3", std::nullopt},
        {"(%{year}) %{album}", "(1999) Best.mp3", {{{Year, "1999"}, {Album, "Best"}}}},
        {"%{ignore} - %{title}", "x - Song.mp3", {{{Title, "Song"}}}},
        {"%{title}  ", "Song .mp3", std::nullopt},
        {"%{artist}/%{album}/%{track} %{title}",
         "3 Song.mp3",
         {{{Artist, "Art"}, {Album, "Alb"}, {Track, "3"}, {Title, "Song"}}},
         {"music", "Art", "Alb"}},
        {"%{artist}/%{album}/%{title}", "Song.mp3", std::nullopt, {"Alb"}},
        {"%{disc}-%{track} %{composer} - %{title}",
         "01-07 Bach - Air.mp3",
         {{{Disc, "1"}, {Track, "7"}, {Composer, "Bach"}, {Title, "Air"}}}},
        {"%{bpm} %{title}", "fast Air.mp3", std::nullopt},
    };
    for (const Case& c : cases) {
        const naming::Compiled compiled = naming::Compile(c.pattern, Parse);
        ASSERT_TRUE(compiled.pattern) << c.pattern;
        EXPECT_EQ(naming::Match(*compiled.pattern, c.fileName, c.folders), c.values)
            << c.pattern << " / " << c.fileName;
    }
}

TEST(NamePattern, FormatsRowValues) {
    const naming::Values values{
        {Track, "3/12"}, {Artist, " A "}, {Title, "B"}, {Disc, "2/3"}, {AlbumArtist, "V"}};
    const std::pair<const char*, const char*> cases[] = {
        {"%{track:2} - %{artist} - %{title}", "03 - A - B"},
        {"%{track} %{title}", "3 B"},
        {"%{album}[%{year}] %{title}", "[] B"},
        {"%{track:3}%{title}", "003B"},
        {"%{disc}%{track:2} %{albumartist}%{composer}", "203 V"},
    };
    for (const auto& [pattern, name] : cases) {
        const naming::Compiled compiled = naming::Compile(pattern, Format);
        ASSERT_TRUE(compiled.pattern) << pattern;
        EXPECT_EQ(naming::Format(*compiled.pattern, values), QString::fromUtf8(name));
    }
}

TEST(NameRules, CleansShortensOrRefuses) {
    const QString e125(125, QChar(0x00E9));
    struct Case {
        QString stem;
        std::string name;  // empty when refused
        bool shortened = false;
    } cases[] = {
        {"a/b\\c:d|e", "a-b-c-d-e.mp3"},
        {"a*b?c\"d<e>f", "a_b_c'd(e)f.mp3"},
        {QString("a") + QChar(u'\0') + "b", "ab.mp3"},
        {" .. Song. . ", "Song.mp3"},
        {" . ", ""},
        {"", ""},
        {QString(300, 'a'), std::string(251, 'a') + ".mp3", true},
        // 250 bytes of "é" leave no room for a 4-byte emoji: the cut falls before it.
        {e125 + QString::fromUtf8("\U0001F600"), e125.toUtf8().toStdString() + ".mp3", true},
    };
    for (const Case& c : cases) {
        const naming::CleanName clean = naming::MakeFileName(c.stem, ".mp3");
        EXPECT_EQ(clean.name, c.name) << c.stem.toStdString();
        EXPECT_EQ(clean.reason.isEmpty(), !c.name.empty()) << c.stem.toStdString();
        EXPECT_EQ(clean.shortened, c.shortened) << c.stem.toStdString();
        EXPECT_LE(clean.name.size(), naming::kMaxNameBytes);
    }
}

TEST(NameRules, PlanRefusesCollisionsBeforeRenaming) {
    const naming::Plan plan = naming::MakePlan(
        {{"a.mp3", "Same"}, {"b.mp3", "same"}, {"c.MP3", "taken"}, {"d.mp3", "D"}, {"x.mp3", "x"}},
        {"a.mp3", "b.mp3", "c.MP3", "d.mp3", "Taken.mp3"});
    const char* reasons[] = {"same name", "same name", "folder has", "", ""};
    const char* names[] = {"Same.mp3", "same.mp3", "taken.MP3", "D.mp3", "x.mp3"};
    for (size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(plan[i].newName, names[i]);
        EXPECT_TRUE(plan[i].reason.contains(reasons[i])) << i;
    }
    EXPECT_TRUE(plan[3].Renames());   // case only
    EXPECT_FALSE(plan[4].Renames());  // already has the name
}

std::vector<std::string> Listed(const std::string& folder) {
    std::vector<std::string> names = platform::ListMp3(folder);
    std::sort(names.begin(), names.end());
    return names;
}

// a.mp3 -> A.mp3 is case-only: renames 1 and 2; b -> x is 3, c -> y is 4,
// then the roll-back goes backwards: x -> b is 5, A -> temporary 6, temporary -> a 7.
TEST(RenameBatch, RollsBackWhenARenameFailsPartWay) {
    struct Case {
        std::set<int> failing;
        std::vector<naming::Outcome> outcomes;
        std::vector<std::string> after;
        const char* message;
    } cases[] = {
        {{}, {Renamed, Renamed, Renamed}, {"A.mp3", "x.mp3", "y.mp3"}, "3 files renamed."},
        {{4},
         {RenamedBack, RenamedBack, Failed},
         {"a.mp3", "b.mp3", "c.mp3"},
         "\"c.mp3\" to \"y.mp3\": Permission denied.\nNo file was renamed"},
        {{2}, {Failed, NotTried, NotTried}, {"a.mp3", "b.mp3", "c.mp3"}, "\"a.mp3\" to \"A.mp3\""},
        {{4, 5}, {RenamedBack, Stuck, Failed}, {"a.mp3", "c.mp3", "x.mp3"}, "1 file has neither"},
    };
    for (const Case& c : cases) {
        testing_mp3::TempDir dir;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
            testing_mp3::WriteFile(dir.File(name), {1});
        }
        const naming::Plan plan =
            naming::MakePlan({{"a.mp3", "A"}, {"b.mp3", "x"}, {"c.mp3", "y"}}, Listed(dir.Path()));
        renameCalls = 0;
        failingCalls = c.failing;
        const naming::BatchResult result = naming::RunPlan(dir.Path(), plan);
        failingCalls.clear();
        EXPECT_EQ(result.succeeded, c.failing.empty());
        for (size_t i = 0; i < c.outcomes.size(); ++i) {
            EXPECT_EQ(result.files[i].outcome, c.outcomes[i]) << i;
        }
        EXPECT_EQ(Listed(dir.Path()), c.after);
        EXPECT_TRUE(result.message.contains(QString::fromUtf8(c.message)))
            << result.message.toStdString();
    }
}

TEST(RenameBatch, UndoRenamesBackOnlyFilesAsTheBatchLeftThem) {
    struct Case {
        const char* change;
        const char* from;  // renamed to `to`, or removed when `to` is null
        const char* to;
        std::vector<std::string> after;
    } cases[] = {
        {"none", nullptr, nullptr, {"a.mp3", "b.mp3"}},
        {"replace", "new", "x.mp3", {"A.mp3", "x.mp3"}},
        {"remove", "x.mp3", nullptr, {"A.mp3"}},
        {"take old name", "new", "b.mp3", {"A.mp3", "b.mp3", "x.mp3"}},
    };
    for (const Case& c : cases) {
        testing_mp3::TempDir dir;
        for (const char* name : {"a.mp3", "b.mp3"}) {
            testing_mp3::WriteFile(dir.File(name), {1});
        }
        const naming::BatchResult done = naming::RunPlan(
            dir.Path(), naming::MakePlan({{"a.mp3", "A"}, {"b.mp3", "x"}}, Listed(dir.Path())));
        ASSERT_TRUE(done.succeeded);
        // A new file made while x.mp3 still exists cannot reuse its inode.
        testing_mp3::WriteFile(dir.File("new"), {3});
        if (c.from != nullptr) {
            c.to != nullptr ? std::rename(dir.File(c.from).c_str(), dir.File(c.to).c_str())
                            : std::remove(dir.File(c.from).c_str());
        }
        const naming::BatchResult undone = naming::UndoBatch(done.batch);
        EXPECT_EQ(undone.succeeded, c.from == nullptr) << c.change;
        EXPECT_EQ(undone.files[1].detail.isEmpty(), c.from == nullptr) << c.change;
        EXPECT_EQ(Listed(dir.Path()), c.after) << c.change;
    }
}

// One row over "song.mp3" whose title shows the unsaved edit "New"; a save
// gives what the case says.
class FakePage : public TPage {
  public:
    rows::TRowModel model;
    ScriptedDialogs dialogs;
    std::string folder;
    bool modified = true;
    bool saves = true;
    bool saveLeavesUnsaved = false;
    std::vector<std::unique_ptr<QAction>> actions;

    const rows::TRowModel& Model() const override { return model; }
    rows::TRowModel& Model() override { return model; }
    void RowChanged(int) override {}
    void ShowRestoredRow(int) override {}
    void SetValue(int k, bulk::Column column, const QString& text, bool) override {
        model.SetField(k, column, text);
    }
    int RowsInScope() const override { return 1; }
    std::optional<int> FocusedRow() const override { return std::nullopt; }
    bool Modified() const override { return modified; }
    int Kind() const override { return 2; }
    int WrittenVersion(int) const override { return 3; }
    QWidget* FileLabel(int) override { return nullptr; }
    void RowOfArea(const QWidget*, std::function<std::optional<int>()>) override {}
    void ShowRowMarks(int) override {}
    std::string Folder() const override { return folder; }
    int FileCount() const override { return 1; }
    int PageIndex() const override { return 0; }
    std::string RowFileName(int) const override { return "song.mp3"; }
    std::string RowFilePath(int) const override { return folder + "/song.mp3"; }
    bool SaveAll() override {
        modified = saveLeavesUnsaved;
        return saves;
    }
    void ReleaseFiles() override {}
    void Relist(const std::string&) override {}
    void RereadKeepingEdits() override {}
    void WithPlaybackSuspended(const std::function<void()>& change) override { change(); }
    QWidget* Window() override { return nullptr; }
    TDialogs& Dialogs() override { return dialogs; }
    void ShowStatus(const QString&) override {}
    void WrittenVersionChanged() override {}
    void EndFieldEdit() override {}
    void RunAsOneStep(const QString&, const std::function<void()>& change) override { change(); }
    QAction* AddCommand(const QString&, const QKeySequence&,
                        const std::function<void()>&) override {
        return actions.emplace_back(std::make_unique<QAction>()).get();
    }
    void AddSeparator() override {}
    QAction* OnlyInId3v2(QAction* command) override { return command; }
    void WhenPageShown(std::function<void()>) override {}
    void WhenKindShown(std::function<void()>) override {}
    void WhenRowChanged(std::function<void(int)>) override {}
    void WhenFieldTyped(std::function<void(int, bulk::Column)>) override {}
    void RowsRestored() override {}
    void WhenPicturesChanged(std::function<void(std::optional<int>, bool)>) override {}
};

// Files are named after the values shown, so a rename waits for a save that
// leaves no row unsaved: else the relisted page would drop the edits.
TEST(NamingPart, RenamesOnlyWhenTheSaveLeftNoRowUnsaved) {
    using enum TDialogs::Answer;
    struct Case {
        TDialogs::Answer answer;
        bool saves;
        bool leavesUnsaved;
        std::string onDisk;
        QString message;
    } cases[] = {
        {No, true, false, "song.mp3", ""},
        {Yes, false, false, "song.mp3", ""},
        {Yes, true, true, "song.mp3", "No file was renamed: some rows are still unsaved."},
        {Yes, true, false, "New.mp3", ""},
    };
    testing_mp3::StateFolder state;
    for (const Case& c : cases) {
        testing_mp3::TempDir dir;
        testing_mp3::WriteMp3(dir.File("song.mp3"));
        FakePage page;
        page.folder = dir.Path();
        page.saves = c.saves;
        page.saveLeavesUnsaved = c.leavesUnsaved;
        page.model.LoadRow(0, {QStringLiteral("Old")}, 0, false);
        page.model.SetField(0, bulk::Column::Title, QStringLiteral("New"));
        TNamingPart part(page);
        page.dialogs.QueueAnswer(c.answer);
        page.dialogs.QueueModal([](QDialog* dialog) {
            dialog->findChild<QComboBox*>("PatternBox")->setEditText(QStringLiteral("%{title}"));
            return QDialog::Accepted;
        });
        part.NamesFromTags();
        SCOPED_TRACE(c.onDisk + (c.saves ? " saves" : "") + (c.leavesUnsaved ? " unsaved" : ""));
        EXPECT_EQ(platform::ListMp3(dir.Path()), std::vector<std::string>{c.onDisk});
        EXPECT_EQ(page.dialogs.Messages().value(0), c.message);
        EXPECT_EQ(page.actions.back()->isEnabled(), c.onDisk == "New.mp3");
    }
}

}  // namespace
