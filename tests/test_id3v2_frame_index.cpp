// The tag object's defaults and flag properties, and the frame table: entries,
// range errors, which setters mark an entry modified, and unsynchronisation.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>
#include <vector>

#include "id3v2/id3v2.h"

namespace {

using id3v2::kFrameDone;
using id3v2::kFrameNothingToDo;
using Bytes = std::vector<uint8_t>;

// Expects the range error with its fixed message.
void ExpectRangeError(const std::function<void()>& call) {
    try {
        call();
        ADD_FAILURE() << "no range error";
    } catch (const ERangeError& error) {
        EXPECT_STREQ(error.what(), "Array range out of bounds.");
    }
}

// A table with one entry holding `data` in the given state.
struct OneFrame {
    explicit OneFrame(const Bytes& data, uint8_t state = 0) {
        frames.AddFrame("TEST");
        frames.Data(1) = data;
        frames.SetState(1, 2, state);
    }
    TFrameIndex frames;
};

Bytes Unsynchronised(const Bytes& data) {
    OneFrame f(data);
    EXPECT_EQ(f.frames.Unsynchronise(1), kFrameDone);
    return f.frames.Data(1);
}

Bytes Resynchronised(const Bytes& data) {
    OneFrame f(data, 0x02);
    EXPECT_EQ(f.frames.Resynchronise(1), kFrameDone);
    return f.frames.Data(1);
}

// The unsynchronisation scheme written forwards into a second buffer, as an
// independent reference for the in-place backwards version. A final 0xFF is
// followed by a zero, as every reader expects.
Bytes ReferenceUnsync(const Bytes& data) {
    Bytes out;
    for (size_t i = 0; i < data.size(); ++i) {
        out.push_back(data[i]);
        const bool last = i + 1 == data.size();
        if (data[i] == 0xFF && (last || data[i + 1] == 0 || data[i + 1] >= 0xE0)) {
            out.push_back(0x00);
        }
    }
    return out;
}

}  // namespace

TEST(Id3v2Tag, NewObjectHasTheDefaults) {
    Tid3v2tag tag;
    EXPECT_EQ(tag.MajorVersion, 3);
    EXPECT_EQ(tag.Revision, 0);
    EXPECT_EQ(tag.TagSize, 0u);
    EXPECT_EQ(tag.Flags, 0);
    EXPECT_EQ(tag.ExtendedFlags, 0);
    EXPECT_EQ(tag.PaddingSize, 0u);
    EXPECT_EQ(tag.LastResult, 0);
    EXPECT_EQ(tag.Modified, 0);
    EXPECT_EQ(tag.Complete, 1);
    EXPECT_EQ(tag.Progress, 0);
    EXPECT_EQ(tag.AcceptRevisions, 1);
    EXPECT_EQ(tag.AdjustFlags, 0);
    EXPECT_EQ(tag.PruneFrames, 1);
    EXPECT_EQ(tag.CompressionLevel, 2);
    EXPECT_EQ(tag.PaddingMode, 1);
    EXPECT_EQ(tag.PaddingBlock, 4096u);
    EXPECT_EQ(tag.PaddingLimit, 4096u);
    EXPECT_TRUE(tag.FileName.empty());
    EXPECT_TRUE(tag.Status.empty());
    EXPECT_EQ(tag.Frames.FrameCount(), 0u);
}

TEST(Id3v2Tag, StartFreshTagForgetsTheTagAndKeepsFileProgressAndSettings) {
    const auto tagPart = [](const Tid3v2tag& t) {
        return std::tuple(t.MajorVersion, t.Revision, t.TagSize, t.Flags, t.ExtendedFlags,
                          t.PaddingSize, t.ExtendedHeaderSize, t.Crc, t.Restrictions, t.LastResult,
                          t.Modified, t.TagOffset, t.Frames.FrameCount());
    };
    const auto keptPart = [](const Tid3v2tag& t) {
        return std::tuple(t.ReadOnlyFile, t.FileName, t.Complete, t.Progress, t.Status,
                          t.AcceptRevisions, t.AdjustFlags, t.PruneFrames, t.CompressionLevel,
                          t.PaddingMode, t.PaddingBlock, t.PaddingLimit, t.SyncEvery);
    };
    Tid3v2tag tag;
    tag.Frames.AddFrame("TIT2");
    tag.MajorVersion = 4, tag.Revision = 1, tag.TagSize = 99, tag.Flags = 0xF0;
    tag.ExtendedFlags = 0x70, tag.PaddingSize = 5, tag.ExtendedHeaderSize = 6, tag.Crc = 7;
    tag.Restrictions = 8, tag.LastResult = 0x1000, tag.Modified = 1, tag.TagOffset = 9;
    tag.ReadOnlyFile = 1, tag.FileName = "a.mp3", tag.Complete = 0, tag.Progress = 42;
    tag.Status = "Loading tag", tag.AcceptRevisions = 0, tag.AdjustFlags = 1, tag.PruneFrames = 0;
    tag.CompressionLevel = 3, tag.PaddingMode = 2, tag.PaddingBlock = 512, tag.PaddingLimit = 7;
    tag.SyncEvery = 32768;
    const Tid3v2tag before = tag;

    tag.StartFreshTag();
    EXPECT_EQ(tagPart(tag), tagPart(Tid3v2tag()));
    EXPECT_EQ(keptPart(tag), keptPart(before));
}

