// A main window over generated MP3 files in a temporary folder, with scripted
// dialogs and a fake media device, for the window tests.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "editor/about_dialog.h"
#include "editor/form1.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/fake_media_device.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/scripted_dialogs.h"

namespace testing_mp3 {

// A 128-byte ID3v1.1 record; texts are cut or zero-filled to their fields.
Bytes V1Record(const std::string& title, const std::string& artist, const std::string& album,
               const std::string& year, const std::string& comment, uint8_t track, uint8_t genre);

}  // namespace testing_mp3

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

    Tid3v2tag Tag;
    ScriptedDialogs Dialogs;
    FakeMediaDevice Media;
    testing_mp3::TempDir Dir;
    std::unique_ptr<TForm1> Window;
    std::unique_ptr<TAboutDlg> About;
};
