// The command the options name, run.
#include "cli/commands.h"

namespace cli {

int RunCommand(const TOptions& options, std::ostream& out, TReport& report) {
    switch (options.command) {
        case Command::Show:
            return RunShow(options, out, report);
        case Command::Set:
            return RunSet(options, out, report);
        case Command::Picture:
            return RunPicture(options, out, report);
        case Command::Remove:
            return RunRemove(options, out, report);
        case Command::Convert:
            return RunConvert(options, out, report);
        case Command::Copy:
            return RunCopy(options, out, report);
        case Command::FromNames:
            return RunFromNames(options, out, report);
        case Command::Rename:
            return RunRename(options, out, report);
    }
    return kExitUsage;
}

}  // namespace cli