TEST(Id3v2Tag, EachFlagSetterTouchesOnlyItsBitAndAlwaysMarksModified) {
    struct Case {
        void (Tid3v2tag::*set)(bool);
        uint8_t Tid3v2tag::*field;
        uint8_t bit;
    };
    const Case cases[] = {
        {&Tid3v2tag::SetUnsynchronisation, &Tid3v2tag::Flags, 0x80},
        {&Tid3v2tag::SetExtendedHeader, &Tid3v2tag::Flags, 0x40},
        {&Tid3v2tag::SetExperimental, &Tid3v2tag::Flags, 0x20},
        {&Tid3v2tag::SetFooter, &Tid3v2tag::Flags, 0x10},
        {&Tid3v2tag::SetTagIsUpdate, &Tid3v2tag::ExtendedFlags, 0x40},
        {&Tid3v2tag::SetCrcPresent, &Tid3v2tag::ExtendedFlags, 0x20},
        {&Tid3v2tag::SetRestrictionsPresent, &Tid3v2tag::ExtendedFlags, 0x10},
    };
    for (const Case& c : cases) {
        Tid3v2tag tag;
        tag.Flags = 0x05;
        tag.ExtendedFlags = 0x05;
        (tag.*c.set)(true);
        EXPECT_EQ(tag.*c.field, 0x05 | c.bit);
        EXPECT_EQ(tag.Modified, 1);

        tag.Modified = 0;
        (tag.*c.set)(true);  // unchanged bit still marks the tag
        EXPECT_EQ(tag.Modified, 1);

        (tag.*c.set)(false);
        EXPECT_EQ(tag.Flags, 0x05);
        EXPECT_EQ(tag.ExtendedFlags, 0x05);
    }
}

TEST(Id3v2Tag, FlagGettersReadTheirBits) {
    const auto getters = {&Tid3v2tag::Unsynchronisation, &Tid3v2tag::ExtendedHeader,
                          &Tid3v2tag::TagIsUpdate, &Tid3v2tag::CrcPresent,
                          &Tid3v2tag::RestrictionsPresent};
    Tid3v2tag tag;
    tag.Flags = 0xC0;
    tag.ExtendedFlags = 0x70;
    for (const auto get : getters) {
        EXPECT_TRUE((tag.*get)());
    }
    tag.Flags = 0x3F;
    tag.ExtendedFlags = 0x8F;
    for (const auto get : getters) {
        EXPECT_FALSE((tag.*get)());
    }
}

TEST(FrameIndex, AddFrameUpperCasesAndRefusesBadIdentifiers) {
    TFrameIndex frames;
    EXPECT_EQ(frames.AddFrame("tit2"), 1u);
    EXPECT_EQ(frames.Id(1), "TIT2");
    EXPECT_EQ(frames.AddFrame("TpE1"), 2u);
    EXPECT_EQ(frames.Id(2), "TPE1");
    EXPECT_EQ(frames.AddFrame("RVA2"), 3u);
    for (const std::string& bad : std::vector<std::string>{"TIT", "TIT22", "", "TI-2", "TI 2",
                                                           std::string("TI\0"
                                                                       "2",
                                                                       4),
                                                           "T\xC4T2", "TIT\xFF"}) {
        EXPECT_EQ(frames.AddFrame(bad), 0u) << bad;
    }
    EXPECT_EQ(frames.FrameCount(), 3u);
}

