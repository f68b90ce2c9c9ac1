#include "web/audio/AudioFrame.h"
#include "web/audio/LiveSoundSource.h"
#include "web/audio/PulseCapture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <opus/opus.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

// Runs under a private PulseAudio whose source "air.monitor" carries a
// 440 Hz sine (see run-with-sound.sh).
using namespace kovo::web;

namespace {

template <typename Done> bool waitFor(Done done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(LiveSoundSourceLive, CapturesTheToneAndSendsDecodableOpusFrames) {
    LiveSoundSource source("air.monitor");
    std::vector<QByteArray> frames;
    source.addListener(7, AudioForm::Opus, [&](const QByteArray& f) { frames.push_back(f); });
    ASSERT_TRUE(waitFor([&] { return frames.size() >= 100; }));
    source.removeListener(7);
    EXPECT_FALSE(source.capturing());

    int error = 0;
    OpusDecoder* decoder = opus_decoder_create(48000, 1, &error);
    ASSERT_EQ(error, OPUS_OK);
    float peak = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto frame = unpackAudioFrame(frames[i]);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->sequence, i);
        float pcm[960];
        const int n = opus_decode_float(
            decoder, reinterpret_cast<const unsigned char*>(frame->payload.constData()),
            opus_int32(frame->payload.size()), pcm, 960, 0);
        ASSERT_EQ(n, 480);
        if (i > 10)
            for (int k = 0; k < n; ++k)
                peak = std::max(peak, std::fabs(pcm[k]));
    }
    opus_decoder_destroy(decoder);
    EXPECT_GT(peak, 0.05f); // the sine is there, not silence
}

TEST(LiveSoundSourceLive, AMissingSourceIsReportedOnceAndNothingIsSent) {
    LiveSoundSource source("no.such.source");
    QSignalSpy failures(&source, &LiveSoundSource::captureFailed);
    int frames = 0;
    source.addListener(1, AudioForm::Opus, [&](const QByteArray&) { ++frames; });
    ASSERT_TRUE(waitFor([&] { return failures.count() > 0; }));
    // The capture retries every second; the same fault is not told again.
    waitFor([] { return false; }, 2500);
    EXPECT_EQ(failures.count(), 1);
    EXPECT_TRUE(failures[0][0].toString().contains("no.such.source"));
    EXPECT_FALSE(source.isAvailable());
    EXPECT_EQ(frames, 0);
    source.removeListener(1);
}

// With the sound server stopped (as Ctrl+Z stops it) the capture's thread
// sits in a read from it: stopping returns at once all the same, and no
// block is handed over afterwards.
TEST(PulseCaptureLive, StoppingNeverWaitsForASoundServerThatDoesNotAnswer) {
    const char* pidText = std::getenv("KOVO_SOUND_SERVER_PID");
    if (!pidText)
        GTEST_SKIP() << "runs under run-with-sound.sh";
    const pid_t server = pid_t(std::atol(pidText));
    using namespace std::chrono;
    PulseCapture capture("air.monitor");
    std::atomic<int> blocks{0};
    capture.start([&](std::span<const float>, std::int64_t) { ++blocks; },
                  [](const std::string&) {});
    const auto until = steady_clock::now() + seconds(10);
    while (blocks < 10 && steady_clock::now() < until)
        std::this_thread::sleep_for(milliseconds(10));
    ASSERT_GE(blocks, 10);
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    std::this_thread::sleep_for(milliseconds(300));
    std::thread resume([server] {
        std::this_thread::sleep_for(seconds(3));
        ::kill(server, SIGCONT);
    });
    const auto before = steady_clock::now();
    capture.stop();
    const auto took = duration_cast<milliseconds>(steady_clock::now() - before);
    const int atStop = blocks;
    // Listen switched on and off against the stopped server: threads that
    // wait on it are bounded, and past the bound the input says why.
    std::string refusal;
    for (int i = 0; i < 2 * PulseCapture::kMaxWindingDown && refusal.empty(); ++i) {
        capture.start([](std::span<const float>, std::int64_t) {},
                      [&](const std::string& message) { refusal = message; });
        capture.stop();
    }
    EXPECT_LE(capture.threadsAlive(), PulseCapture::kMaxWindingDown);
    EXPECT_NE(refusal.find("does not answer"), std::string::npos) << refusal;
    resume.join();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_LT(took.count(), 500);
    EXPECT_EQ(blocks, atStop);
    // The stopped thread ends once the server answers again.
    const auto ended = steady_clock::now() + seconds(5);
    while (capture.threadsAlive() > 0 && steady_clock::now() < ended)
        std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(capture.threadsAlive(), 0);
}
