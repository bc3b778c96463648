// Test entry for window tests: an offscreen TApplication that lives for the
// whole run, with a private runtime folder to keep Qt quiet and to hold the
// settings the window writes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "editor/startup/application.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string runtime = (std::filesystem::temp_directory_path() / "tagvora-xdg-XXXXXX").string();
    if (::mkdtemp(runtime.data()) != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // Settings the window keeps between runs stay out of the user's own.
        ::setenv("XDG_CONFIG_HOME", (runtime + "/config").c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code error;
    std::filesystem::remove_all(runtime, error);
    return result;
}