TEST(FrameIndex, NewEntryIsEmptyAndModified) {
    TFrameIndex frames;
    frames.AddFrame("COMM");
    EXPECT_EQ(frames.DataSize(1), 0u);
    EXPECT_EQ(frames.Modified(1), 1);
    EXPECT_EQ(frames.FrameOffset(1), 0u);
    EXPECT_EQ(frames.RawSize(1), 0u);
    EXPECT_EQ(frames.DataLength(1), 0u);
    EXPECT_EQ(frames.State(1, 1), 0);
    EXPECT_EQ(frames.State(1, 2), 0);
    EXPECT_EQ(frames.WantedFlags(1, 1), 0);
    EXPECT_EQ(frames.WantedFlags(1, 2), 0);
    EXPECT_EQ(frames.EncryptionMethod(1), 0);
    EXPECT_EQ(frames.GroupId(1), 0);
}

TEST(FrameIndex, DeleteFrameMovesLaterEntriesWithAllTheirFields) {
    TFrameIndex frames;
    for (const char* id : {"AAAA", "BBBB", "CCCC"}) {
        frames.AddFrame(id);
    }
    frames.Data(3) = {1, 2, 3};
    frames.SetDataLength(3, 77);
    frames.SetGroupId(3, 9);
    frames.SetState(3, 2, 0x08);

    EXPECT_FALSE(frames.DeleteFrame(0));
    EXPECT_FALSE(frames.DeleteFrame(4));
    EXPECT_EQ(frames.FrameCount(), 3u);

    EXPECT_TRUE(frames.DeleteFrame(2));
    ASSERT_EQ(frames.FrameCount(), 2u);
    EXPECT_EQ(frames.Id(1), "AAAA");
    EXPECT_EQ(frames.Id(2), "CCCC");
    EXPECT_EQ(frames.Data(2), (Bytes{1, 2, 3}));
    EXPECT_EQ(frames.DataLength(2), 77u);
    EXPECT_EQ(frames.GroupId(2), 9);
    EXPECT_EQ(frames.State(2, 2), 0x08);

    EXPECT_TRUE(frames.DeleteFrame(1));
    EXPECT_TRUE(frames.DeleteFrame(1));
    EXPECT_EQ(frames.FrameCount(), 0u);
    EXPECT_FALSE(frames.DeleteFrame(1));
}

TEST(FrameIndex, ClearFramesEmptiesTheTable) {
    TFrameIndex frames;
    frames.AddFrame("AAAA");
    frames.AddFrame("BBBB");
    frames.ClearFrames();
    EXPECT_EQ(frames.FrameCount(), 0u);
    EXPECT_EQ(frames.AddFrame("CCCC"), 1u);
}

TEST(FrameIndex, BadEntryOrPartIndexRaisesTheRangeError) {
    TFrameIndex frames;
    ExpectRangeError([&] { frames.Id(1); });
    frames.AddFrame("AAAA");
    frames.AddFrame("BBBB");
    for (uint32_t bad : {0u, 3u}) {
        ExpectRangeError([&] { frames.Id(bad); });
        ExpectRangeError([&] { frames.DataSize(bad); });
        ExpectRangeError([&] { frames.Data(bad); });
        ExpectRangeError([&] { frames.FrameOffset(bad); });
        ExpectRangeError([&] { frames.RawSize(bad); });
        ExpectRangeError([&] { frames.SetDataLength(bad, 1); });
        ExpectRangeError([&] { frames.SetEncryptionMethod(bad, 1); });
        ExpectRangeError([&] { frames.GroupId(bad); });
        ExpectRangeError([&] { frames.State(bad, 1); });
        ExpectRangeError([&] { frames.SetWantedFlags(bad, 2, 1); });
        ExpectRangeError([&] { frames.Compression(bad); });
        ExpectRangeError([&] { frames.IsUnsynchronised(bad); });
        ExpectRangeError([&] { frames.Unsynchronise(bad); });
        ExpectRangeError([&] { frames.Resynchronise(bad); });
    }
    for (uint32_t part : {0u, 3u}) {
        ExpectRangeError([&] { frames.State(1, part); });
        ExpectRangeError([&] { frames.SetState(1, part, 1); });
        ExpectRangeError([&] { frames.WantedFlags(1, part); });
        ExpectRangeError([&] { frames.SetWantedFlags(1, part, 1); });
    }
    // A refused setter changes nothing.
    EXPECT_EQ(frames.State(1, 1), 0);
    EXPECT_EQ(frames.WantedFlags(1, 1), 0);
    EXPECT_EQ(frames.WantedFlags(1, 2), 0);
}

