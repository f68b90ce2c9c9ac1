// The sound output against a private PulseAudio (run-with-sound.sh): its
// playback goes to the null sink "silence", whose monitor the test records.
#include "SdrTestSignals.h"
#include "sdr/SoundOutput.h"

#include <gtest/gtest.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace kovo::sdr;
using kovo::sdr::test::waitUntil;
using namespace std::chrono_literals;

constexpr int kRate = 48'000;
constexpr std::size_t kBlock = kRate / 100;

std::vector<float> toneBlock(std::size_t& phase) {
    std::vector<float> block(kBlock);
    for (float& s : block)
        s = 0.5f * float(std::sin(2 * std::numbers::pi * 1000.0 * double(phase++) / kRate));
    return block;
}

std::vector<float> record(const char* source, std::size_t samples) {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, kRate, 1};
    int code = 0;
    pa_simple* pa = pa_simple_new(nullptr, "test", PA_STREAM_RECORD, source, "monitor", &spec,
                                  nullptr, nullptr, &code);
    std::vector<float> audio(samples);
    if (!pa || pa_simple_read(pa, audio.data(), audio.size() * sizeof(float), &code) != 0)
        audio.clear();
    if (pa)
        pa_simple_free(pa);
    return audio;
}

std::string command(const char* line) {
    std::string out;
    if (FILE* pipe = ::popen(line, "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

SoundOutputSettings toSilenceSink() {
    SoundOutputSettings settings;
    settings.sink = "silence";
    settings.retryMs = 100;
    return settings;
}

TEST(SoundOutputE2e, AToneWrittenIsHeardOnTheMonitorOfAStreamNamedKovo3000) {
    SoundOutput output(toSilenceSink());
    output.start();
    ASSERT_TRUE(waitUntil([&] { return output.status().connected; })) << output.status().lastError;
    std::atomic<bool> playing{true};
    std::thread dsp([&] {
        std::size_t phase = 0;
        auto next = std::chrono::steady_clock::now();
        while (playing) {
            output.push(toneBlock(phase));
            next += 10ms;
            std::this_thread::sleep_until(next);
        }
    });
    std::this_thread::sleep_for(200ms);
    const auto heard = record("silence.monitor", kRate / 2);
    const std::string inputs = command("pactl list sink-inputs");
    playing = false;
    dsp.join();
    ASSERT_EQ(heard.size(), std::size_t(kRate / 2));
    EXPECT_GE(kovo::sdr::test::toneSnrDb(heard, kRate, 1000), 30.0);
    EXPECT_NE(inputs.find("media.name = \"KOVO3000\""), std::string::npos) << inputs;
    EXPECT_GT(output.status().playedSamples, std::size_t(kRate / 2));
}

// A server that stops answering, then one that is gone: audio pushed is
// dropped and counted, and neither the pusher nor stop() waits on it.
TEST(SoundOutputE2e, AServerThatStopsOrGoesAwayDropsTheAudioInsteadOfBlocking) {
    const char* pidText = std::getenv("KOVO_SOUND_SERVER_PID");
    if (!pidText)
        GTEST_SKIP() << "needs the sound server's process id (run-with-sound.sh)";
    const pid_t server = pid_t(std::atol(pidText));
    struct Case {
        const char* name;
        int signal;
    };
    for (const Case c : {Case{"stopped", SIGSTOP}, Case{"gone", SIGKILL}}) {
        SCOPED_TRACE(c.name);
        SoundOutput output(toSilenceSink());
        output.start();
        ASSERT_TRUE(waitUntil([&] { return output.status().connected; }));
        ASSERT_EQ(::kill(server, c.signal), 0);
        std::size_t phase = 0;
        // Two seconds of sound, pushed at once: far more than the queue holds.
        for (int i = 0; i < 200; ++i)
            output.push(toneBlock(phase));
        EXPECT_GT(output.status().droppedSamples, std::uint64_t(kRate));
        if (c.signal == SIGKILL) {
            EXPECT_TRUE(waitUntil([&] { return !output.status().connected; }));
            EXPECT_FALSE(output.status().lastError.empty());
        }
        output.stop();
        if (c.signal == SIGSTOP)
            ::kill(server, SIGCONT);
    }
}

} // namespace
