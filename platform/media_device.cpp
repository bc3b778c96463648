// The real media device: libmpg123 decodes the file and one decode thread feeds
// the samples to libout123, paced by the clock so the position runs in real time.
#include "platform/media_device.h"

#include <mpg123.h>
#include <out123.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How far decoding may run ahead of the clock, so a live output never starves.
constexpr auto kDecodeLead = std::chrono::milliseconds(200);

struct DecoderDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
struct OutputDeleter {
    void operator()(out123_handle* handle) const { out123_del(handle); }
};
using Decoder = std::unique_ptr<mpg123_handle, DecoderDeleter>;
using Output = std::unique_ptr<out123_handle, OutputDeleter>;

// mpg123_init is a no-op in current releases, but older ones need exactly one call.
void InitDecoderLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// The decoder's text for a failed call: the handle's own error when it has one,
// otherwise the text of the returned code.
MediaError DecoderError(mpg123_handle* handle, int result) {
    if (handle != nullptr && mpg123_errcode(handle) != MPG123_OK) {
        return MediaError(mpg123_strerror(handle));
    }
    return MediaError(mpg123_plain_strerror(result));
}

class Mpg123Device final : public MediaDevice {
  public:
    explicit Mpg123Device(std::string outputModules) : modules_(std::move(outputModules)) {
        InitDecoderLibrary();
    }
    ~Mpg123Device() override { Close(); }
    Mpg123Device(const Mpg123Device&) = delete;
    Mpg123Device& operator=(const Mpg123Device&) = delete;

    void Open(const std::string& path) override;
    void Play() override;
    void Stop() override;
    int64_t Length() override;
    void Seek(int64_t positionMs) override;
    int64_t Position() override;
    void Close() override;

  private:
    void RequireOpen() const;
    Decoder OpenDecoder(const std::string& path);
    Output OpenOutput();
    // Current position in samples; the caller holds mutex_.
    int64_t PositionSamplesLocked(Clock::time_point now) const;
    // Ends the decode thread and keeps the position it had reached.
    void Halt();
    void DecodeLoop(std::stop_token stop);

    std::string modules_;
    Decoder decoder_;
    Output output_;
    long rate_ = 0;
    int channels_ = 0;
    int64_t lengthSamples_ = 0;

    // Shared with the decode thread.
    mutable std::mutex mutex_;
    // The decode thread's pacing wait. Nothing calls notify on it by hand: the
    // stop_token overload of wait_until notifies it when Halt requests a stop,
    // so a stop ends the wait at once instead of after the paced interval.
    std::condition_variable_any pacing_;
    bool playing_ = false;
    int64_t pausedSamples_ = 0;     // position while not playing
    int64_t originSamples_ = 0;     // position when the clock started
    Clock::time_point originTime_;  // when the clock started
    int64_t decodedSamples_ = 0;    // end of what has gone to the output
    std::jthread thread_;           // last member: joined first on destruction
};

void Mpg123Device::RequireOpen() const {
    if (!decoder_) {
        throw MediaError("No media device is open.");
    }
}

Decoder Mpg123Device::OpenDecoder(const std::string& path) {
    int error = MPG123_OK;
    Decoder decoder(mpg123_new(nullptr, &error));
    if (!decoder) {
        throw DecoderError(nullptr, error);
    }
    mpg123_handle* handle = decoder.get();
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit samples at any rate: every live output accepts them.
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    // A FIFO would block the open and a character device such as /dev/zero
    // would never end the length scan; only regular files are decoded.
    if (struct stat st{}; ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw DecoderError(nullptr, MPG123_BAD_FILE);
    }
    if (int result = mpg123_open(handle, path.c_str()); result != MPG123_OK) {
        throw DecoderError(handle, result);
    }
    // The exact length needs a pass over every frame header; the estimate from
    // the first frame is wrong for variable bit rates.
    if (int result = mpg123_scan(handle); result != MPG123_OK) {
        throw DecoderError(handle, result);
    }
    int encoding = 0;
    if (int result = mpg123_getformat(handle, &rate_, &channels_, &encoding); result != MPG123_OK) {
        throw DecoderError(handle, result);
    }
    const off_t length = mpg123_length(handle);
    if (length < 0) {
        throw DecoderError(handle, static_cast<int>(length));
    }
    lengthSamples_ = length;
    // A later change of format inside the stream is converted to this one, so
    // the output never has to restart.
    mpg123_format_none(handle);
    mpg123_format(handle, rate_, channels_, MPG123_ENC_SIGNED_16);
    return decoder;
}

Output Mpg123Device::OpenOutput() {
    Output output(out123_new());
    if (!output) {
        throw MediaError("The sound output could not be created.");
    }
    out123_param_int(output.get(), OUT123_ADD_FLAGS, OUT123_QUIET);
    if (out123_open(output.get(), modules_.c_str(), nullptr) != OUT123_OK) {
        throw MediaError("No sound output could be opened (tried " + modules_ +
                         "): " + out123_strerror(output.get()));
    }
    if (out123_start(output.get(), rate_, channels_, MPG123_ENC_SIGNED_16) != OUT123_OK) {
        throw MediaError("The sound output does not accept " + std::to_string(rate_) +
                         " Hz audio: " + out123_strerror(output.get()));
    }
    return output;
}