TEST(FrameIndex, SettersStoreInTheirOwnFields) {
    TFrameIndex frames;
    frames.AddFrame("AAAA");
    frames.AddFrame("BBBB");
    frames.SetFrameOffset(1, 123);
    frames.SetDataLength(1, 456);
    frames.SetEncryptionMethod(1, 0x80);
    frames.SetGroupId(1, 0x81);
    frames.SetState(1, 1, 0x40);
    frames.SetState(1, 2, 0x08);
    frames.SetWantedFlags(1, 1, 0x20);
    frames.SetWantedFlags(1, 2, 0x01);
    EXPECT_EQ(frames.FrameOffset(1), 123u);
    EXPECT_EQ(frames.DataLength(1), 456u);
    EXPECT_EQ(frames.EncryptionMethod(1), 0x80);
    EXPECT_EQ(frames.GroupId(1), 0x81);
    EXPECT_EQ(frames.State(1, 1), 0x40);
    EXPECT_EQ(frames.State(1, 2), 0x08);
    EXPECT_EQ(frames.WantedFlags(1, 1), 0x20);
    EXPECT_EQ(frames.WantedFlags(1, 2), 0x01);
    // State says what Data is; the wanted flags are separate.
    EXPECT_TRUE(frames.IsCompressed(1));
    EXPECT_FALSE(frames.Compression(1));
    // The neighbour is untouched.
    EXPECT_EQ(frames.FrameOffset(2), 0u);
    EXPECT_EQ(frames.State(2, 2), 0);
    EXPECT_EQ(frames.WantedFlags(2, 1), 0);
}

TEST(FrameIndex, WantedFlagTestsReadTheirBits) {
    const auto tests = {&TFrameIndex::TagAlterPreservation,
                        &TFrameIndex::FileAlterPreservation,
                        &TFrameIndex::ReadOnly,
                        &TFrameIndex::GroupingIdentity,
                        &TFrameIndex::Compression,
                        &TFrameIndex::Encryption,
                        &TFrameIndex::Unsynchronisation,
                        &TFrameIndex::DataLengthIndicator,
                        &TFrameIndex::IsGrouped,
                        &TFrameIndex::IsCompressed,
                        &TFrameIndex::IsEncrypted,
                        &TFrameIndex::IsUnsynchronised};
    TFrameIndex frames;
    frames.AddFrame("AAAA");
    frames.SetWantedFlags(1, 1, 0x70);
    frames.SetWantedFlags(1, 2, 0x4F);
    frames.SetState(1, 2, 0x4E);
    for (const auto test : tests) {
        EXPECT_TRUE((frames.*test)(1));
    }
    frames.SetWantedFlags(1, 1, 0x8F);
    frames.SetWantedFlags(1, 2, 0xB0);
    frames.SetState(1, 2, 0xB1);
    for (const auto test : tests) {
        EXPECT_FALSE((frames.*test)(1));
    }
}

TEST(FrameIndexUnsync, InsertsZeroAfterFalseSyncBytes) {
    EXPECT_EQ(Unsynchronised({0xFF, 0xE0}), (Bytes{0xFF, 0x00, 0xE0}));
    EXPECT_EQ(Unsynchronised({0xFF, 0x00}), (Bytes{0xFF, 0x00, 0x00}));
    EXPECT_EQ(Unsynchronised({0xFF, 0x01}), (Bytes{0xFF, 0x01}));
    EXPECT_EQ(Unsynchronised({}), Bytes{});
}

