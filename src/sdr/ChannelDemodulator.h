#pragma once
#include "Liquid.h"

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace kovo::sdr {

// Synchronous AM is demodulated as AM.
enum class DemodMode { Nfm, Wfm, Am, Usb, Lsb, Cw };

struct ChannelSettings {
    double inputRate = 2'400'000; // samples per second of the span
    double offsetHz = 0;          // the channel's distance from the span's centre
    DemodMode mode = DemodMode::Nfm;
    double ifBandwidthHz = 12'500;
    double audioRate = 48'000;
};

// Turns one channel of a span into sound. The channel is shifted to zero
// (VOLK's rotator), decimated early by an integer factor (liquid-dsp's
// polyphase decimator, which computes only the samples it keeps: far less
// work at the full rate than a chain of half-band stages), brought to the
// channel's rate (liquid-dsp's multi-stage resampler), limited to its IF
// bandwidth, demodulated (liquid-dsp's freqdem for NFM and
// WFM, ampmodem for AM, USB, LSB and CW) and freed of DC. The squelch gate
// and the AF gain apply last. Buffers are sized once; a running channel
// allocates nothing.
class ChannelDemodulator {
public:
    // Frequency deviations the FM demodulator takes as full scale.
    static constexpr double kNfmDeviationHz = 5'000;
    static constexpr double kWfmDeviationHz = 75'000;
    // Rate WFM is demodulated at before it is brought to the audio rate.
    static constexpr double kWfmChannelRate = 240'000;
    // CW is heard as a tone of this pitch.
    static constexpr double kCwPitchHz = 700;

    explicit ChannelDemodulator(const ChannelSettings& settings);

    // Demodulates `input`; the sound stays valid until the next call.
    std::span<const float> process(std::span<const std::complex<float>> input);

    // Moves the channel within the span; the filters keep their state.
    void setOffset(double offsetHz);
    void setGateOpen(bool open) { gateOpen_ = open; }
    void setAfGain(float gain) { afGain_ = gain; }
    void reset();

    const ChannelSettings& settings() const { return settings_; }
    double channelRate() const { return channelRate_; }
    bool gateOpen() const { return gateOpen_; }

private:
    void processChunk(const std::complex<float>* input, std::size_t count);
    std::size_t decimateFirst(std::size_t count);

    ChannelSettings settings_;
    double channelRate_;
    std::complex<float> phaseStep_;
    std::complex<float> phase_{1.0f, 0.0f};
    bool gateOpen_ = true;
    float afGain_ = 1.0f;

    unsigned firstFactor_;
    FirDecimatorPtr firstStage_; // none when the factor is 1
    ResamplerPtr decimator_;
    FirFilterPtr channelFilter_;
    FreqDemPtr fm_;
    AmpModemPtr am_;
    RealResamplerPtr audioResampler_; // WFM only
    IirFilterPtr dcBlocker_;

    std::vector<std::complex<float>> shifted_;
    std::size_t carried_ = 0; // samples at the front of shifted_ short of a decimator step
    std::vector<std::complex<float>> firstOut_;
    std::vector<std::complex<float>> channel_;
    std::vector<float> demodulated_;
    std::vector<float> resampled_;
    std::vector<float> audio_;
};

} // namespace kovo::sdr
