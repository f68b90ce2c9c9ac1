#include "PulseAudio.h"

#include "SoundFile.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace kovo::recorder {

AudioCapture::AudioCapture(std::string source, int sampleRate, Consumer onAudio)
    : source_(std::move(source)), sampleRate_(sampleRate), onAudio_(std::move(onAudio)) {}

AudioCapture::~AudioCapture() {
    stop();
}

void AudioCapture::start() {
    if (running_.exchange(true))
        return;
    thread_ = std::thread([this] { run(); });
}

void AudioCapture::stop() {
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

std::string AudioCapture::lastError() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

void AudioCapture::run() {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, std::uint32_t(sampleRate_), 1};
    const std::size_t blockSamples = std::size_t(sampleRate_ / 100);
    // Small fragments: audio reaches the gate within a block of the squelch.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(blockSamples * sizeof(float));
    std::vector<float> block(blockSamples);
    while (running_) {
        int error = 0;
        pa_simple* pa = pa_simple_new(nullptr, "KOVO Recorder", PA_STREAM_RECORD,
                                      source_.empty() ? nullptr : source_.c_str(), "Receiver audio",
                                      &spec, nullptr, &attr, &error);
        if (!pa) {
            {
                std::lock_guard lock(errorMutex_);
                error_ = pa_strerror(error);
            }
            for (int i = 0; i < 10 && running_; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        while (running_ &&
               pa_simple_read(pa, block.data(), block.size() * sizeof(float), &error) == 0) {
            connected_ = true; // audio is flowing
            float peak = 0;
            for (float s : block)
                peak = std::max(peak, std::fabs(s));
            level_ = std::min(peak, 1.0f);
            onAudio_(block);
        }
        connected_ = false;
        level_ = 0;
        if (running_) {
            std::lock_guard lock(errorMutex_);
            error_ = pa_strerror(error);
        }
        pa_simple_free(pa);
    }
}

Player::~Player() {
    stop();
}

bool Player::play(const std::filesystem::path& file) {
    stop();
    auto contents = readRecording(file);
    if (!contents || contents->sampleRate <= 0)
        return false;
    stopRequested_ = false;
    playing_ = true;
    thread_ = std::thread([this, rec = std::move(*contents)] {
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, std::uint32_t(rec.sampleRate), 1};
        int error = 0;
        pa_simple* pa = pa_simple_new(nullptr, "KOVO Recorder", PA_STREAM_PLAYBACK, nullptr,
                                      "Playback", &spec, nullptr, nullptr, &error);
        const std::size_t block = std::size_t(rec.sampleRate / 20);
        bool finished = pa != nullptr;
        for (std::size_t at = 0; pa && at < rec.samples.size(); at += block) {
            if (stopRequested_) {
                finished = false;
                break;
            }
            const std::size_t n = std::min(block, rec.samples.size() - at);
            if (pa_simple_write(pa, rec.samples.data() + at, n * sizeof(float), &error) != 0) {
                finished = false;
                break;
            }
        }
        if (pa) {
            if (finished)
                pa_simple_drain(pa, &error);
            else
                pa_simple_flush(pa, &error);
            pa_simple_free(pa);
        }
        playing_ = false;
        if (finished && onFinished)
            onFinished();
    });
    return true;
}

void Player::stop() {
    stopRequested_ = true;
    if (thread_.joinable())
        thread_.join();
    playing_ = false;
}

} // namespace kovo::recorder
