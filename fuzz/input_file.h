// The file a fuzz target writes its input to, so the library loads it as it
// loads any MP3 file: one per process, in memory-backed storage when there is
// some, removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_input {

struct InputFile {
    InputFile() {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/tagvora-fuzz-" + std::to_string(getpid()) + ".mp3";
    }
    ~InputFile() { std::remove(path.c_str()); }
    std::string path;
};

inline const std::string& InputPath() {
    static const InputFile file;
    return file.path;
}

// Writes the bytes to InputPath(); a file that cannot be written stops the run.
inline void WriteInput(const uint8_t* data, size_t size) {
    FILE* out = std::fopen(InputPath().c_str(), "wb");
    if (out == nullptr) {
        std::abort();
    }
    std::fwrite(data, 1, size, out);
    std::fclose(out);
}

}  // namespace fuzz_input
