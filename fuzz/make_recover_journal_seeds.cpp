// Makes the seeds of fuzz_recover_journal: saves that grow, shrink and insert
// a tag, each killed at every step of its audio move, captured as the file and
// the journal the kill left; then a few of them with their steps damaged.
// Usage: make_recover_journal_seeds <folder>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/journal_input.h"
#include "id3v2/id3v2.h"
#include "id3v2/write/audio_move.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace fuzz_journal;
using testing_mp3::Bytes;

uint64_t killAt = 0;

void KillAtChosenStep(uint64_t number, const id3v2::RelayStep&) {
    if (number == killAt) {
        ::raise(SIGKILL);
    }
}

struct SaveCase {
    const char* name;
    bool tagged;         // the file has a tag before the save
    uint32_t padding;    // of its tag
    uint32_t frameSize;  // of the frame the save writes
    uint32_t syncEvery = 0;
};

const SaveCase kCases[] = {
    {"grow", true, 500, 20000},
    {"shrink", true, 30000, 100},
    {"insert", false, 0, 2000},
    {"grow_flushed", true, 500, 6000, 32768},
};

// Mostly zeros, with the block number every 512 bytes: small seeds whose
// blocks still differ.
Bytes SparseAudio(size_t size) {
    Bytes audio(size, 0);
    for (size_t at = 0; at + 4 <= size; at += 512) {
        for (size_t i = 0; i < 4; ++i) {
            audio[at + i] = static_cast<uint8_t>(((at >> 9) + 1) >> (8 * i));
        }
    }
    return audio;
}

Bytes Original(const SaveCase& c) {
    const Bytes audio = SparseAudio(40000);
    if (!c.tagged) {
        return audio;
    }
    return testing_mp3::Concat(
        {testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("old"))},
                          c.padding),
         audio});
}

void Save(const SaveCase& c, const std::string& path) {
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    tag.SyncEvery = c.syncEvery;
    tag.Frames.AddFrame("PRIV");
    tag.Frames.Data(1).assign(c.frameSize, 0);
    tag.SaveToFile(path, 3, 0, 0);
}

template <typename T>
void Put(Bytes& bytes, size_t at, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) {
        bytes[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    }
}

template <typename T>
void Append(Bytes& bytes, T value) {
    bytes.resize(bytes.size() + sizeof(T));
    Put<T>(bytes, bytes.size() - sizeof(T), value);
}

template <typename T>
T Get(const Bytes& bytes, size_t at) {
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        value |= uint64_t{bytes[at + i]} << (8 * i);
    }
    return static_cast<T>(value);
}

// The runs of bytes that are not zero, with short gaps of zeros kept inside.
void PutRuns(Bytes& out, uint8_t which, const Bytes& bytes) {
    for (size_t at = 0; at < bytes.size();) {
        if (bytes[at] == 0) {
            ++at;
            continue;
        }
        size_t end = at + 1;
        for (size_t gap = 0; end < bytes.size() && gap < 8 && end - at < 65535; ++end) {
            gap = bytes[end] == 0 ? gap + 1 : 0;
        }
        while (bytes[end - 1] == 0) {
            --end;
        }
        Append<uint8_t>(out, which);
        Append<uint32_t>(out, static_cast<uint32_t>(at));
        Append<uint16_t>(out, static_cast<uint16_t>(end - at));
        out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
                   bytes.begin() + static_cast<ptrdiff_t>(end));
        at = end;
    }
}

void WriteSeed(const std::string& path, uint8_t flags, const Bytes& file, const Bytes& journal) {
    Bytes seed(kSizesEnd, 0);
    seed[0] = flags;
    Put<uint32_t>(seed, 1, static_cast<uint32_t>(file.size()));
    Put<uint32_t>(seed, 5, static_cast<uint32_t>(journal.size()));
    PutRuns(seed, 0, file);
    PutRuns(seed, 1, journal);
    testing_mp3::WriteFile(path, seed);
}

// Applies `damage` to the trailer of each step slot of the journal.
Bytes DamageSteps(Bytes journal, const std::function<void(Bytes&, size_t trailer)>& damage) {
    const int64_t slotData = (int64_t{Get<uint32_t>(journal, kChunkAt)} + 4095) / 4096 * 4096;
    const auto slots = Get<int64_t>(journal, kSlotsAt);
    for (int64_t slot = 0; slot < 2; ++slot) {
        damage(journal, static_cast<size_t>(slots + slot * (slotData + 4096) + slotData));
    }
    return journal;
}

