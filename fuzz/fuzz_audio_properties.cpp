// Fuzzes the audio reader on a buffer: AudioStart and ReadAudioProperties
// must stay inside the input, end, and give properties that hold together.
// An odd first byte repeats the input to about 100 KB, so that small inputs
// also reach the walk of a head and a tail window with the estimate between.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/audio_properties.h"

namespace {

constexpr size_t kRepeatedBytes = 100 * 1024;

std::vector<uint8_t> Input(const uint8_t* data, size_t size) {
    std::vector<uint8_t> input(data, data + size);
    if (size > 0 && (data[0] & 1) != 0) {
        while (input.size() < kRepeatedBytes) {
            input.insert(input.end(), data, data + size);
        }
    }
    return input;
}

bool HoldsTogether(const audio::AudioProperties& properties, int64_t size) {
    for (const audio::Finding& finding : properties.findings) {
        if (finding.offset < 0 || finding.offset > size || finding.text.empty()) {
            return false;
        }
    }
    if (!properties.found) {
        return true;
    }
    return properties.layer >= 1 && properties.layer <= 3 && properties.sampleRate >= 8000 &&
           properties.sampleRate <= 48000 && properties.durationMs >= 0 &&
           properties.frameCount >= 0 && properties.bitrateKbps >= 0 &&
           properties.firstFrameOffset >= 0 && properties.firstFrameOffset < size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input = Input(data, size);
    const audio::MemorySource source(input);
    const int64_t start = audio::AudioStart(source);
    if (start < 0 || start > source.Size()) {
        std::abort();
    }
    if (!HoldsTogether(audio::ReadAudioProperties(source, start), source.Size()) ||
        !HoldsTogether(audio::ReadAudioProperties(source, 0), source.Size())) {
        std::abort();
    }
    return 0;
}
