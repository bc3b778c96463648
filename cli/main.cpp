// tagvora-cli: the tag editor's commands for scripts and shells. The command
// line is checked in full first; a usage error writes nothing and exits 2.
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/report.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::TParsed parsed = cli::ParseArguments(arguments);
    if (!parsed.options) {
        if (parsed.error.empty()) {
            std::cout << parsed.output;
            return cli::kExitOk;
        }
        std::cerr << "tagvora-cli: " << parsed.error << "\nTry 'tagvora-cli --help'.\n";
        return cli::kExitUsage;
    }
    cli::WatchForInterrupt();
    cli::TReport report(std::cerr);
    return cli::RunCommand(*parsed.options, std::cout, report);
}
