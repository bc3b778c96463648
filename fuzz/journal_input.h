// The input of fuzz_recover_journal: a file and a journal, both mostly zeros,
// as the runs of bytes that are not. Its seed maker writes the same form.
//
//   byte 0      flags: kSetTagCrc, kSetStepCrcs, what stays for the next
//               inputs (kKeepJournal, kRemoveFile), which of kFileNames
//               names the file (kFileNameShift), and what happens to the
//               journals earlier inputs left (kCutLeftovers, kGrowLeftovers)
//   bytes 1-4   the file's size, bytes 5-8 the journal's (little-endian)
//   then runs   u8 where (even: the file, odd: the journal), u32 offset,
//               u16 length, the run's bytes
//
// Runs past the end of their file are cut there; a run cut short by the end of
// the input keeps the bytes it has.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_journal {

constexpr uint8_t kSetTagCrc = 1;    // the new tag's checksum is made right
constexpr uint8_t kSetStepCrcs = 2;  // the steps' checksums are made right
// The state folder outlives an input: the journal the recovery leaves stays
// for the inputs after it, and with kRemoveFile its file goes.
constexpr uint8_t kKeepJournal = 4;
constexpr uint8_t kRemoveFile = 8;
constexpr uint8_t kFileNameShift = 4;  // two bits: one of kFileNames files
constexpr uint8_t kFileNames = 4;
// Before the recovery, the journals earlier inputs left are cut short, or
// grown, as a program that ignores their locks might do.
constexpr uint8_t kCutLeftovers = 0x40;
constexpr uint8_t kGrowLeftovers = 0x80;
constexpr size_t kSizesEnd = 9;
constexpr size_t kRunHead = 7;

// Where the journal header keeps what the fuzz target sets or follows.
constexpr size_t kIdentityAt = 12;  // device, then inode, 8 bytes each
constexpr size_t kDurableAt = 8;
constexpr size_t kStartAt = 28;
constexpr size_t kFileSizeAt = 36;
constexpr size_t kNewSizeAt = 48;
constexpr size_t kChunkAt = 56;
constexpr size_t kTagAt = 60;
constexpr size_t kTagSizeAt = 68;
constexpr size_t kTagCrcAt = 76;
constexpr size_t kSlotsAt = 80;
constexpr size_t kFieldsAt = 88;  // the three short byte fields, then the path
// A step's trailer: its byte count, how far the move got, where its bytes go,
// the checksum of its bytes and its own checksum.
constexpr int64_t kStepTrailer = 48;
constexpr size_t kStepLengthAt = 12;
constexpr size_t kStepMovedAt = 16;
constexpr size_t kStepRestoreAt = 24;
constexpr size_t kStepBytesCrcAt = 32;
constexpr size_t kStepCrcAt = 36;

}  // namespace fuzz_journal