// The file and the journal of a save of this case killed at each step; the
// middle one is returned for the damaged seeds.
void CaptureKills(const SaveCase& c, const std::string& song, const std::string& journals,
                  const std::string& out, Bytes& middleFile, Bytes& middleJournal) {
    std::vector<std::pair<Bytes, Bytes>> captured;
    for (uint64_t at = 1;; ++at) {
        testing_mp3::WriteFile(song, Original(c));
        const pid_t child = ::fork();
        if (child == 0) {
            killAt = at;
            Save(c, song);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) {
            break;  // the save ran to its end
        }
        for (const auto& entry : std::filesystem::directory_iterator(journals)) {
            captured.emplace_back(testing_mp3::ReadFile(song),
                                  testing_mp3::ReadFile(entry.path().string()));
            std::filesystem::remove(entry.path());
        }
    }
    for (size_t i = 0; i < captured.size(); ++i) {
        WriteSeed(out + "/" + c.name + "_step" + std::to_string(i + 1), kSetTagCrc | kSetStepCrcs,
                  captured[i].first, captured[i].second);
    }
    if (!captured.empty()) {
        middleFile = captured[captured.size() / 2].first;
        middleJournal = captured[captured.size() / 2].second;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_recover_journal_seeds <folder>\n";
        return 2;
    }
    const std::string out = argv[1];
    std::filesystem::create_directories(out);
    const testing_mp3::TempDir state;
    const testing_mp3::TempDir dir;
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const std::string journals = state.Path() + "/tagvora/journal";
    std::filesystem::create_directories(journals);
    id3v2::SetStepHook(KillAtChosenStep);

    constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
    const struct {
        const char* name;
        uint8_t flags;
        std::function<void(Bytes&, size_t)> damage;
    } damages[] = {
        {"torn", 0, [](Bytes& j, size_t t) { j[t + 20] ^= 0x5A; }},
        {"bytes_far", kSetStepCrcs,
         [](Bytes& j, size_t t) { Put<int64_t>(j, t + kStepRestoreAt, kLowest); }},
        {"empty_low", kSetStepCrcs,
         [](Bytes& j, size_t t) {
             Put<uint32_t>(j, t + kStepLengthAt, 0);
             Put<int64_t>(j, t + kStepRestoreAt, kLowest);
         }},
        {"past_chunks", kSetStepCrcs,
         [](Bytes& j, size_t t) { Put<uint64_t>(j, t + kStepMovedAt, uint64_t{1} << 40); }},
        {"bytes_lost", 0, [](Bytes& j, size_t t) { j[t - 1] ^= 0xFF; }},
    };
    for (const SaveCase& c : kCases) {
        Bytes file;
        Bytes journal;
        CaptureKills(c, dir.File("song.mp3"), journals, out, file, journal);
        if (journal.empty()) {
            continue;
        }
        for (const auto& d : damages) {
            WriteSeed(out + "/" + c.name + "_" + d.name, d.flags, file,
                      DamageSteps(journal, d.damage));
        }
        // A plan whose file size is the lowest there is, and a journal cut short.
        Bytes plan = journal;
        Put<int64_t>(plan, kStartAt, 1613758465);
        Put<int64_t>(plan, kFileSizeAt, kLowest);
        WriteSeed(out + "/" + c.name + "_plan_low", kSetStepCrcs, file, plan);
        // A journal left for the inputs after it, and inputs on another file
        // that cut or grow the journals left before them.
        constexpr uint8_t kWhole = kSetTagCrc | kSetStepCrcs;
        WriteSeed(out + "/" + c.name + "_left", kWhole | kKeepJournal | (1 << kFileNameShift), file,
                  journal);
        WriteSeed(out + "/" + c.name + "_cuts_left", kWhole | kCutLeftovers | (2 << kFileNameShift),
                  file, journal);
        WriteSeed(out + "/" + c.name + "_grows_left",
                  kWhole | kGrowLeftovers | (2 << kFileNameShift), file, journal);
        journal.resize(journal.size() / 2);
        WriteSeed(out + "/" + c.name + "_cut", kSetStepCrcs, file, journal);
    }
    return 0;
}
