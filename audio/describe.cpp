// The texts a window shows of the properties: the length, one summary line,
// and the stream check's findings.
#include <algorithm>
#include <cstdio>
#include <string>

#include "audio/audio_properties.h"

namespace audio {

std::string DurationText(int64_t milliseconds, bool exact) {
    const int64_t seconds = (std::max<int64_t>(milliseconds, 0) + 500) / 1000;
    const int64_t hours = seconds / 3600;
    char text[32];
    if (hours > 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(seconds / 60 % 60),
                      static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    std::string shown = exact ? "" : "~";
    return shown.append(text);
}

std::string Summary(const AudioProperties& properties) {
    if (!properties.found) {
        return "No MPEG audio found";
    }
    static const char* const kLayers[] = {"", "Layer I", "Layer II", "Layer III"};
    std::string summary = std::string(VersionName(properties.version)) + " " +
                          kLayers[properties.layer] + ", " + std::to_string(properties.sampleRate) +
                          " Hz, " + ChannelModeName(properties.channelMode) + ", " +
                          std::to_string(properties.bitrateKbps) + " kbps " +
                          (properties.variableBitrate ? "VBR" : "CBR") + ", " +
                          DurationText(properties.durationMs, properties.durationExact);
    if (properties.vbrHeader != VbrHeader::None) {
        summary += std::string(", ") + VbrHeaderName(properties.vbrHeader) + " header";
    }
    if (!properties.encoder.empty()) {
        summary += ", " + properties.encoder;
    }
    return summary;
}

std::string FindingsText(const AudioProperties& properties) {
    std::string text;
    for (const Finding& finding : properties.findings) {
        text += (text.empty() ? "" : "\n") + finding.text;
    }
    return text;
}

}  // namespace audio
