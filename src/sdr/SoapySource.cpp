#include "SoapySource.h"

#include "IqBlockAssembler.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Errors.hpp>
#include <SoapySDR/Formats.hpp>

#include <chrono>
#include <complex>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace kovo::sdr {

namespace {

constexpr long kReadTimeoutUs = 200'000;

struct DeviceCloser {
    void operator()(SoapySDR::Device* device) const { SoapySDR::Device::unmake(device); }
};
using DevicePtr = std::unique_ptr<SoapySDR::Device, DeviceCloser>;

void applyGain(SoapySDR::Device& device, const std::optional<double>& gainDb) {
    if (device.hasGainMode(SOAPY_SDR_RX, 0))
        device.setGainMode(SOAPY_SDR_RX, 0, !gainDb.has_value());
    if (gainDb)
        device.setGain(SOAPY_SDR_RX, 0, *gainDb);
}

void applyPpm(SoapySDR::Device& device, int ppm) {
    if (device.hasFrequencyCorrection(SOAPY_SDR_RX, 0))
        device.setFrequencyCorrection(SOAPY_SDR_RX, 0, double(ppm));
}

std::vector<FrequencyBand> bandsOf(SoapySDR::Device& device) {
    std::vector<FrequencyBand> bands;
    for (const SoapySDR::Range& r : device.getFrequencyRange(SOAPY_SDR_RX, 0))
        bands.push_back({std::uint64_t(r.minimum()), std::uint64_t(r.maximum())});
    return bands;
}

} // namespace

// One opened device: its stream and the settings it has been given.
class SoapySource::Session {
public:
    Session(SoapySource& source, SoapySDR::Device& device, IqBlockAssembler& assembler)
        : source_(source), device_(device), assembler_(assembler),
          buffer_(source.settings_.blockSamples) {}

    // Streams until the device fails or the source stops; returns why.
    std::string run();

private:
    void applyPending(bool all);
    void retuned(std::uint64_t generation, std::uint64_t centreHz, std::uint32_t rate);

    SoapySource& source_;
    SoapySDR::Device& device_;
    IqBlockAssembler& assembler_;
    std::vector<std::complex<float>> buffer_;
};

// Gives the device the settings changed since the last call (or all of
// them). A retune starts a new generation in the assembler, which discards
// the tuner's settling time.
void SoapySource::Session::applyPending(bool all) {
    Pending pending;
    SoapySettings settings;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(source_.mutex_);
        pending = std::exchange(source_.pending_, {});
        settings = source_.settings_;
        generation = source_.generation_.load();
    }
    if (all || pending.retune) {
        device_.setSampleRate(SOAPY_SDR_RX, 0, double(settings.sampleRate));
        device_.setFrequency(SOAPY_SDR_RX, 0, double(settings.centreHz));
        retuned(generation, settings.centreHz, settings.sampleRate);
    }
    if (all || pending.gain)
        applyGain(device_, settings.gainDb);
    if (all || pending.ppm)
        applyPpm(device_, settings.ppm);
}

void SoapySource::Session::retuned(std::uint64_t generation, std::uint64_t centreHz,
                                   std::uint32_t rate) {
    const std::uint64_t settle =
        std::uint64_t(rate) * std::uint64_t(source_.settings_.settleMs) / 1000;
    assembler_.retune(generation, centreHz, rate, settle);
}

