// A media device for tests: no sound, a clock that the test advances.
#pragma once

#include <string>
#include <vector>

#include "platform/media_device.h"

class FakeMediaDevice : public platform::MediaDevice {
  public:
    // Length reported for every opened file, in milliseconds.
    int64_t LengthMs = 10000;
    // When set, Open throws MediaError with this text.
    std::string OpenFailure;

    // Moves the clock: a playing device's position advances by ms.
    void Advance(int64_t ms);

    bool IsOpen() const { return open_; }
    bool IsPlaying() const { return playing_; }
    const std::string& OpenedPath() const { return path_; }
    // Every call in order, such as "open /x/a.mp3", "play", "seek 2500", "stop", "close".
    const std::vector<std::string>& Calls() const { return calls_; }

    void Open(const std::string& path) override;
    void Play() override;
    void Stop() override;
    int64_t Length() override;
    void Seek(int64_t positionMs) override;
    int64_t Position() override;
    void Close() override;

  private:
    void RequireOpen() const;
    bool open_ = false;
    bool playing_ = false;
    int64_t position_ = 0;
    std::string path_;
    std::vector<std::string> calls_;
};
