// The application object. Its notify override is the one place where an
// exception that leaves an event handler is caught and shown in an error box;
// the command ends there with the state it had changed so far.
#pragma once

#include <QApplication>

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

private:
    TDialogs* dialogs_ = nullptr;
    int hintHidePause_ = -1;
};
