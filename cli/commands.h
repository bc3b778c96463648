// The commands of tagvora-cli as functions: each takes the checked options,
// writes what it shows to `out` and its per-file reports to the report, and
// returns the exit status. main() and the benchmarks call them alike.
#pragma once

#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "cli/report.h"

namespace cli {

int RunShow(const TOptions& options, std::ostream& out, TReport& report);
int RunSet(const TOptions& options, std::ostream& out, TReport& report);
int RunPicture(const TOptions& options, std::ostream& out, TReport& report);
int RunRemove(const TOptions& options, std::ostream& out, TReport& report);
int RunConvert(const TOptions& options, std::ostream& out, TReport& report);
int RunCopy(const TOptions& options, std::ostream& out, TReport& report);
int RunFromNames(const TOptions& options, std::ostream& out, TReport& report);
int RunRename(const TOptions& options, std::ostream& out, TReport& report);

// Writes the assignments of the options into one file that can be read, as
// `set` does: only a file whose values change is written.
void SetFileValues(const std::string& path, const TOptions& options, TReport& report);

// The command the options name.
int RunCommand(const TOptions& options, std::ostream& out, TReport& report);

}  // namespace cli
