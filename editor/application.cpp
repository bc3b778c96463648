// The general error report: exceptions leaving event handlers end up here.
#include "editor/application.h"

#include <exception>

#include "editor/dialogs.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (dialogs_ != nullptr) {
            dialogs_->Error(activeWindow(), QString::fromLocal8Bit(error.what()));
        }
    } catch (...) {
        if (dialogs_ != nullptr) {
            dialogs_->Error(activeWindow(), QStringLiteral("An unexpected error occurred."));
        }
    }
    return false;
}