std::string SoapySource::Session::run() {
    applyPending(true);
    {
        auto bands = bandsOf(device_);
        std::lock_guard lock(source_.mutex_);
        source_.bands_ = std::move(bands);
    }
    SoapySDR::Stream* stream = device_.setupStream(SOAPY_SDR_RX, SOAPY_SDR_CF32, {0});
    if (const int rc = device_.activateStream(stream); rc != 0) {
        device_.closeStream(stream);
        return std::string("the stream cannot be started: ") + SoapySDR::errToStr(rc);
    }
    {
        std::lock_guard lock(source_.mutex_);
        source_.status_.state = SourceState::Streaming;
        source_.status_.lastError.clear();
        ++source_.status_.connects;
    }
    using Clock = std::chrono::steady_clock;
    auto lastData = Clock::now();
    std::string ended;
    while (!source_.stopping_ && ended.empty()) {
        applyPending(false);
        void* buffers[] = {buffer_.data()};
        int flags = 0;
        long long timeNs = 0;
        const int got =
            device_.readStream(stream, buffers, buffer_.size(), flags, timeNs, kReadTimeoutUs);
        if (got > 0) {
            assembler_.append(buffer_.data(), std::size_t(got));
            lastData = Clock::now();
            std::lock_guard lock(source_.mutex_);
            source_.status_.bytesRead += std::uint64_t(got) * sizeof(std::complex<float>);
            source_.status_.staleSamples = assembler_.staleSamples();
        } else if (got == SOAPY_SDR_OVERFLOW) {
            ++source_.deviceOverflows_;
        } else if (got != SOAPY_SDR_TIMEOUT && got != 0) {
            ended = std::string("the device stopped streaming: ") + SoapySDR::errToStr(got);
        } else if (Clock::now() - lastData > std::chrono::milliseconds(source_.settings_.stallMs)) {
            ended =
                "the device sent nothing for " + std::to_string(source_.settings_.stallMs) + " ms";
        }
    }
    device_.deactivateStream(stream);
    device_.closeStream(stream);
    return ended;
}

SoapySource::SoapySource(SoapySettings settings)
    : queue_(settings.queueBlocks), settings_(std::move(settings)) {}

SoapySource::~SoapySource() {
    stop();
}

void SoapySource::start() {
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void SoapySource::stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

template <typename Change> void SoapySource::changeSettings(Change&& change) {
    std::lock_guard lock(mutex_);
    change();
}

void SoapySource::tune(std::uint64_t centreHz) {
    changeSettings([&] {
        settings_.centreHz = centreHz;
        pending_.retune = true;
        ++generation_;
    });
}

void SoapySource::setSampleRate(std::uint32_t sampleRate) {
    changeSettings([&] {
        settings_.sampleRate = sampleRate;
        pending_.retune = true;
        ++generation_;
    });
}

void SoapySource::setGainDb(std::optional<double> gainDb) {
    changeSettings([&] {
        settings_.gainDb = gainDb;
        pending_.gain = true;
    });
}

void SoapySource::setPpm(int ppm) {
    changeSettings([&] {
        settings_.ppm = ppm;
        pending_.ppm = true;
    });
}

SourceStatus SoapySource::status() const {
    std::lock_guard lock(mutex_);
    SourceStatus status = status_;
    status.overruns = queue_.overruns() + deviceOverflows_.load();
    return status;
}

std::vector<FrequencyBand> SoapySource::frequencyBands() const {
    std::lock_guard lock(mutex_);
    return bands_;
}

void SoapySource::setState(SourceState state, const std::string& error) {
    std::lock_guard lock(mutex_);
    status_.state = state;
    if (!error.empty())
        status_.lastError = error;
}

bool SoapySource::waitBeforeRetry() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(settings_.reconnectMs),
                   [this] { return stopping_.load(); });
    return !stopping_;
}

void SoapySource::run() {
    std::string args;
    std::size_t blockSamples = 0;
    {
        std::lock_guard lock(mutex_);
        args = settings_.args;
        blockSamples = settings_.blockSamples;
    }
    IqBlockAssembler assembler(queue_, blockSamples);
    while (!stopping_) {
        setState(SourceState::Connecting);
        std::string error;
        try {
            const DevicePtr device(SoapySDR::Device::make(args));
            Session session(*this, *device, assembler);
            error = session.run();
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (stopping_)
            break;
        {
            std::lock_guard lock(mutex_);
            if (status_.state == SourceState::Streaming)
                ++status_.disconnects;
        }
        setState(SourceState::Disconnected,
                 "SoapySDR device \"" + args + "\": " + (error.empty() ? "closed" : error));
        if (!waitBeforeRetry())
            break;
    }
    setState(SourceState::Stopped);
}

} // namespace kovo::sdr
