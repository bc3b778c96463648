// Runs the mutagen script and parses its lines (format in mutagen_frames.py).
#include "tests/helpers/mutagen_reader.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace testing_mp3 {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

struct Run {
    int status = -1;  // exit status, or -1 when the program did not run or end normally
    std::string output;
};

// Runs the script with its arguments and collects its standard output; its
// standard error goes to the test's.
Run RunScript(std::string script, std::vector<std::string> arguments) {
    Run run;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::string python = kPython;
    std::vector<char*> argv = {python.data(), script.data()};
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, kPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned == 0) {
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
            if (got > 0) {
                run.output.append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                break;
            }
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::close(fds[0]);
    return run;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

Bytes BytesFromHex(const std::string& hex) {
    const std::string bytes = FromHex(hex);
    return Bytes(bytes.begin(), bytes.end());
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::istringstream in(line);
    std::string part;
    while (std::getline(in, part, '\t')) {
        parts.push_back(part);
    }
    if (!line.empty() && line.back() == '\t') {
        parts.emplace_back();
    }
    return parts;
}

}  // namespace

std::string MutagenFrame::Field(const std::string& name) const {
    const auto found = fields.find(name);
    return found == fields.end() || found->second.empty() ? std::string() : found->second.front();
}

std::vector<std::string> MutagenTag::Ids() const {
    std::vector<std::string> ids;
    for (const MutagenFrame& frame : frames) {
        ids.push_back(frame.id);
    }
    return ids;
}

const MutagenFrame& MutagenTag::Find(const std::string& id) const {
    for (const MutagenFrame& frame : frames) {
        if (frame.id == id) {
            return frame;
        }
    }
    throw std::out_of_range("mutagen read no " + id + " frame");
}

std::string MutagenMissing() {
    static const std::string missing = [] {
        if (::access(kPython, X_OK) != 0) {
            return std::string(kPython) + " is missing";
        }
        return RunScript(TAGVORA_MUTAGEN_SCRIPT, {"--check"}).status == 0
                   ? std::string()
                   : std::string("mutagen is missing (Debian package python3-mutagen)");
    }();
    return missing;
}

MutagenTag ReadWithMutagen(const std::string& path) {
    MutagenTag tag;
    const Run run = RunScript(TAGVORA_MUTAGEN_SCRIPT, {path});
    if (run.status != 0) {
        tag.error = "mutagen script failed with status " + std::to_string(run.status);
        return tag;
    }
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        const std::vector<std::string> parts = SplitTabs(line);
        if (parts[0] == "tag" && parts.size() == 5) {
            tag.found = true;
            tag.version = std::stoi(parts[1]);
            tag.revision = std::stoi(parts[2]);
            tag.flags = std::stoi(parts[3]);
            tag.padding = static_cast<uint32_t>(std::stoul(parts[4]));
        } else if (parts[0] == "error" && parts.size() >= 2) {
            tag.error = parts[1];
        } else if (parts[0] == "extended" && parts.size() == 2) {
            tag.extended = BytesFromHex(parts[1]);
        } else if (parts[0] == "frame" && parts.size() == 4) {
            tag.frames.push_back({parts[1], parts[2], BytesFromHex(parts[3]), {}});
        } else if (parts[0] == "field" && parts.size() == 3 && !tag.frames.empty()) {
            tag.frames.back().fields[parts[1]].push_back(FromHex(parts[2]));
        }
    }
    return tag;
}

std::vector<std::vector<std::string>> PeerGenres(const std::vector<std::string>& arguments) {
    const Run run = RunScript(std::string(TAGVORA_HELPERS_DIR) + "/peer_genres.py", arguments);
    std::vector<std::vector<std::string>> lines;
    std::istringstream output(run.status == 0 ? run.output : std::string());
    for (std::string line; std::getline(output, line);) {
        lines.push_back(SplitTabs(line));
    }
    return lines;
}

int RunHelperScript(const std::string& name, const std::vector<std::string>& arguments) {
    return RunScript(std::string(TAGVORA_HELPERS_DIR) + "/" + name, arguments).status;
}

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string utf8;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return utf8;
}

}  // namespace testing_mp3
