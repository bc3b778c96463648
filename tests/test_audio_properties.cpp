// Audio properties and the stream check on streams lame makes at test time;
// the length must agree with a full decode by mpg123, and mutagen and TagLib
// are measured beside it.
#include <gtest/gtest.h>
#include <mpg123.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_properties.h"
#include "tests/helpers/mp3_files.h"

namespace {

using audio::ChannelMode;
using audio::Finding;
using audio::MpegVersion;
using audio::VbrHeader;
using testing_mp3::Bytes;
using testing_mp3::Concat;

const testing_mp3::TempDir& Folder() {
    static const testing_mp3::TempDir folder;
    return folder;
}

// 16-bit PCM noise whose loudness changes every tenth of a second, so that a
// VBR encoder picks many bitrates.
Bytes Wave(int rate, int channels, double seconds) {
    const uint32_t samples = static_cast<uint32_t>(rate * seconds) * channels;
    Bytes wave = testing_mp3::ToBytes("RIFF....WAVEfmt ");
    const uint32_t fields[] = {16, 1 | (uint32_t(channels) << 16), uint32_t(rate),
                               uint32_t(rate * channels * 2), uint32_t(channels * 2) | (16u << 16)};
    for (const uint32_t field : fields) {
        for (int shift = 0; shift < 32; shift += 8) {
            wave.push_back(static_cast<uint8_t>(field >> shift));
        }
    }
    wave =
        Concat({wave,
                testing_mp3::ToBytes("data"),
                {uint8_t(samples * 2), uint8_t(samples * 2 >> 8), uint8_t(samples * 2 >> 16), 0}});
    uint32_t random = 12345;
    for (uint32_t i = 0; i < samples; ++i) {
        random = random * 1103515245 + 12345;
        const int loudness = static_cast<int>(i / (rate * channels / 10) % 5);
        const int16_t value =
            static_cast<int16_t>(static_cast<int16_t>(random >> 16) >> (4 - loudness) * 3);
        wave.push_back(static_cast<uint8_t>(value));
        wave.push_back(static_cast<uint8_t>(value >> 8));
    }
    return wave;
}

// The stream lame makes of `seconds` of that noise, made once per test program.
const Bytes& Encode(int rate, int channels, double seconds, const std::string& lameArgs) {
    static std::map<std::string, Bytes> made;
    const std::string key = std::to_string(rate) + "_" + std::to_string(channels) + "_" +
                            std::to_string(seconds) + lameArgs;
    if (!made.contains(key)) {
        const std::string wave = Folder().File("in.wav"), mp3 = Folder().File("out.mp3");
        testing_mp3::WriteFile(wave, Wave(rate, channels, seconds));
        const std::string command = "lame --quiet " + lameArgs + " " + wave + " " + mp3;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        made[key] = testing_mp3::ReadFile(mp3);
    }
    return made[key];
}

size_t Find(const Bytes& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) - bytes.begin();
}

void PutBigEndian(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

// The Xing header of a lame stream replaced by a VBRI header with its counts.
Bytes WithVbri(Bytes stream) {
    const size_t xing = Find(stream, "Xing");
    const uint32_t frames = uint32_t(stream[xing + 8]) << 24 | stream[xing + 9] << 16 |
                            stream[xing + 10] << 8 | stream[xing + 11];
    std::fill(stream.begin() + xing, stream.begin() + xing + 156, 0);
    std::copy_n("VBRI\0\1", 6, stream.begin() + 36);
    PutBigEndian(stream, 36 + 10, static_cast<uint32_t>(stream.size()));
    PutBigEndian(stream, 36 + 14, frames);
    std::copy_n("\0\0\0\1\0\2\0\1", 8,
                stream.begin() + 36 + 18);  // an empty table of 2-byte entries
    return stream;
}

std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = Folder().File(name + ".mp3");
    testing_mp3::WriteFile(path, bytes);
    return path;
}

