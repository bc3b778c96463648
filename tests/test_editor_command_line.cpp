// The command line (--help, --version, a folder or file to open) and the
// choice of the folder the window opens at.
#include <gtest/gtest.h>

#include <QDir>
#include <optional>

#include "editor/startup/command_line.h"
#include "editor/startup/start_folder.h"
#include "tests/helpers/mp3_files.h"

struct CommandLineCase {
    QStringList arguments;
    bool beforeApplication;
    std::optional<int> exitCode;
    QString outputStart;  // empty: no output
    QString named;
};

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, AnswersOrNamesTheFolder) {
    const CommandLineCase& c = GetParam();
    const command_line::Request request = command_line::Parse(c.arguments, c.beforeApplication);
    EXPECT_EQ(request.exitCode, c.exitCode);
    EXPECT_EQ(request.output.left(c.outputStart.size()), c.outputStart);
    EXPECT_EQ(request.output.isEmpty(), c.outputStart.isEmpty());
    EXPECT_EQ(request.named, c.named);
}

using Case = CommandLineCase;
INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    ::testing::Values(
        Case{{"/usr/bin/tagvora", "--help"}, true, 0, "Usage: tagvora [options] [folder]\n", {}},
        Case{{"tagvora", "--version"}, true, 0, "Tagvora 1.4\n", {}},
        // Qt's -reverse is no -v; before the application, unknown words wait.
        Case{{"tagvora", "-reverse", "/"}, true, std::nullopt, {}, {}},
        Case{{"tagvora", "/"}, false, std::nullopt, {}, "/"},
        Case{
            {"tagvora", "/no/such"}, false, std::nullopt, "tagvora: /no/such: no such", "/no/such"},
        Case{{"tagvora", "--bogus"}, false, 1, "tagvora: Unknown option 'bogus'.", {}},
        Case{{"tagvora", "/a", "/b"}, false, 1, "tagvora: only one folder", {}}));

TEST(StartFolder, NamedFolderOrFilesFolderThenRememberedThenHome) {
    testing_mp3::TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    const QString file = QString::fromStdString(dir.File("a.mp3"));
    testing_mp3::WriteMp3(file.toStdString());
    const QString gone = QString::fromStdString(dir.File("gone"));
    EXPECT_EQ(start_folder::Choose(folder + "/", gone), folder);
    EXPECT_EQ(start_folder::Choose(file, gone), folder);
    EXPECT_EQ(start_folder::Choose(gone, folder), folder);
    EXPECT_EQ(start_folder::Choose(gone, file), QDir::homePath());
}
