// The journal file: a header with a checksum, the new tag, and two slots that
// take turns for the steps, so that a step being written never spoils the one
// before it. The slots are read and written with positioned calls, never
// through a mapping: another program that ignores the lock can cut the file
// at any time, and a read past its end then comes back short where a mapped
// page would fault.
#include "id3v2/journal/journal.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>

#include "id3v2/frames/crc32.h"
#include "id3v2/journal/journal_checks.h"
#include "platform/state_folder.h"

namespace id3v2 {
namespace {

constexpr char kMagic[8] = {'T', 'A', 'G', 'V', 'J', 'R', 'N', '1'};
constexpr uint32_t kStepMagic = 0x50455453;  // "STEP"
constexpr int64_t kPage = 4096;
// A step's fixed part, after its bytes and written last, with a checksum: a
// step that a kill cut short does not count.
constexpr size_t kTrailerSize = 48;
constexpr size_t kFieldBytes = 16;  // of the file's head and end
// Bits of the header's flags word. A journal without kKeepsTime has no time
// field, as every journal written before the time was kept.
constexpr uint32_t kDurable = 1;
constexpr uint32_t kKeepsTime = 2;

int64_t RoundUp(int64_t value) {
    return (value + kPage - 1) / kPage * kPage;
}

uint32_t Crc(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    UpdateCrc32(data, size, crc);
    return crc;
}

// zlib's CRC-32 for a step's bytes, up to a whole chunk each.
uint32_t BytesCrc(std::span<const uint8_t> bytes) {
    return static_cast<uint32_t>(::crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// Little-endian fields, written and read in the same order.
class Writer {
  public:
    template <typename T>
    void Put(T value) {
        for (size_t i = 0; i < sizeof(T); ++i) {
            bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
        }
    }
    void PutBytes(const std::vector<uint8_t>& data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    std::vector<uint8_t> bytes;
};

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    template <typename T>
    T Get() {
        uint64_t value = 0;
        for (size_t i = 0; i < sizeof(T) && Has(1); ++i) {
            value |= uint64_t{data_[at_++]} << (8 * i);
        }
        return static_cast<T>(value);
    }
    std::vector<uint8_t> GetBytes(size_t count) {
        count = Has(count) ? count : 0;
        std::vector<uint8_t> out(data_ + at_, data_ + at_ + count);
        at_ += count;
        return out;
    }
    bool Has(size_t count) const { return at_ + count <= size_; }
    size_t At() const { return at_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Layout {
    int64_t tag = 0;    // the new tag's offset in the journal
    int64_t slots = 0;  // the first slot's offset
};

int64_t SlotData(uint32_t chunk) {
    return RoundUp(chunk);
}
// Where the trailer of slot `slot` (0 or 1) lies from the first slot; the
// step's bytes come right before it.
int64_t TrailerAt(uint32_t chunk, uint32_t slot) {
    return slot * (SlotData(chunk) + kPage) + SlotData(chunk);
}
int64_t SlotsSize(uint32_t chunk) {
    return 2 * (SlotData(chunk) + kPage);
}

std::vector<uint8_t> EncodeHeader(const JournalHeader& header, const Layout& layout,
                                  const std::vector<uint8_t>& newTag) {
    const Relayout& plan = header.plan;
    Writer w;
    w.bytes.assign(kMagic, kMagic + sizeof kMagic);
    w.Put<uint32_t>((header.durable ? kDurable : 0) | (header.keptTime ? kKeepsTime : 0));
    w.Put<uint64_t>(header.identity.device);
    w.Put<uint64_t>(header.identity.inode);
    w.Put<int64_t>(plan.start);
    w.Put<int64_t>(plan.fileSize);
    w.Put<uint32_t>(plan.oldSize);
    w.Put<uint64_t>(plan.newSize);
    w.Put<uint32_t>(plan.chunk);
    w.Put<int64_t>(layout.tag);
    w.Put<uint64_t>(newTag.size());
    w.Put<uint32_t>(Crc(newTag.data(), newTag.size()));
    w.Put<int64_t>(layout.slots);
    for (const std::vector<uint8_t>* field : {&header.head, &header.end, &header.landing}) {
        w.Put<uint8_t>(static_cast<uint8_t>(field->size()));
        w.PutBytes(*field);
    }
    w.Put<uint32_t>(static_cast<uint32_t>(header.path.size()));
    w.bytes.insert(w.bytes.end(), header.path.begin(), header.path.end());
    if (header.keptTime) {
        w.Put<int64_t>(header.keptTime->seconds);
        w.Put<int64_t>(header.keptTime->nanoseconds);
    }
    w.Put<uint32_t>(Crc(w.bytes.data(), w.bytes.size()));
    return w.bytes;
}

// The header EncodeHeader wrote; none when it is cut short or does not check.
std::optional<JournalHeader> DecodeHeader(const std::vector<uint8_t>& page, Layout& layout,
                                          uint64_t& tagSize, uint32_t& tagCrc) {
    Reader r(page.data(), page.size());
    if (!r.Has(sizeof kMagic) || std::memcmp(page.data(), kMagic, sizeof kMagic) != 0) {
        return std::nullopt;
    }
    r.GetBytes(sizeof kMagic);
    JournalHeader header;
    const auto flags = r.Get<uint32_t>();
    header.durable = flags & kDurable;
    header.identity.device = r.Get<uint64_t>();
    header.identity.inode = r.Get<uint64_t>();
    Relayout& plan = header.plan;
    plan.start = r.Get<int64_t>();
    plan.fileSize = r.Get<int64_t>();
    plan.oldSize = r.Get<uint32_t>();
    plan.newSize = r.Get<uint64_t>();
    plan.chunk = r.Get<uint32_t>();
    layout.tag = r.Get<int64_t>();
    tagSize = r.Get<uint64_t>();
    tagCrc = r.Get<uint32_t>();
    layout.slots = r.Get<int64_t>();
    for (std::vector<uint8_t>* field : {&header.head, &header.end, &header.landing}) {
        *field = r.GetBytes(std::min<size_t>(r.Get<uint8_t>(), kFieldBytes));
    }
    const std::vector<uint8_t> path = r.GetBytes(r.Get<uint32_t>());
    header.path.assign(path.begin(), path.end());
    if (flags & kKeepsTime) {
        const auto seconds = r.Get<int64_t>();
        header.keptTime = platform::FileTime{seconds, r.Get<int64_t>()};
    }
    const size_t checked = r.At();
    if (!r.Has(4) || r.Get<uint32_t>() != Crc(page.data(), checked) || !SavePlan(plan) ||
        tagSize != plan.newSize || layout.tag < 0 || layout.slots < 0 ||
        layout.slots % kPage != 0 || layout.tag > layout.slots - static_cast<int64_t>(tagSize)) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

std::string JournalFolder(std::string& error, bool create) {
    return platform::StateFolder("journal", error, create);
}

std::string MoveJournal::PathFor(const std::string& folder,
                                 const platform::FileIdentity& identity) {
    return folder + "/" + std::to_string(identity.device) + "-" + std::to_string(identity.inode) +
           ".journal";
}

MoveJournal::MoveJournal(std::unique_ptr<platform::File> file, JournalHeader header)
    : file_(std::move(file)), header_(std::move(header)), path_(file_->Path()) {}

std::unique_ptr<MoveJournal> MoveJournal::Begin(const platform::File& file, const Relayout& plan,
                                                const std::vector<uint8_t>& newTag, bool durable,
                                                std::string& error, bool keepTime) {
    const std::string folder = JournalFolder(error);
    if (folder.empty()) {
        return nullptr;
    }
    JournalHeader header;
    header.identity = file.Identity();
    std::error_code failed;
    header.path = std::filesystem::absolute(file.Path(), failed).string();
    header.plan = plan;
    header.durable = durable;
    if (keepTime) {
        header.keptTime = file.ModificationTime();
    }
    // Bytes that stay where they are in every state a save leaves before its
    // tag is written: the start of the old tag's room, and the audio's end
    // (kept behind the end of the file while a tag grows).
    const auto take = [&](int64_t at, int64_t count) {
        std::vector<uint8_t> bytes(static_cast<size_t>(count));
        bytes.resize(file.ReadAt(at, bytes.data(), bytes.size()));
        return bytes;
    };
    const int64_t field = kFieldBytes;
    header.head =
        take(plan.start,
             std::min({field, static_cast<int64_t>(plan.newSize), plan.fileSize - plan.start}));
    const int64_t end = std::min({field, plan.Audio(), std::abs(plan.Growth())});
    header.end = take(plan.fileSize - end, end);
    // Bytes that tell a file whose move began from the same file as it was
    // before (one copied back over it, say).
    const MoveChunk landing = plan.FirstLanding(kFieldBytes);
    header.landing = take(landing.from, landing.count);
    return Create(folder, header, newTag, error);
}

std::unique_ptr<MoveJournal> MoveJournal::Create(const std::string& folder,
                                                 const JournalHeader& header,
                                                 const std::vector<uint8_t>& newTag,
                                                 std::string& error) {
    const std::string path = PathFor(folder, header.identity);
    const std::string unfinished = path.substr(0, path.size() - std::strlen(kSuffix)) + kUnfinished;
    std::unique_ptr<MoveJournal> journal;
    try {
        journal = std::make_unique<MoveJournal>(
            std::make_unique<platform::File>(unfinished, platform::File::Mode::CreateNew,
                                             platform::File::Lock::Exclusive),
            header);
        journal->path_ = unfinished;
    } catch (const platform::IoError& e) {
        error = e.what();
        return nullptr;
    }
    try {
        Layout layout;
        layout.tag = RoundUp(static_cast<int64_t>(EncodeHeader(header, layout, newTag).size()));
        layout.slots = RoundUp(layout.tag + static_cast<int64_t>(newTag.size()));
        platform::File& file = *journal->file_;
        const int64_t size = layout.slots + SlotsSize(header.plan.chunk);
        file.Truncate(size);
        if (!file.Reserve(0, size)) {
            // A step's record must not be the write that finds the disk full.
            const std::vector<uint8_t> zeros(static_cast<size_t>(SlotsSize(header.plan.chunk)));
            file.WriteAt(layout.slots, zeros.data(), zeros.size());
        }
        file.WriteAt(layout.tag, newTag.data(), newTag.size());
        const std::vector<uint8_t> encoded = EncodeHeader(header, layout, newTag);
        file.WriteAt(0, encoded.data(), encoded.size());
        if (header.durable) {
            file.DataSync();
        }
        platform::RenameFile(unfinished, path);
        journal->path_ = path;
        if (header.durable) {
            platform::SyncFolder(folder);
        }
        journal->slots_ = layout.slots;
        journal->newTag_ = newTag;
    } catch (const platform::IoError& e) {
        error = e.what();
        std::string ignored;
        journal->Remove(ignored);
        return nullptr;
    }
    return journal;
}

std::unique_ptr<MoveJournal> MoveJournal::Open(const std::string& journalPath, bool& whole,
                                               std::string* spoiled) {
    whole = true;
    std::unique_ptr<platform::File> file;
    try {
        file = std::make_unique<platform::File>(journalPath, platform::File::Mode::ReadWrite,
                                                platform::File::Lock::Exclusive);
    } catch (const platform::OpenError& error) {
        if (error.Code() == EWOULDBLOCK) {
            return nullptr;  // a running save holds it
        }
        throw;
    }
    if (file->Unlinked()) {
        return nullptr;  // its save or another recovery removed it meanwhile
    }
    // The header, with a path of any length the system allows.
    std::vector<uint8_t> page(static_cast<size_t>(std::min<int64_t>(file->Size(), 4 * kPage)));
    page.resize(file->ReadAt(0, page.data(), page.size()));
    Layout layout;
    uint64_t tagSize = 0;
    uint32_t tagCrc = 0;
    std::optional<JournalHeader> header = DecodeHeader(page, layout, tagSize, tagCrc);
    if (!header) {
        whole = false;
        return nullptr;
    }
    const auto setAside = [&](const std::string& path) {
        whole = false;
        if (spoiled != nullptr) {
            *spoiled = path;
        }
        return nullptr;
    };
    std::vector<uint8_t> tag(static_cast<size_t>(tagSize));
    if (file->Size() - SlotsSize(header->plan.chunk) < layout.slots ||
        file->ReadAt(layout.tag, tag.data(), tag.size()) != tag.size() ||
        Crc(tag.data(), tag.size()) != tagCrc || !PlannedTag(header->plan, tag)) {
        return setAside(header->path);
    }
    auto journal = std::make_unique<MoveJournal>(std::move(file), std::move(*header));
    journal->newTag_ = std::move(tag);
    journal->slots_ = layout.slots;
    if (!journal->ReadSlots()) {
        return setAside(journal->header_.path);
    }
    return journal;
}

bool MoveJournal::ReadSlots() {
    // The size checked at opening holds both slots; a read that comes back
    // short means the file was cut since, and what it held is lost.
    uint32_t lastNumber = 0;
    for (uint32_t slot = 0; slot < 2; ++slot) {
        const int64_t at = slots_ + TrailerAt(header_.plan.chunk, slot);
        uint8_t trailer[kTrailerSize];
        if (file_->ReadAt(at, trailer, sizeof trailer) != sizeof trailer) {
            return false;
        }
        Reader r(trailer, sizeof trailer);
        const auto magic = r.Get<uint32_t>();
        const auto number = r.Get<uint32_t>();
        if (magic == kStepMagic) {
            // A reopened journal goes on after the steps it holds.
            recorded_ = std::max(recorded_, number);
        }
        RecordedStep step;
        step.phase = static_cast<RelayPhase>(r.Get<uint32_t>());
        const auto length = r.Get<uint32_t>();
        step.moved = r.Get<uint64_t>();
        step.restoreAt = r.Get<int64_t>();
        const auto restoreCrc = r.Get<uint32_t>();
        const size_t checked = r.At();
        if (magic != kStepMagic || r.Get<uint32_t>() != Crc(trailer, checked) ||
            number <= lastNumber || length > header_.plan.chunk ||
            !PlannedStep(header_.plan, step.phase, step.moved, step.restoreAt, length)) {
            continue;
        }
        step.restore.resize(length);
        if (file_->ReadAt(at - length, step.restore.data(), length) != length) {
            return false;
        }
        if (header_.durable && BytesCrc(step.restore) != restoreCrc) {
            continue;
        }
        last_ = std::move(step);
        lastNumber = number;
    }
    return true;
}

void MoveJournal::Record(const RelayStep& step) {
    ++recorded_;
    Writer w;
    w.Put<uint32_t>(kStepMagic);
    w.Put<uint32_t>(recorded_);
    w.Put<uint32_t>(static_cast<uint32_t>(step.phase));
    w.Put<uint32_t>(static_cast<uint32_t>(step.restore.size()));
    w.Put<uint64_t>(step.moved);
    w.Put<int64_t>(step.restoreAt);
    // A flush writes the dirty pages in any order, so a power failure can
    // leave the trailer on the disk without the step's bytes: a flushed step
    // checks them too. Without flushes only a kill can cut a step short.
    w.Put<uint32_t>(header_.durable ? BytesCrc(step.restore) : 0);
    w.Put<uint32_t>(Crc(w.bytes.data(), w.bytes.size()));
    // The step's bytes first, then its trailer: a kill between the two, or in
    // the middle of the trailer, leaves the slot's old trailer or one whose
    // checksum fails, and the other slot's step stands. Positioned writes
    // reach the page cache at once, so they outlive a kill as well; and a
    // journal another program cut grows back instead of faulting.
    const int64_t trailer = slots_ + TrailerAt(header_.plan.chunk, recorded_ % 2);
    file_->WriteAt(trailer - static_cast<int64_t>(step.restore.size()), step.restore.data(),
                   step.restore.size());
    file_->WriteAt(trailer, w.bytes.data(), w.bytes.size());
    if (header_.durable) {
        file_->DataSync();
    }
}

bool MoveJournal::Remove(std::string& error) {
    // Removed while still locked, so no recovery takes it in between.
    int code = 0;
    const bool removed = platform::RemoveFile(path_, code);
    file_.reset();
    if (!removed) {
        error = platform::DescribeError(path_, code);
    }
    return removed;
}

}  // namespace id3v2