// The seconds of a full decode; when `gapless`, the encoder's delay and
// padding are left out where the LAME tag gives them.
double DecodedSeconds(const std::string& path, bool gapless = true) {
    mpg123_init();
    const std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> decoder(
        mpg123_new(nullptr, nullptr), mpg123_delete);
    mpg123_param(decoder.get(), gapless ? MPG123_ADD_FLAGS : MPG123_REMOVE_FLAGS, MPG123_GAPLESS,
                 0);
    EXPECT_EQ(mpg123_open(decoder.get(), path.c_str()), MPG123_OK);
    long rate = 0;
    int channels = 0, encoding = 0;
    size_t bytes = 0, total = 0;
    off_t frame = 0;
    unsigned char* audio = nullptr;
    for (int status = MPG123_OK; status == MPG123_OK || status == MPG123_NEW_FORMAT;) {
        status = mpg123_decode_frame(decoder.get(), &frame, &audio, &bytes);
        total += status == MPG123_OK ? bytes : 0;
    }
    mpg123_getformat(decoder.get(), &rate, &channels, &encoding);
    return double(total) / (channels * mpg123_encsize(encoding)) / rate;
}

double MutagenSeconds(const std::string& path) {
    const std::string command =
        "/usr/bin/python3 -c 'import sys, mutagen.mp3; "
        "print(mutagen.mp3.MP3(sys.argv[1]).info.length)' " +
        path;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    double seconds = -1;
    EXPECT_EQ(std::fscanf(pipe.get(), "%lf", &seconds), 1) << command;
    return seconds;
}

struct StreamCase {
    const char* name;
    int rate, channels;
    double seconds;
    const char* lameArgs;
    bool vbri;
    MpegVersion version;
    int sampleRate;
    ChannelMode mode;
    VbrHeader header;
    int bitrateKbps;  // 0: variable, checked against the stream's bytes over the decoded length
    bool exact;
    const char* encoder;
};

TEST(AudioProperties, LengthAgreesWithFullDecodeWithinOneFrame) {
    const StreamCase cases[] = {
        {"cbr", 44100, 2, 2, "-b 128 -m s -t", false, MpegVersion::Mpeg1, 44100,
         ChannelMode::Stereo, VbrHeader::None, 128, true, ""},
        {"cbr_info", 44100, 2, 2, "-b 128 -m s", false, MpegVersion::Mpeg1, 44100,
         ChannelMode::Stereo, VbrHeader::Info, 128, true, "LAME3."},
        {"vbr_xing", 44100, 2, 2, "-V2", false, MpegVersion::Mpeg1, 44100, ChannelMode::JointStereo,
         VbrHeader::Xing, 0, true, "LAME3."},
        {"vbr_no_header", 44100, 2, 2, "-V2 -t", false, MpegVersion::Mpeg1, 44100,
         ChannelMode::JointStereo, VbrHeader::None, 0, true, ""},
        {"vbri", 44100, 2, 2, "-V2", true, MpegVersion::Mpeg1, 44100, ChannelMode::JointStereo,
         VbrHeader::Vbri, 0, true, ""},
        {"mpeg2_mono", 22050, 1, 3, "-V4 -m m --resample 22.05", false, MpegVersion::Mpeg2, 22050,
         ChannelMode::Mono, VbrHeader::Xing, 0, true, "LAME3."},
        {"mpeg25_8k_mono_cbr", 8000, 1, 3, "-b 16 -m m --resample 8", false, MpegVersion::Mpeg25,
         8000, ChannelMode::Mono, VbrHeader::None, 16, true, ""},
        {"mpeg25_11k_stereo", 11025, 2, 3, "-V6 -m j --resample 11.025", false, MpegVersion::Mpeg25,
         11025, ChannelMode::JointStereo, VbrHeader::Xing, 0, true, "LAME3."},
        {"long_cbr_estimated", 44100, 2, 12, "-b 128 -m j -t", false, MpegVersion::Mpeg1, 44100,
         ChannelMode::JointStereo, VbrHeader::None, 128, false, ""},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes& stream = Encode(c.rate, c.channels, c.seconds, c.lameArgs);
        const std::string path = Write(c.name, c.vbri ? WithVbri(stream) : stream);
        const audio::AudioProperties properties = audio::ReadAudioProperties(path);
        const double decoded = DecodedSeconds(path);
        const double frame = (c.version == MpegVersion::Mpeg1 ? 1152.0 : 576.0) / c.sampleRate;
        ASSERT_TRUE(properties.found);
        EXPECT_EQ(properties.version, c.version);
        EXPECT_EQ(properties.layer, 3);
        EXPECT_EQ(properties.sampleRate, c.sampleRate);
        EXPECT_EQ(properties.channelMode, c.mode);
        EXPECT_EQ(properties.vbrHeader, c.header);
        EXPECT_EQ(properties.durationExact, c.exact);
        EXPECT_EQ(properties.variableBitrate, c.bitrateKbps == 0);
        EXPECT_EQ(properties.encoder.substr(0, 6), c.encoder);
        EXPECT_NEAR(properties.durationMs / 1000.0, decoded, frame);
        const double average = stream.size() * 8 / DecodedSeconds(path, false) / 1000;
        EXPECT_NEAR(properties.bitrateKbps, c.bitrateKbps ? c.bitrateKbps : average, average / 50);
        const double mutagen = MutagenSeconds(path);
        const TagLib::MPEG::File taglib(path.c_str());
        const double taglibSeconds = taglib.audioProperties()->lengthInMilliseconds() / 1000.0;
        // Never further from the decode than either peer (a millisecond of rounding aside).
        const double ours = properties.durationMs / 1000.0;
        EXPECT_LE(std::abs(ours - decoded),
                  std::min(std::abs(mutagen - decoded), std::abs(taglibSeconds - decoded)) + 0.001);
        std::cout << c.name << ": decode " << decoded << " s, ours "
                  << properties.durationMs / 1000.0 << " s, mutagen " << mutagen << " s, TagLib "
                  << taglibSeconds << " s\n";
    }
}

