// The general error report: exceptions leaving event handlers end up here.
// The application also keeps the hint timings.
#include "editor/startup/application.h"

#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>
#include <exception>

#include "editor/dialogs/dialogs.h"

namespace {

// The style's own look with the program's pause before a hint shows.
class THintStyle : public QProxyStyle {
  public:
    explicit THintStyle(int pauseMs) : pauseMs_(pauseMs) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return pauseMs_;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

  private:
    int pauseMs_;
};

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplication::SetHintTimings(int pauseMs, int hidePauseMs) {
    setStyle(new THintStyle(pauseMs));
    hintHidePause_ = hidePauseMs;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        // A widget's plain hint stays for the program's hide pause.
        if (event->type() == QEvent::ToolTip && hintHidePause_ >= 0 && receiver->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(receiver);
            if (!widget->toolTip().isEmpty() && widget->toolTipDuration() < 0) {
                const auto* help = static_cast<QHelpEvent*>(event);
                QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(),
                                   hintHidePause_);
                return true;
            }
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
    }
    return false;
}

void TApplication::ReportCurrentException() {
    QString text = QStringLiteral("An unexpected error occurred.");
    try {
        throw;
    } catch (const std::exception& error) {
        text = QString::fromLocal8Bit(error.what());
    } catch (...) {
    }
    if (dialogs_ != nullptr) {
        dialogs_->Error(activeWindow(), text);
    }
}

void ReportCurrentException() {
    if (auto* application = dynamic_cast<TApplication*>(QCoreApplication::instance())) {
        application->ReportCurrentException();
    }
}
