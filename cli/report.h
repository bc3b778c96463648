// What a command tells about each file on standard error ("FILE: reason"),
// whether any file failed, and the stop asked for by Ctrl+C, which a command
// honours between files so that no save is cut short.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

// The exit status of a run: all went well, some file failed, the command
// line was not understood (nothing was written).
constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

class TReport {
  public:
    explicit TReport(std::ostream& errors) : errors_(errors) {}
    // The file could not be done; the run ends with kExitFileFailed.
    void Fail(const std::string& file, const std::string& reason);
    // Something the user should know about a file that was done.
    void Note(const std::string& file, const std::string& text);
    bool Failed() const { return failed_; }
    int ExitCode() const { return failed_ ? kExitFileFailed : kExitOk; }

  private:
    std::ostream& errors_;
    bool failed_ = false;
};

// From now on SIGINT (Ctrl+C) asks the running command to stop.
void WatchForInterrupt();
bool InterruptAsked();

// Calls `handle` for each file in turn until a stop is asked; the files not
// reached are then counted in one failure report.
void ForEachFile(const std::vector<std::string>& files, TReport& report,
                 const std::function<void(const std::string&)>& handle);

}  // namespace cli