struct FaultCase {
    const char* name;
    Bytes file;
    std::vector<Finding::Kind> findings;
};

TEST(AudioProperties, StreamCheckFindsEachFaultAndNothingElse) {
    using K = Finding::Kind;
    const Bytes& cbr = Encode(44100, 2, 2, "-b 128 -m s -t");
    const Bytes& vbr = Encode(44100, 2, 2, "-V2");
    const Bytes& longVbr = Encode(44100, 2, 12, "-V2");
    const Bytes tag =
        testing_mp3::Tag(3, {testing_mp3::Frame(3, "TIT2", testing_mp3::Latin1Text("x"))});
    Bytes id3v1 = testing_mp3::ToBytes("TAG");
    id3v1.resize(128, ' ');
    const Bytes ape =
        Concat({testing_mp3::ToBytes("APETAGEX"), {0xD0, 0x07, 0, 0, 32, 0, 0, 0}, Bytes(16, 0)});
    Bytes xingCount = vbr, longXingCount = longVbr;
    PutBigEndian(xingCount, Find(xingCount, "Xing") + 8, 40);
    PutBigEndian(longXingCount, Find(longXingCount, "Xing") + 8, 40);
    const FaultCase cases[] = {
        {"clean_with_both_tags", Concat({tag, cbr, id3v1}), {}},
        {"lame_vbr_with_xing", vbr, {}},
        {"long_lame_vbr_with_xing", longVbr, {}},
        {"garbage_before_first_frame",
         Concat({tag, Bytes(300, 0x55), cbr}),
         {K::JunkBeforeFirstFrame}},
        {"truncated_last_frame", Bytes(cbr.begin(), cbr.end() - 100), {K::TruncatedLastFrame}},
        {"id3v2_tag_between_streams", Concat({tag, cbr, tag, cbr}), {K::Id3v2InsideAudio}},
        {"second_tag_after_first", Concat({tag, tag, cbr}), {K::Id3v2InsideAudio}},
        {"ape_tag_before_id3v1", Concat({cbr, ape, id3v1}), {K::ApeTag}},
        {"xing_count_disagrees", xingCount, {K::HeaderCountDisagrees}},
        {"long_xing_count_disagrees", longXingCount, {K::HeaderCountDisagrees}},
        {"vbr_without_header", Encode(44100, 2, 2, "-V2 -t"), {K::VbrWithoutHeader}},
        {"long_vbr_cut_in_half",
         Bytes(longVbr.begin(), longVbr.begin() + 150001),
         {K::HeaderCountDisagrees, K::TruncatedLastFrame}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const audio::AudioProperties properties = audio::ReadAudioProperties(Write(c.name, c.file));
        std::vector<K> kinds;
        for (const Finding& finding : properties.findings) {
            kinds.push_back(finding.kind);
            EXPECT_FALSE(finding.text.empty());
        }
        std::sort(kinds.begin(), kinds.end());
        EXPECT_EQ(kinds, c.findings);
        EXPECT_TRUE(properties.found);
    }
}

}  // namespace

