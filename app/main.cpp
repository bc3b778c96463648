// Start-up: the tag object, the application, the windows, the message loop.
#include <memory>

#include "editor/application.h"
#include "editor/dialogs.h"
#include "editor/form1.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

int main(int argc, char** argv) {
    auto tag = std::make_unique<Tid3v2tag>();
    TApplication application(argc, argv);
    TMessageBoxDialogs dialogs;
    application.SetDialogs(&dialogs);
    auto media = platform::CreateMpg123Device();
    TForm1 form1(*tag, dialogs, *media);
    form1.show();
    return application.exec();
}
