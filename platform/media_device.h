// The media device: plays one MP3 file at a time. Positions and lengths are in
// milliseconds. The window talks to the interface; the real device decodes with
// libmpg123 and plays through libout123 on a thread of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// A failure of the media device; the message is the decoder's or the device's text.
class MediaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class MediaDevice {
  public:
    virtual ~MediaDevice() = default;
    // Closes an open device first. Throws MediaError with the decoder's text.
    virtual void Open(const std::string& path) = 0;
    // Play, Stop, Length and Seek throw MediaError when no device is open.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual int64_t Length() = 0;
    virtual void Seek(int64_t positionMs) = 0;
    // Never throw; 0 when no device is open.
    virtual int64_t Position() = 0;
    virtual void Close() = 0;
};

// The real device. outputModules is libout123's comma-separated module list;
// it is always named explicitly (the default list can hang without a sound card).
std::unique_ptr<MediaDevice> CreateMpg123Device(const std::string& outputModules = "pulse,alsa");

}  // namespace platform