TEST(AudioProperties, SummaryNamesEveryPropertyAndMarksAnEstimate) {
    using audio::AudioProperties;
    const std::pair<AudioProperties, std::string> cases[] = {
        {{}, "No MPEG audio found"},
        {{.found = true,
          .version = MpegVersion::Mpeg1,
          .layer = 3,
          .sampleRate = 44100,
          .channelMode = ChannelMode::JointStereo,
          .bitrateKbps = 190,
          .variableBitrate = true,
          .durationMs = 205000,
          .durationExact = true,
          .vbrHeader = VbrHeader::Xing,
          .encoder = "LAME3.100"},
         "MPEG-1 Layer III, 44100 Hz, Joint stereo, 190 kbps VBR, 3:25, Xing header, LAME3.100"},
        {{.found = true,
          .version = MpegVersion::Mpeg25,
          .layer = 3,
          .sampleRate = 8000,
          .channelMode = ChannelMode::Mono,
          .bitrateKbps = 16,
          .durationMs = 3725400},
         "MPEG-2.5 Layer III, 8000 Hz, Mono, 16 kbps CBR, ~1:02:05"},
        {{.found = true,
          .layer = 2,
          .sampleRate = 48000,
          .channelMode = ChannelMode::DualChannel,
          .bitrateKbps = 384,
          .durationMs = 59600,
          .durationExact = true},
         "MPEG-1 Layer II, 48000 Hz, Dual channel, 384 kbps CBR, 1:00"},
    };
    for (const auto& [properties, summary] : cases) {
        EXPECT_EQ(audio::Summary(properties), summary);
    }
}

// 300 MB of silent 417-byte frames made as they are read, counting the bytes read.
class EndlessSilence final : public audio::ByteSource {
  public:
    int64_t Size() const override { return 300LL << 20; }
    size_t ReadAt(int64_t offset, uint8_t* buffer, size_t n) const override {
        n = static_cast<size_t>(std::clamp<int64_t>(Size() - offset, 0, static_cast<int64_t>(n)));
        const uint8_t header[] = {0xFF, 0xFB, 0x90, 0xC4};
        for (size_t i = 0; i < n; ++i) {
            const int64_t inFrame = (offset + static_cast<int64_t>(i)) % 417;
            buffer[i] = inFrame < 4 ? header[inFrame] : 0;
        }
        read += n;
        return n;
    }
    mutable int64_t read = 0;
};

TEST(AudioProperties, LargeStreamIsEstimatedFromTwoWindowsOnly) {
    const EndlessSilence source;
    const audio::AudioProperties properties = audio::ReadAudioProperties(source, 0);
    EXPECT_LE(source.read, 128 * 1024);
    EXPECT_FALSE(properties.durationExact);
    EXPECT_NEAR(properties.durationMs, (300LL << 20) / 417 * 1152 * 1000 / 44100, 27);
    // 300 MB is no whole number of frames.
    ASSERT_EQ(properties.findings.size(), 1u);
    EXPECT_EQ(properties.findings[0].kind, Finding::Kind::TruncatedLastFrame);
}
