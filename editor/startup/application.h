// The application object and the general error report: an exception that
// ends a command is shown in an error box; the command ends there with the
// state it had changed so far.
#pragma once

#include <QApplication>
#include <utility>

class TDialogs;

class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    // The seam the general error report shows its box through.
    void SetDialogs(TDialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;
    // A control's hint shows pauseMs after the pointer comes to rest on it and
    // stays hidePauseMs.
    void SetHintTimings(int pauseMs, int hidePauseMs);

    // Shows the exception being handled in an error box.
    void ReportCurrentException();

  private:
    TDialogs* dialogs_ = nullptr;
    int hintHidePause_ = -1;
};

// Shows the exception being handled through the running TApplication.
void ReportCurrentException();

// Wraps a command for a signal connection. The exception is reported here,
// before it can unwind through Qt's event delivery, which is not exception
// safe (it leaks the event's bookkeeping). notify remains the net for events.
template <typename Command>
auto Guarded(Command command) {
    return [command = std::move(command)]() {
        try {
            command();
        } catch (...) {
            ReportCurrentException();
        }
    };
}
