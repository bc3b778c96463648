// Start-up: the tag object, the application, the windows, the message loop.
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <memory>
#include <optional>

#include "editor/dialogs/about_dialog.h"
#include "editor/dialogs/dialogs.h"
#include "editor/dialogs/form2.h"
#include "editor/startup/application.h"
#include "editor/startup/command_line.h"
#include "editor/startup/interrupted_saves.h"
#include "editor/window/form1.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

int main(int argc, char** argv) {
    // --help and --version are answered before the application needs a display.
    if (const std::optional<int> answered = command_line::AnswerEarly(argc, argv)) {
        return *answered;
    }
    // The one tag object lives for the whole run and is freed last.
    auto tag = std::make_unique<Tid3v2tag>();

    TApplication application(argc, argv);
    application.SetHintTimings(10, 5000);
    // Only the name: a display name would be appended to every window caption.
    QApplication::setApplicationName(QStringLiteral("Tagvora"));
    TMessageBoxDialogs dialogs;
    application.SetDialogs(&dialogs);
    const command_line::Request request = command_line::Read(QApplication::arguments());
    if (request.exitCode) {
        return *request.exitCode;
    }
    RepairInterruptedSaves(dialogs);
    auto media = platform::CreateMpg123Device();

    TForm1 form1(*tag, dialogs, *media);
    TForm2 form2(&form1);
    form1.SetForm2(&form2);
    TAboutDlg about(&form1);
    form1.SetAboutDlg(&about);

    // The window keeps the normal size it gave itself, centred on the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        form1.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, form1.size(),
                                              screen->availableGeometry()));
    }
    form1.showMaximized();
    form1.OpenStartFolder(request.named);
    return application.exec();
}