void Mpg123Device::Open(const std::string& path) {
    Close();
    Decoder decoder = OpenDecoder(path);
    Output output = OpenOutput();
    const std::lock_guard lock(mutex_);
    decoder_ = std::move(decoder);
    output_ = std::move(output);
    playing_ = false;
    pausedSamples_ = 0;
}

void Mpg123Device::Play() {
    RequireOpen();
    const std::lock_guard lock(mutex_);
    if (playing_) {
        return;
    }
    playing_ = true;
    originSamples_ = pausedSamples_;
    decodedSamples_ = pausedSamples_;
    originTime_ = Clock::now();
    thread_ = std::jthread([this](std::stop_token stop) { DecodeLoop(stop); });
}

void Mpg123Device::Halt() {
    if (!thread_.joinable()) {
        return;
    }
    thread_.request_stop();
    thread_.join();
    const std::lock_guard lock(mutex_);
    pausedSamples_ = PositionSamplesLocked(Clock::now());
    playing_ = false;
}

void Mpg123Device::Stop() {
    RequireOpen();
    Halt();
    // The decoder ran ahead of what was heard; the next Play continues from
    // the position reached, not from where decoding stopped.
    mpg123_seek(decoder_.get(), pausedSamples_, SEEK_SET);
    out123_drop(output_.get());
    out123_pause(output_.get());
}

int64_t Mpg123Device::Length() {
    RequireOpen();
    return lengthSamples_ * 1000 / rate_;
}

void Mpg123Device::Seek(int64_t positionMs) {
    RequireOpen();
    const bool wasPlaying = thread_.joinable();
    Halt();
    out123_drop(output_.get());
    // Compared in milliseconds first, so that no position overflows on scaling.
    const int64_t target =
        positionMs >= Length() ? lengthSamples_ : std::max<int64_t>(positionMs, 0) * rate_ / 1000;
    const off_t reached = mpg123_seek(decoder_.get(), target, SEEK_SET);
    if (reached < 0) {
        throw DecoderError(decoder_.get(), static_cast<int>(reached));
    }
    {
        const std::lock_guard lock(mutex_);
        pausedSamples_ = reached;
    }
    if (wasPlaying) {
        Play();
    }
}

int64_t Mpg123Device::PositionSamplesLocked(Clock::time_point now) const {
    if (!playing_) {
        return pausedSamples_;
    }
    const auto elapsedUs =
        std::chrono::duration_cast<std::chrono::microseconds>(now - originTime_).count();
    const int64_t byClock = originSamples_ + elapsedUs * rate_ / 1000000;
    return std::min({byClock, decodedSamples_, lengthSamples_});
}

int64_t Mpg123Device::Position() {
    const std::lock_guard lock(mutex_);
    if (!decoder_) {
        return 0;
    }
    return PositionSamplesLocked(Clock::now()) * 1000 / rate_;
}

void Mpg123Device::Close() {
    Halt();
    if (output_) {
        // Closing would otherwise wait until the buffered audio has been heard.
        out123_drop(output_.get());
    }
    const std::lock_guard lock(mutex_);
    output_.reset();
    decoder_.reset();
    playing_ = false;
    pausedSamples_ = 0;
    lengthSamples_ = 0;
}

void Mpg123Device::DecodeLoop(std::stop_token stop) {
    std::vector<unsigned char> block(mpg123_outblock(decoder_.get()));
    const size_t bytesPerSample = static_cast<size_t>(channels_) * 2;
    while (!stop.stop_requested()) {
        size_t bytes = 0;
        const int result = mpg123_read(decoder_.get(), block.data(), block.size(), &bytes);
        if (bytes > 0) {
            out123_play(output_.get(), block.data(), bytes);
        }
        std::unique_lock lock(mutex_);
        decodedSamples_ += static_cast<int64_t>(bytes / bytesPerSample);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            // The end of the stream or a decoding fault: what was decoded plays out.
            return;
        }
        // Outputs such as "dummy" take data at once; wait until the clock has
        // nearly caught up with what was decoded, or until a stop is requested.
        const auto ahead =
            std::chrono::microseconds((decodedSamples_ - originSamples_) * 1000000 / rate_);
        const auto stopRequested = [&stop] { return stop.stop_requested(); };
        pacing_.wait_until(lock, stop, originTime_ + ahead - kDecodeLead, stopRequested);
    }
}

}  // namespace

std::unique_ptr<MediaDevice> CreateMpg123Device(const std::string& outputModules) {
    return std::make_unique<Mpg123Device>(outputModules);
}

}  // namespace platform
