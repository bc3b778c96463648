// The command line: "tagvora [folder]", where the folder may also be a file
// whose folder is meant (a file manager's "Open with" passes either), and
// --help and --version, which print their text and end the program.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace command_line {

struct Request {
    // Set when the program ends at once with this code, after printing output.
    std::optional<int> exitCode;
    // Printed on standard output when the code is 0 (help, version), else on
    // standard error (errors, and warnings when the program goes on).
    QString output;
    // The folder or file named; empty when none.
    QString named;
};

// Reads the arguments, the program's path first. Before the application has
// taken its own options (-platform, -style ...) an unknown option or a second
// argument may still be one of them, so only --help and --version are answered.
Request Parse(const QStringList& arguments, bool beforeApplication);

// Answers --help and --version before the application is created, so that
// they work without a display. Returns the exit code when the program ends.
std::optional<int> AnswerEarly(int argc, char** argv);
// After the application took its own options: the request, its text printed.
Request Read(const QStringList& arguments);

}  // namespace command_line
