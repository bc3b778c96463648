// Fake media device with a test-driven clock.
#include "tests/helpers/fake_media_device.h"

#include <algorithm>

void FakeMediaDevice::Advance(int64_t ms) {
    if (open_ && playing_) {
        position_ = std::min(position_ + ms, LengthMs);
    }
}

void FakeMediaDevice::RequireOpen() const {
    if (!open_) {
        throw platform::MediaError("No media device is open.");
    }
}

void FakeMediaDevice::Open(const std::string& path) {
    if (open_) {
        Close();
    }
    calls_.push_back("open " + path);
    if (!OpenFailure.empty()) {
        throw platform::MediaError(OpenFailure);
    }
    open_ = true;
    playing_ = false;
    position_ = 0;
    path_ = path;
}

void FakeMediaDevice::Play() {
    RequireOpen();
    calls_.push_back("play");
    playing_ = true;
}

void FakeMediaDevice::Stop() {
    RequireOpen();
    calls_.push_back("stop");
    playing_ = false;
}

int64_t FakeMediaDevice::Length() {
    RequireOpen();
    return LengthMs;
}

void FakeMediaDevice::Seek(int64_t positionMs) {
    RequireOpen();
    calls_.push_back("seek " + std::to_string(positionMs));
    position_ = std::clamp<int64_t>(positionMs, 0, LengthMs);
}

int64_t FakeMediaDevice::Position() {
    return open_ ? position_ : 0;
}

void FakeMediaDevice::Close() {
    if (open_) {
        calls_.push_back("close");
    }
    open_ = false;
    playing_ = false;
}
