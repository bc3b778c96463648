// The window fixture.
#include "tests/helpers/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "editor/startup/application.h"

namespace testing_mp3 {

Bytes V1Record(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, const std::string& comment, uint8_t track, uint8_t genre) {
    Bytes record(128, 0);
    auto put = [&record](size_t at, const std::string& text, size_t width) {
        std::copy_n(text.begin(), std::min(text.size(), width), record.begin() + at);
    };
    put(0, "TAG", 3);
    put(3, title, 30);
    put(33, artist, 30);
    put(63, album, 30);
    put(93, year, 4);
    put(97, comment, 28);
    record[126] = track;
    record[127] = genre;
    return record;
}

}  // namespace testing_mp3

QObject* FindControl(const QObject& window, const QString& name, const QMetaObject& type) {
    for (QObject* found : window.findChildren<QObject*>(name)) {
        if (!found->metaObject()->inherits(&type)) {
            continue;
        }
        // A dialog owned by the window has controls of the same names.
        const QObject* parent = found->parent();
        while (parent != &window && qobject_cast<const QDialog*>(parent) == nullptr) {
            parent = parent->parent();
        }
        if (parent == &window) {
            return found;
        }
    }
    throw std::logic_error("no " + std::string(type.className()) + " named " + name.toStdString());
}

void TypeText(const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
}

TForm1State TForm1TestAccess::State(TForm1& form) {
    return {form.TagKind,      form.FolderPath,   form.FileList,      form.PageIndex,
            form.PageModified, form.ShiftClick,   form.DragScrolling, form.Playing,
            form.PlayingPath,  form.MarqueeOffset};
}

void WindowFixture::SetUp() {
    static_cast<TApplication*>(qApp)->SetDialogs(&Dialogs);
    Window = std::make_unique<TForm1>(Tag, Dialogs, Media);
    About = std::make_unique<TAboutDlg>();
    Window->SetAboutDlg(About.get());
}

QAction* WindowFixture::Command(const QString& start) const {
    for (QAction* action : Find<QMenu>("CommandMenu")->actions()) {
        if (action->text().startsWith(start)) {
            return action;
        }
    }
    throw std::logic_error("no command " + start.toStdString());
}

void WindowFixture::RunNaming(const QString& start, const QString& pattern, bool underscores) {
    Dialogs.QueueModal([pattern, underscores](QDialog* dialog) {
        dialog->findChild<QComboBox*>("PatternBox")->setEditText(pattern);
        if (auto* box = dialog->findChild<QCheckBox*>("UnderscoresBox")) {
            box->setChecked(underscores);
        }
        return QDialog::Accepted;
    });
    Command(start)->trigger();
}

void WindowFixture::TearDown() {
    Window.reset();
    About.reset();
    static_cast<TApplication*>(qApp)->SetDialogs(nullptr);
}

void WindowFixture::MakeFiles(int count, bool v1Records) {
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "song%03d.mp3", i);
        testing_mp3::Bytes suffix;
        if (v1Records) {
            suffix =
                testing_mp3::V1Record("Title " + std::to_string(i), "Artist " + std::to_string(i),
                                      "Album", "2001", "Comment", static_cast<uint8_t>(i + 1), 17);
        }
        testing_mp3::WriteMp3(Dir.File(name), {}, 2, suffix);
    }
}

void WindowFixture::OpenFolder() {
    OpenFolder(Dir.Path());
}

void WindowFixture::OpenFolder(const std::string& path) {
    Window->show();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    ASSERT_TRUE(Window->SelectFolder(QString::fromStdString(path)));
}

void WindowFixture::OpenWindow(int count, bool v1Records) {
    MakeFiles(count, v1Records);
    OpenFolder();
}
