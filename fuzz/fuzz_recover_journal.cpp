// Fuzzes the start-up recovery: the input makes a file and a journal of a save
// of it (see journal_input.h) under a private state folder, and the recovery
// runs over them. The journal names the file and its header checksum holds, so
// that mutations reach the checks behind it. The folder can keep journals and
// files from one input to the next, and the journals left there can be cut or
// grown before the next recovery, as another program might. Nothing may
// crash, the file may not grow beyond what a save of it could make, and a
// file the recovery leaves alone keeps its bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <zlib.h>

#include "fuzz/journal_input.h"
#include "id3v2/frames/crc32.h"
#include "id3v2/journal/journal.h"
#include "id3v2/recovery.h"
#include "platform/state_folder.h"

namespace {

using namespace fuzz_journal;

constexpr uint64_t kMaxFile = 1u << 18;
constexpr uint64_t kMaxJournal = 1u << 22;
constexpr uint32_t kMaxChunk = 64u << 20;
constexpr size_t kHeaderRoom = 16384;
constexpr int64_t kPage = 4096;

// A private folder per process, in memory-backed storage when there is some,
// holding the file and the state folder; removed when the process ends.
struct Scratch {
    Scratch() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        folder = std::string(base) + "/tagvora-fuzz-recover-" + std::to_string(getpid());
        std::filesystem::create_directories(folder + "/state");
        setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string Song(uint8_t flags) const {
        return folder + "/song" + std::to_string((flags >> kFileNameShift) % kFileNames) + ".mp3";
    }

    std::string folder;
    // The files earlier inputs left, with the bytes they were left with.
    std::map<std::string, std::vector<uint8_t>> kept;
};

Scratch& Paths() {
    static Scratch scratch;
    return scratch;
}

template <typename T>
T Get(const uint8_t* at) {
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        value |= uint64_t{at[i]} << (8 * i);
    }
    return static_cast<T>(value);
}

template <typename T>
void Put(uint8_t* at, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) {
        at[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    }
}

uint32_t HeaderCrc(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    UpdateCrc32(data, size, crc);
    return crc;
}

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

// The input's file and journal: sizes, and the runs of bytes for each.
struct Input {
    uint8_t flags = 0;
    uint64_t size[2] = {0, 0};
    std::vector<uint8_t> bytes[2];
};

Input Parse(const uint8_t* data, size_t size) {
    Input input;
    if (size < kSizesEnd) {
        return input;
    }
    input.flags = data[0];
    input.size[0] = std::min<uint64_t>(Get<uint32_t>(data + 1), kMaxFile);
    input.size[1] = std::min<uint64_t>(Get<uint32_t>(data + 5), kMaxJournal);
    // The journal is sparse on the disk; only its head is kept in memory.
    input.bytes[0].assign(input.size[0], 0);
    input.bytes[1].assign(std::min<uint64_t>(input.size[1], kMaxFile), 0);
    for (size_t at = kSizesEnd; at + kRunHead <= size;) {
        const int which = data[at] & 1;
        const uint64_t offset = Get<uint32_t>(data + at + 1);
        const size_t length = std::min<size_t>(Get<uint16_t>(data + at + 5), size - at - kRunHead);
        std::vector<uint8_t>& target = input.bytes[which];
        if (offset < target.size()) {
            const size_t count = std::min<size_t>(length, target.size() - offset);
            std::copy_n(data + at + kRunHead, count,
                        target.begin() + static_cast<ptrdiff_t>(offset));
        }
        at += kRunHead + length;
    }
    return input;
}

// Makes the checksum of the new tag right, where the header places it in the journal.
void SetTagCrc(std::vector<uint8_t>& journal) {
    const auto tag = Get<int64_t>(journal.data() + kTagAt);
    const auto tagSize = Get<uint64_t>(journal.data() + kTagSizeAt);
    if (tag >= 0 && tagSize <= journal.size() &&
        static_cast<uint64_t>(tag) <= journal.size() - tagSize) {
        Put(journal.data() + kTagCrcAt, HeaderCrc(journal.data() + tag, tagSize));
    }
}

// Makes the checksums of both step slots right, where the header places them.
void SetStepCrcs(std::vector<uint8_t>& journal) {
    const auto chunk = Get<uint32_t>(journal.data() + kChunkAt);
    const auto slots = Get<int64_t>(journal.data() + kSlotsAt);
    if (chunk > kMaxChunk || slots < 0 || static_cast<uint64_t>(slots) > journal.size()) {
        return;
    }
    const int64_t slotData = (int64_t{chunk} + kPage - 1) / kPage * kPage;
    for (int64_t slot = 0; slot < 2; ++slot) {
        const int64_t at = slots + slot * (slotData + kPage) + slotData;
        if (at + kStepTrailer > static_cast<int64_t>(journal.size())) {
            continue;
        }
        uint8_t* trailer = journal.data() + at;
        const auto length = Get<uint32_t>(trailer + kStepLengthAt);
        if ((journal[kDurableAt] & 1) != 0 && length <= chunk &&
            length <= static_cast<uint64_t>(at)) {
            Put(trailer + kStepBytesCrcAt,
                static_cast<uint32_t>(::crc32(0, trailer - length, static_cast<uInt>(length))));
        }
        Put(trailer + kStepCrcAt, HeaderCrc(trailer, kStepCrcAt));
    }
}

