// Parsing the command line with QCommandLineParser; the texts printed are the
// program's own (usage line, version line, errors in the "program: error" form).
#include "editor/startup/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "editor/startup/start_folder.h"
#include "editor/version.h"

namespace command_line {

namespace {

QString ProgramName(const QStringList& arguments) {
    return arguments.isEmpty() ? QStringLiteral("tagvora")
                               : QFileInfo(arguments.first()).fileName();
}

Request Failure(const QString& program, const QString& error) {
    return {1,
            QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, error),
            {}};
}

void Print(const Request& request) {
    if (!request.output.isEmpty()) {
        std::fputs(request.output.toLocal8Bit().constData(),
                   request.exitCode == 0 ? stdout : stderr);
    }
}

}  // namespace

Request Parse(const QStringList& arguments, bool beforeApplication) {
    const QString program = ProgramName(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the ID3v1.1 and ID3v2 tags of the MP3 files of a folder.\n"
                       "Without a folder it opens the folder of the last run, or the home "
                       "folder."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The folder to open, or an MP3 file in it."),
                                 QStringLiteral("[folder]"));
    // Qt's own options are single-dash words (-reverse, -style); none may read as -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        // Qt's usage line names the path the program was started by.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'),
                     QStringLiteral("Usage: %1 [options] [folder]").arg(program));
        return {0, text, {}};
    }
    if (parser.isSet(version)) {
        return {0, QStringLiteral("Tagvora %1\n").arg(QLatin1String(tagvora::kVersion)), {}};
    }
    if (beforeApplication) {
        return {};
    }
    if (!parsed) {
        return Failure(program, parser.errorText());
    }
    const QStringList named = parser.positionalArguments();
    if (named.size() > 1) {
        return Failure(program, QStringLiteral("only one folder can be opened"));
    }
    Request request{std::nullopt, {}, named.value(0)};
    if (!request.named.isEmpty() && start_folder::FolderOf(request.named).isEmpty()) {
        // The window still opens, at the folder it would open without one.
        request.output =
            QStringLiteral("%1: %2: no such folder or file\n").arg(program, request.named);
    }
    return request;
}

std::optional<int> AnswerEarly(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const Request request = Parse(arguments, true);
    Print(request);
    return request.exitCode;
}

Request Read(const QStringList& arguments) {
    const Request request = Parse(arguments, false);
    Print(request);
    return request;
}

}  // namespace command_line
