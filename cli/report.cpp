// Per-file reports and the stop between files.
#include "cli/report.h"

#include <csignal>

#include "cli/json.h"

namespace cli {

namespace {

// Set by the signal handler only; a handler may touch nothing else.
volatile std::sig_atomic_t interruptAsked = 0;

extern "C" void AskToStop(int) {
    interruptAsked = 1;
}

}  // namespace

void TReport::Fail(const std::string& file, const std::string& reason) {
    errors_ << PrintableText(file) << ": " << PrintableText(reason) << '\n';
    failed_ = true;
}

void TReport::Note(const std::string& file, const std::string& text) {
    errors_ << PrintableText(file) << ": " << PrintableText(text) << '\n';
}

void WatchForInterrupt() {
    struct sigaction action {};
    action.sa_handler = AskToStop;
    sigemptyset(&action.sa_mask);
    // A read or write in progress goes on after the handler, which only sets
    // the flag: a save is never cut short.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptAsked() {
    return interruptAsked != 0;
}

void ForEachFile(const std::vector<std::string>& files, TReport& report,
                 const std::function<void(const std::string&)>& handle) {
    for (size_t i = 0; i < files.size(); ++i) {
        if (InterruptAsked()) {
            report.Fail("tagvora-cli", "interrupted; " + std::to_string(files.size() - i) +
                                           " file(s) not done, from " + files[i]);
            return;
        }
        handle(files[i]);
    }
}

}  // namespace cli
