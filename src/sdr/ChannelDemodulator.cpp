#include "ChannelDemodulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <volk/volk.h>

namespace kovo::sdr {

namespace {

constexpr std::size_t kChunk = 8192;
constexpr float kStopBandDb = 60.0f;
constexpr unsigned kFirstStageDelay = 3; // the first decimator's filter: 6 taps a factor

bool isFm(DemodMode mode) {
    return mode == DemodMode::Nfm || mode == DemodMode::Wfm;
}

bool isSingleSideband(DemodMode mode) {
    return mode == DemodMode::Usb || mode == DemodMode::Lsb || mode == DemodMode::Cw;
}

double channelRateFor(const ChannelSettings& s) {
    return s.mode == DemodMode::Wfm ? std::min(ChannelDemodulator::kWfmChannelRate, s.inputRate)
                                    : s.audioRate;
}

// The first stage keeps at least four times the channel's rate, so that
// what its short filter lets fold back lands far outside the channel. A WFM
// channel fills most of its rate already; two and a half times is enough
// for its ±100 kHz and saves a half-band stage at the full rate.
unsigned firstFactorFor(const ChannelSettings& s, double channelRate) {
    const double margin = s.mode == DemodMode::Wfm ? 2.5 : 4.0;
    return unsigned(std::max(1.0, std::floor(s.inputRate / (margin * channelRate))));
}

// CW is received as USB with the carrier placed at the pitch above zero.
double shiftFor(const ChannelSettings& s) {
    return s.mode == DemodMode::Cw ? s.offsetHz - ChannelDemodulator::kCwPitchHz : s.offsetHz;
}

// The channel filter passes ± half the IF bandwidth; a sideband mode's
// demodulator picks its side itself, so its filter passes the full width
// either side of the carrier.
FirFilterPtr makeChannelFilter(const ChannelSettings& s, double channelRate) {
    const double halfWidth = isSingleSideband(s.mode) ? s.ifBandwidthHz : s.ifBandwidthHz / 2;
    const float cutoff = float(std::clamp(halfWidth / channelRate, 0.01, 0.45));
    const float transition = std::clamp(cutoff * 0.25f, 0.01f, 0.5f - cutoff);
    const unsigned length = std::clamp(estimate_req_filter_len(transition, kStopBandDb), 9u, 511u);
    return makeLiquid<firfilt_crcf, firfilt_crcf_destroy>(
        firfilt_crcf_create_kaiser(length, cutoff, kStopBandDb, 0.0f), "the channel filter");
}

AmpModemPtr makeAmDemodulator(DemodMode mode) {
    const auto type = mode == DemodMode::Lsb  ? LIQUID_AMPMODEM_LSB
                      : mode == DemodMode::Am ? LIQUID_AMPMODEM_DSB
                                              : LIQUID_AMPMODEM_USB;
    const int suppressedCarrier = mode == DemodMode::Am ? 0 : 1;
    return makeLiquid<ampmodem, ampmodem_destroy>(ampmodem_create(1.0f, type, suppressedCarrier),
                                                  "the AM demodulator");
}

} // namespace

ChannelDemodulator::ChannelDemodulator(const ChannelSettings& settings)
    : settings_(settings), channelRate_(channelRateFor(settings)),
      firstFactor_(firstFactorFor(settings, channelRate_)) {
    if (!(settings.inputRate > 0) || !(settings.audioRate > 0) || !(settings.ifBandwidthHz > 0))
        throw std::invalid_argument("a channel needs positive rates and bandwidth");
    setOffset(settings.offsetHz);
    const double firstRate = settings.inputRate / firstFactor_;
    if (firstFactor_ > 1)
        firstStage_ = makeLiquid<firdecim_crcf, firdecim_crcf_destroy>(
            firdecim_crcf_create_kaiser(firstFactor_, kFirstStageDelay, kStopBandDb),
            "the first decimator");
    decimator_ = makeLiquid<msresamp_crcf, msresamp_crcf_destroy>(
        msresamp_crcf_create(float(channelRate_ / firstRate), kStopBandDb), "the resampler");
    channelFilter_ = makeChannelFilter(settings, channelRate_);
    if (isFm(settings.mode)) {
        const double deviation =
            settings.mode == DemodMode::Wfm ? kWfmDeviationHz : kNfmDeviationHz;
        fm_ = makeLiquid<freqdem, freqdem_destroy>(freqdem_create(float(deviation / channelRate_)),
                                                   "the FM demodulator");
    } else {
        am_ = makeAmDemodulator(settings.mode);
    }
    if (channelRate_ != settings.audioRate)
        audioResampler_ = makeLiquid<msresamp_rrrf, msresamp_rrrf_destroy>(
            msresamp_rrrf_create(float(settings.audioRate / channelRate_), kStopBandDb),
            "the audio resampler");
    dcBlocker_ = makeLiquid<iirfilt_rrrf, iirfilt_rrrf_destroy>(
        iirfilt_rrrf_create_dc_blocker(0.001f), "the DC blocker");

    const std::size_t firstRoom = kChunk / firstFactor_ + 1;
    const std::size_t channelRoom =
        std::size_t(std::ceil(double(firstRoom) * channelRate_ / firstRate)) + 64;
    shifted_.resize(kChunk + firstFactor_);
    firstOut_.resize(firstRoom);
    channel_.resize(channelRoom);
    demodulated_.resize(channelRoom);
    resampled_.resize(
        std::size_t(std::ceil(double(channelRoom) * settings.audioRate / channelRate_)) + 64);
    audio_.reserve(resampled_.size() * 4);
}

void ChannelDemodulator::setOffset(double offsetHz) {
    settings_.offsetHz = offsetHz;
    const double step = -2.0 * std::numbers::pi * shiftFor(settings_) / settings_.inputRate;
    phaseStep_ = {float(std::cos(step)), float(std::sin(step))};
}

void ChannelDemodulator::reset() {
    phase_ = {1.0f, 0.0f};
    carried_ = 0;
    if (firstStage_)
        firdecim_crcf_reset(firstStage_.get());
    msresamp_crcf_reset(decimator_.get());
    firfilt_crcf_reset(channelFilter_.get());
    if (fm_)
        freqdem_reset(fm_.get());
    if (am_)
        ampmodem_reset(am_.get());
    if (audioResampler_)
        msresamp_rrrf_reset(audioResampler_.get());
    iirfilt_rrrf_reset(dcBlocker_.get());
}

std::span<const float> ChannelDemodulator::process(std::span<const std::complex<float>> input) {
    audio_.clear();
    for (std::size_t done = 0; done < input.size(); done += kChunk)
        processChunk(input.data() + done, std::min(kChunk, input.size() - done));
    return audio_;
}

// Decimates the `count` shifted samples behind those carried from the last
// chunk; keeps what is short of a whole step for the next. Returns the
// samples now at the first stage's output.
std::size_t ChannelDemodulator::decimateFirst(std::size_t count) {
    const std::size_t total = carried_ + count;
    const std::size_t steps = total / firstFactor_;
    firdecim_crcf_execute_block(firstStage_.get(), shifted_.data(), unsigned(steps),
                                firstOut_.data());
    carried_ = total - steps * firstFactor_;
    std::copy_n(shifted_.begin() + std::ptrdiff_t(steps * firstFactor_), carried_,
                shifted_.begin());
    return steps;
}

void ChannelDemodulator::processChunk(const std::complex<float>* input, std::size_t count) {
    volk_32fc_s32fc_x2_rotator_32fc(shifted_.data() + carried_, input, phaseStep_, &phase_,
                                    unsigned(count));
    std::complex<float>* first = shifted_.data();
    std::size_t firstCount = count;
    if (firstStage_) {
        firstCount = decimateFirst(count);
        first = firstOut_.data();
    }
    unsigned channelCount = 0;
    msresamp_crcf_execute(decimator_.get(), first, unsigned(firstCount), channel_.data(),
                          &channelCount);
    firfilt_crcf_execute_block(channelFilter_.get(), channel_.data(), channelCount,
                               channel_.data());
    if (fm_)
        freqdem_demodulate_block(fm_.get(), channel_.data(), channelCount, demodulated_.data());
    else
        ampmodem_demodulate_block(am_.get(), channel_.data(), channelCount, demodulated_.data());

    float* sound = demodulated_.data();
    unsigned soundCount = channelCount;
    if (audioResampler_) {
        msresamp_rrrf_execute(audioResampler_.get(), demodulated_.data(), channelCount,
                              resampled_.data(), &soundCount);
        sound = resampled_.data();
    }
    iirfilt_rrrf_execute_block(dcBlocker_.get(), sound, soundCount, sound);
    const float gain = gateOpen_ ? afGain_ : 0.0f;
    volk_32f_s32f_multiply_32f(sound, sound, gain, soundCount);
    audio_.insert(audio_.end(), sound, sound + soundCount);
}

} // namespace kovo::sdr
