// A main window over generated MP3 files in a temporary folder, with scripted
// dialogs and a fake media device, for the window tests; and how tests reach a
// window's controls (by object name) and the main window's state.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "editor/dialogs/about_dialog.h"
#include "editor/window/form1.h"
#include "editor/window/form1_parts.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/fake_media_device.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/scripted_dialogs.h"

namespace testing_mp3 {

// A 128-byte ID3v1.1 record; texts are cut or zero-filled to their fields.
Bytes V1Record(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, const std::string& comment, uint8_t track, uint8_t genre);

}  // namespace testing_mp3

// The control of class T named `name` in the window, passing over the controls
// of dialogs that the window owns; throws when the window has none.
QObject* FindControl(const QObject& window, const QString& name, const QMetaObject& type);
template <typename T>
T* Control(const QObject& window, const QString& name) {
    return static_cast<T*>(FindControl(window, name, T::staticMetaObject));
}

// Types each character into the focused widget as one key press carrying that
// text (QTest's own typing knows only ASCII).
void TypeText(const QString& text);

// The main window's state, for tests to read and to set up a case.
struct TForm1State {
    int& TagKind;
    std::string& FolderPath;
    std::vector<std::string>& FileList;
    int& PageIndex;
    bool& PageModified;
    bool& ShiftClick;
    bool& DragScrolling;
    bool& Playing;
    std::string& PlayingPath;
    int& MarqueeOffset;
};

struct TForm1TestAccess {
    static TForm1State State(TForm1& form);
    static TPreferencesPart& Preferences(TForm1& form) { return *form.parts_->preferences; }
};

class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes count files named "song000.mp3", "song001.mp3"... into Dir; with
    // v1Records each ends with a record titled "Title <i>", artist "Artist <i>",
    // album "Album", year 2001, comment "Comment", track i + 1, genre 17 (Rock).
    void MakeFiles(int count, bool v1Records = false);
    // Shows and activates the window, then selects Dir as a click in the tree does.
    void OpenFolder();
    void OpenFolder(const std::string& path);
    // Both: count files, then the folder opened.
    void OpenWindow(int count, bool v1Records = false);
    std::string PathOf(const std::string& name) const { return Dir.File(name); }
    template <typename T>
    T* Find(const QString& name) const {
        return Control<T>(*Window, name);
    }
    TForm1State State() const { return TForm1TestAccess::State(*Window); }
    TPreferencesPart& Prefs() const { return TForm1TestAccess::Preferences(*Window); }
    // The first action of the Command menu whose text starts with `start`.
    QAction* Command(const QString& start) const;
    // Triggers the naming command `start` with `pattern` entered in its dialog.
    void RunNaming(const QString& start, const QString& pattern, bool underscores = false);

    Tid3v2tag Tag;
    ScriptedDialogs Dialogs;
    FakeMediaDevice Media;
    testing_mp3::TempDir Dir;
    std::unique_ptr<TForm1> Window;
    std::unique_ptr<TAboutDlg> About;
};
