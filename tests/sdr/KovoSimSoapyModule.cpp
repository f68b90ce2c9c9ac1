// A SoapySDR module that plays the simulator's signal plan, so that the
// SoapySDR source is tested through the real SoapySDR library. It registers
// the driver "kovosim"; its arguments:
//   plan=PATH         the signal plan (default: the simulator's demo plan)
//   failAfterMs=N     each opened device stops streaming N ms after it starts,
//                     as a device unplugged
// The stream is paced by the clock; a reader more than half a second
// behind loses those samples and is told SOAPY_SDR_OVERFLOW, as hardware does.
#include "IqSignalGenerator.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Formats.hpp>
#include <SoapySDR/Registry.hpp>

#include <algorithm>
#include <chrono>
#include <complex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using kovo::sim::IqSignalGenerator;
using kovo::sim::SignalPlan;
using Clock = std::chrono::steady_clock;

SignalPlan planFrom(const SoapySDR::Kwargs& args) {
    const auto path = args.find("plan");
    if (path == args.end())
        return SignalPlan::demo();
    SignalPlan plan;
    std::vector<std::string> errors;
    if (!SignalPlan::load(path->second, &plan, &errors))
        throw std::runtime_error("kovosim: cannot read the plan " + path->second);
    return plan;
}

class KovoSimDevice : public SoapySDR::Device {
public:
    explicit KovoSimDevice(const SoapySDR::Kwargs& args) : generator_(planFrom(args)) {
        if (const auto fail = args.find("failAfterMs"); fail != args.end())
            failAfter_ = std::chrono::milliseconds(std::stol(fail->second));
        generator_.tune(std::uint64_t(centreHz_), std::uint32_t(rate_));
    }

    using SoapySDR::Device::getFrequency;
    using SoapySDR::Device::getFrequencyRange;
    using SoapySDR::Device::getGain;
    using SoapySDR::Device::getGainRange;
    using SoapySDR::Device::setFrequency;
    using SoapySDR::Device::setGain;

    std::string getDriverKey() const override { return "kovosim"; }
    std::string getHardwareKey() const override { return "kovosim"; }
    size_t getNumChannels(int direction) const override { return direction == SOAPY_SDR_RX; }

    std::vector<std::string> getStreamFormats(int, size_t) const override {
        return {SOAPY_SDR_CF32};
    }
    std::string getNativeStreamFormat(int, size_t, double& fullScale) const override {
        fullScale = 1.0;
        return SOAPY_SDR_CF32;
    }

    SoapySDR::Stream* setupStream(int direction, const std::string& format,
                                  const std::vector<size_t>& channels,
                                  const SoapySDR::Kwargs&) override {
        if (direction != SOAPY_SDR_RX || format != SOAPY_SDR_CF32 || channels.size() > 1)
            throw std::runtime_error("kovosim: one CF32 receive channel only");
        return reinterpret_cast<SoapySDR::Stream*>(this);
    }
    void closeStream(SoapySDR::Stream*) override {}
    int activateStream(SoapySDR::Stream*, int, long long, size_t) override {
        started_ = Clock::now();
        delivered_ = 0;
        return 0;
    }
    int deactivateStream(SoapySDR::Stream*, int, long long) override { return 0; }

    int readStream(SoapySDR::Stream*, void* const* buffers, size_t numElems, int& flags,
                   long long& timeNs, long timeoutUs) override {
        flags = 0;
        timeNs = 0;
        const auto now = Clock::now();
        if (failAfter_.count() > 0 && now - started_ > failAfter_)
            return SOAPY_SDR_STREAM_ERROR;
        if (due(now) - delivered_ > std::uint64_t(rate_ / 2)) {
            delivered_ = due(now);
            return SOAPY_SDR_OVERFLOW;
        }
        const auto until = now + std::chrono::microseconds(timeoutUs);
        while (due(Clock::now()) - delivered_ < numElems && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::size_t count = std::min<std::uint64_t>(numElems, due(Clock::now()) - delivered_);
        if (count == 0)
            return SOAPY_SDR_TIMEOUT;
        auto* out = static_cast<std::complex<float>*>(buffers[0]);
        generator_.generate({out, count}, std::int64_t(delivered_ * 1000 / std::uint64_t(rate_)));
        delivered_ += count;
        return int(count);
    }

    void setFrequency(int, size_t, double frequency, const SoapySDR::Kwargs&) override {
        centreHz_ = frequency;
        generator_.tune(std::uint64_t(centreHz_), std::uint32_t(rate_));
    }
    double getFrequency(int, size_t) const override { return centreHz_; }
    std::vector<std::string> listFrequencies(int, size_t) const override { return {"RF"}; }
    SoapySDR::RangeList getFrequencyRange(int, size_t) const override {
        return {SoapySDR::Range(24e6, 1766e6)};
    }

    void setSampleRate(int, size_t, double rate) override {
        // The stream keeps its clock: samples stay due from where they were.
        started_ =
            Clock::now() - std::chrono::microseconds(std::int64_t(double(delivered_) * 1e6 / rate));
        rate_ = rate;
        generator_.tune(std::uint64_t(centreHz_), std::uint32_t(rate_));
    }
    double getSampleRate(int, size_t) const override { return rate_; }
    std::vector<double> listSampleRates(int, size_t) const override {
        return {240e3, 1.024e6, 2.048e6, 2.4e6};
    }

    bool hasGainMode(int, size_t) const override { return true; }
    void setGainMode(int, size_t, bool automatic) override { automaticGain_ = automatic; }
    bool getGainMode(int, size_t) const override { return automaticGain_; }
    void setGain(int, size_t, double gain) override { gain_ = gain; }
    double getGain(int, size_t) const override { return gain_; }
    SoapySDR::Range getGainRange(int, size_t) const override { return {0, 49.6}; }

    bool hasFrequencyCorrection(int, size_t) const override { return true; }
    void setFrequencyCorrection(int, size_t, double ppm) override { ppm_ = ppm; }
    double getFrequencyCorrection(int, size_t) const override { return ppm_; }

private:
    std::uint64_t due(Clock::time_point now) const {
        const double seconds = std::chrono::duration<double>(now - started_).count();
        return std::uint64_t(std::max(0.0, seconds) * rate_);
    }

    IqSignalGenerator generator_;
    double centreHz_ = 100e6;
    double rate_ = 2.4e6;
    bool automaticGain_ = true;
    double gain_ = 0;
    double ppm_ = 0;
    std::chrono::milliseconds failAfter_{0};
    Clock::time_point started_ = Clock::now();
    std::uint64_t delivered_ = 0;
};

// Found only when asked for by name, so that it stays out of the way of
// other drivers' enumerations.
SoapySDR::KwargsList findKovoSim(const SoapySDR::Kwargs& args) {
    const auto driver = args.find("driver");
    if (driver == args.end() || driver->second != "kovosim")
        return {};
    SoapySDR::Kwargs found = args;
    found["label"] = "KOVO3000 simulated SDR";
    return {found};
}

SoapySDR::Device* makeKovoSim(const SoapySDR::Kwargs& args) {
    return new KovoSimDevice(args);
}

const SoapySDR::Registry registerKovoSim("kovosim", &findKovoSim, &makeKovoSim,
                                         SOAPY_SDR_ABI_VERSION);

} // namespace