// Names the file in the journal and makes the header checksum right, where
// the header's fields lie in the journal's head.
void SetHeader(std::vector<uint8_t>& journal, const platform::FileIdentity& identity,
               const std::string& path) {
    Put(journal.data() + kIdentityAt, identity.device);
    Put(journal.data() + kIdentityAt + 8, identity.inode);
    size_t at = kFieldsAt;
    for (int field = 0; field < 3 && at < journal.size(); ++field) {
        at += 1 + std::min<size_t>(journal[at], 16);
    }
    const size_t end = at + 4 + path.size() + 4;
    if (end > std::min(journal.size(), kHeaderRoom)) {
        return;
    }
    // A longer forged path is cut back to the file's, with zeros after it.
    const uint64_t oldEnd =
        std::min<uint64_t>(at + 4 + uint64_t{Get<uint32_t>(journal.data() + at)} + 4,
                           std::min(journal.size(), kHeaderRoom));
    if (oldEnd > end) {
        std::fill(journal.begin() + static_cast<ptrdiff_t>(end),
                  journal.begin() + static_cast<ptrdiff_t>(oldEnd), 0);
    }
    Put(journal.data() + at, static_cast<uint32_t>(path.size()));
    std::copy(path.begin(), path.end(), journal.begin() + static_cast<ptrdiff_t>(at + 4));
    Put(journal.data() + end - 4, HeaderCrc(journal.data(), end - 4));
}

void WriteSparse(const std::string& path, const std::vector<uint8_t>& head, uint64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Check(fd >= 0);
    Check(::ftruncate(fd, static_cast<off_t>(size)) == 0);
    Check(::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()));
    ::close(fd);
}

std::vector<uint8_t> ReadAll(const std::string& path, size_t size) {
    std::vector<uint8_t> bytes(size);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    Check(fd >= 0);
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    Check(got >= 0);
    bytes.resize(static_cast<size_t>(got));
    return bytes;
}

// Cuts or grows every journal but `current` in the folder, by a length the input steers.
void ChangeLeftovers(const std::string& folder, const std::string& current, const Input& input) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string path = entry.path().string();
        const uint64_t size = entry.file_size(ignored);
        if (path == current || ignored) {
            continue;
        }
        const uint64_t length = (input.flags & kCutLeftovers) != 0 ? input.size[1] % (size + 1)
                                                                   : size + input.size[0] + 1;
        Check(::truncate(path.c_str(), static_cast<off_t>(length)) == 0);
    }
}

// Files that no recovery result claims to have changed keep the bytes they
// had; those that one changed are taken as they are now.
void CheckLeftAlone(std::map<std::string, std::vector<uint8_t>>& kept,
                    const std::vector<id3v2::RecoveredFile>& recovered) {
    using Outcome = id3v2::RecoveredFile::Outcome;
    std::map<std::string, bool> changed;
    for (const id3v2::RecoveredFile& file : recovered) {
        changed[file.path] = changed[file.path] || file.outcome == Outcome::Completed ||
                             file.outcome == Outcome::PutBack || file.outcome == Outcome::Failed;
    }
    for (const auto& [path, wasChanged] : changed) {
        const auto found = kept.find(path);
        if (found == kept.end()) {
            continue;
        }
        if (wasChanged) {
            struct stat st {};
            Check(::stat(path.c_str(), &st) == 0);
            found->second = ReadAll(path, static_cast<size_t>(st.st_size));
        } else {
            Check(ReadAll(path, found->second.size() + 1) == found->second);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch& paths = Paths();
    Input input = Parse(data, size);
    if (input.bytes[1].size() < kFieldsAt) {
        return 0;
    }
    const std::string song = paths.Song(input.flags);
    WriteSparse(song, input.bytes[0], input.size[0]);
    paths.kept[song] = input.bytes[0];
    struct stat st {};
    Check(::stat(song.c_str(), &st) == 0);
    const platform::FileIdentity identity{static_cast<uint64_t>(st.st_dev),
                                          static_cast<uint64_t>(st.st_ino)};

    std::vector<uint8_t>& journal = input.bytes[1];
    if ((input.flags & kSetTagCrc) != 0) {
        SetTagCrc(journal);
    }
    if ((input.flags & kSetStepCrcs) != 0) {
        SetStepCrcs(journal);
    }
    SetHeader(journal, identity, song);
    std::string error;
    const std::string folder = id3v2::JournalFolder(error);
    Check(!folder.empty());
    const std::string journalPath = id3v2::MoveJournal::PathFor(folder, identity);
    WriteSparse(journalPath, journal, input.size[1]);
    if ((input.flags & (kCutLeftovers | kGrowLeftovers)) != 0) {
        ChangeLeftovers(folder, journalPath, input);
    }

    const std::vector<id3v2::RecoveredFile> recovered = id3v2::RecoverInterruptedSaves();
    // A save of the file puts a tag of the header's size in place of its old tag.
    const uint64_t newSize = Get<uint64_t>(journal.data() + kNewSizeAt);
    Check(::stat(song.c_str(), &st) == 0);
    Check(static_cast<uint64_t>(st.st_size) <= input.size[0] + std::min(newSize, input.size[1]));
    CheckLeftAlone(paths.kept, recovered);
    // Journals set aside are never met again; they would only fill the folder.
    for (const std::string& name : platform::ListFolder(folder, id3v2::MoveJournal::kSetAside)) {
        ::unlink((folder + "/" + name).c_str());
    }
    if ((input.flags & kKeepJournal) == 0) {
        // A journal the recovery keeps would be met again by the next input.
        ::unlink(journalPath.c_str());
    }
    if ((input.flags & (kKeepJournal | kRemoveFile)) != kKeepJournal) {
        ::unlink(song.c_str());
        paths.kept.erase(song);
    }
    return 0;
}