// Whatever a reader finds after the data could pair with a final 0xFF.
TEST(FrameIndexUnsync, AppendsZeroAfterAFinalFF) {
    EXPECT_EQ(Unsynchronised({0xFF, 0xDF, 0xFF}), (Bytes{0xFF, 0xDF, 0xFF, 0x00}));
    EXPECT_EQ(Unsynchronised({0xFF, 0xFF, 0xFF}), (Bytes{0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(Unsynchronised({0x41, 0xFF}), (Bytes{0x41, 0xFF, 0x00}));
    EXPECT_EQ(Unsynchronised({0xFF}), (Bytes{0xFF, 0x00}));
}

TEST(FrameIndexUnsync, RecordsSizesStateAndModified) {
    OneFrame f({0xFF, 0xF0, 0x12});
    f.frames.SetDataLength(1, 99);
    ASSERT_EQ(f.frames.Unsynchronise(1), kFrameDone);
    EXPECT_EQ(f.frames.RawSize(1), 3u);
    EXPECT_EQ(f.frames.DataLength(1), 3u);
    EXPECT_EQ(f.frames.State(1, 2), 0x02);
    EXPECT_EQ(f.frames.Modified(1), 1);
    EXPECT_EQ(f.frames.Unsynchronise(1), kFrameNothingToDo);  // already unsynchronised
    EXPECT_EQ(f.frames.DataSize(1), 4u);
}

TEST(FrameIndexUnsync, CompressedOrEncryptedDataKeepsItsDataLength) {
    for (uint8_t state : {uint8_t{0x08}, uint8_t{0x04}}) {
        OneFrame f({0xFF, 0xFF}, state);
        f.frames.SetDataLength(1, 1000);
        ASSERT_EQ(f.frames.Unsynchronise(1), kFrameDone);
        EXPECT_EQ(f.frames.DataLength(1), 1000u);
        EXPECT_EQ(f.frames.RawSize(1), 2u);
        EXPECT_EQ(f.frames.State(1, 2), state | 0x02);
    }
}

TEST(FrameIndexUnsync, ResynchroniseRemovesOnlyInsertedZeros) {
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0xE0}), (Bytes{0xFF, 0xE0}));
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0x41}), (Bytes{0xFF, 0x00, 0x41}));
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0x00}), (Bytes{0xFF, 0x00}));
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0xFF, 0x00, 0xE0}), (Bytes{0xFF, 0xFF, 0xE0}));
    // After a removal the follower starts the next pair; a zero is not a 0xFF.
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0x00, 0x00, 0xE0}), (Bytes{0xFF, 0x00, 0x00, 0xE0}));
}

TEST(FrameIndexUnsync, ResynchroniseRemovesAFinalZeroAfterFF) {
    EXPECT_EQ(Resynchronised({0xFF, 0x00}), (Bytes{0xFF}));
    EXPECT_EQ(Resynchronised({0x41, 0xFF, 0x00}), (Bytes{0x41, 0xFF}));
    // The same whether or not earlier bytes were removed: each byte is judged
    // by its neighbours in the input.
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0xE0, 0xFF, 0x00}), (Bytes{0xFF, 0xE0, 0xFF}));
    EXPECT_EQ(Resynchronised({0xFF, 0x00, 0x00}), (Bytes{0xFF, 0x00}));
    EXPECT_EQ(Resynchronised({0xFF, 0xFF, 0x00, 0x00}), (Bytes{0xFF, 0xFF, 0x00}));
}

TEST(FrameIndexUnsync, ResynchroniseClearsStateAndRefusesPlainData) {
    OneFrame plain({0xFF, 0x00, 0xE0});
    EXPECT_EQ(plain.frames.Resynchronise(1), kFrameNothingToDo);
    EXPECT_EQ(plain.frames.DataSize(1), 3u);

    OneFrame f({0xFF, 0x00, 0xE0}, 0x0A);
    ASSERT_EQ(f.frames.Resynchronise(1), kFrameDone);
    EXPECT_EQ(f.frames.State(1, 2), 0x08);
    EXPECT_EQ(f.frames.Modified(1), 1);
}

// Random data rich in 0xFF, 0x00 and 0xE0..0xFF: the in-place transform agrees
// with the forward reference, leaves no false sync, and Resynchronise undoes it.
TEST(FrameIndexUnsync, RandomDataRoundTrips) {
    std::mt19937 random(20261207);
    const uint8_t interesting[] = {0xFF, 0xFF, 0x00, 0xE0, 0xFE, 0x01, 0xDF, 0x41};
    for (int round = 0; round < 3000; ++round) {
        Bytes data(random() % 64);
        for (uint8_t& byte : data) {
            byte = random() % 4 == 0 ? static_cast<uint8_t>(random())
                                     : interesting[random() % std::size(interesting)];
        }
        OneFrame f(data);
        ASSERT_EQ(f.frames.Unsynchronise(1), kFrameDone);
        const Bytes& unsynced = f.frames.Data(1);
        ASSERT_EQ(unsynced, ReferenceUnsync(data));
        for (size_t i = 0; i + 1 < unsynced.size(); ++i) {
            ASSERT_FALSE(unsynced[i] == 0xFF && unsynced[i + 1] >= 0xE0);
        }
        ASSERT_TRUE(unsynced.empty() || unsynced.back() != 0xFF);
        ASSERT_EQ(f.frames.Resynchronise(1), kFrameDone);
        ASSERT_EQ(f.frames.Data(1), data);
    }
}
