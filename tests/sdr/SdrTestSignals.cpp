#include "SdrTestSignals.h"

#include "IqSignalGenerator.h"
#include "sdr/IqPipeline.h"
#include "sdr/IqSource.h"
#include "sdr/Liquid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fftw3.h>
#include <thread>

namespace kovo::sdr::test {

std::vector<std::complex<float>> planSamples(std::string_view planText, std::uint64_t centreHz,
                                             std::uint32_t rate, std::size_t count) {
    std::vector<std::string> errors;
    sim::IqSignalGenerator generator(sim::SignalPlan::parse(planText, &errors));
    generator.tune(centreHz, rate);
    std::vector<std::complex<float>> samples(count);
    generator.generate(samples, 0);
    return samples;
}

double toneSnrDb(std::span<const float> audio, double rate, double toneHz) {
    std::size_t n = 1;
    while (n * 2 <= audio.size())
        n *= 2;
    std::vector<float> in(audio.end() - std::ptrdiff_t(n), audio.end());
    for (std::size_t i = 0; i < n; ++i)
        in[i] *= liquid_blackmanharris(unsigned(i), unsigned(n));
    std::vector<fftwf_complex> out(n / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(int(n), in.data(), out.data(), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    const auto toneBin = std::ptrdiff_t(std::lround(toneHz / rate * double(n)));
    constexpr std::ptrdiff_t kLobe = 4; // Blackman-Harris main lobe, either side
    double tone = 0, rest = 0;
    for (std::ptrdiff_t k = kLobe; k < std::ptrdiff_t(out.size()); ++k) {
        const double power = double(out[std::size_t(k)][0]) * out[std::size_t(k)][0] +
                             double(out[std::size_t(k)][1]) * out[std::size_t(k)][1];
        (std::abs(k - toneBin) <= kLobe ? tone : rest) += power;
    }
    return 10.0 * std::log10(tone / std::max(rest, 1e-30));
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

namespace {

// Processes `seconds` of current-generation samples from the source.
void listen(IqSource& source, IqPipeline& pipeline, double seconds, std::uint32_t rate) {
    using namespace std::chrono_literals;
    std::size_t processed = 0;
    const auto wanted = std::size_t(seconds * rate);
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (processed < wanted && std::chrono::steady_clock::now() < until) {
        auto block = source.blocks().popFor(100ms);
        if (!block)
            continue;
        if (pipeline.process(*block, source.generation()))
            processed += block->samples.size();
        source.blocks().recycle(std::move(*block));
    }
    ASSERT_GE(processed, wanted);
}

} // namespace

RetuneHearing hearCarrierThenRetuneAway(IqSource& source, std::uint32_t rate) {
    PipelineSettings settings;
    settings.channelHz = 145'512'500;
    settings.spectrumBins = 1024;
    settings.spectrumHop = 1024;
    IqPipeline pipeline(settings);
    RetuneHearing heard;
    listen(source, pipeline, 0.3, rate);
    heard.carrierIndex = pipeline.signal().index;
    source.tune(146'000'000);
    pipeline.setChannel(146'012'500);
    listen(source, pipeline, 0.1, rate);
    heard.afterRetuneIndex = pipeline.signal().index;
    return heard;
}

} // namespace kovo::sdr::test
