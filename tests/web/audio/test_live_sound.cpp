#include "fakes/FakeSoundCapture.h"
#include "web/audio/AudioFrame.h"
#include "web/audio/LiveSoundSource.h"
#include "web/audio/OpusFrameEncoder.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <opus/opus.h>

#include <cmath>
#include <numbers>
#include <vector>

using kovo::test::FakeSoundCapture;
using namespace kovo::web;

namespace {

constexpr int kRate = OpusFrameEncoder::kSampleRate;

std::vector<float> tone(double hz, int samples, float amplitude = 0.5f) {
    std::vector<float> out(std::size_t(samples), 0.0f);
    for (int i = 0; i < samples; ++i)
        out[std::size_t(i)] = amplitude * float(std::sin(2 * std::numbers::pi * hz * i / kRate));
    return out;
}

// Share of the signal's energy at `hz` (Goertzel), 0 to about 1.
double energyShareAt(const std::vector<float>& x, double hz) {
    const double w = 2 * std::numbers::pi * hz / kRate;
    double s1 = 0, s2 = 0, total = 0;
    for (float v : x) {
        const double s = v + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
        total += double(v) * v;
    }
    const double power = s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2;
    return total > 0 ? 2 * power / (double(x.size()) * total) : 0;
}

void runQueuedCalls() {
    QCoreApplication::sendPostedEvents();
}

} // namespace

TEST(AudioFrame, PacksAndReadsBackTheHeaderAndRefusesForeignMessages) {
    const unsigned char opus[] = {0xfc, 0x01, 0x02};
    const QByteArray message = packAudioFrame(0x01020304u, 1'700'000'000'123'456, opus);
    ASSERT_EQ(message.size(), kAudioFrameHeaderSize + 3);
    EXPECT_EQ(message.left(5), QByteArray::fromHex("0101020304"));
    const auto frame = unpackAudioFrame(message);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->sequence, 0x01020304u);
    EXPECT_EQ(frame->captureMicros, 1'700'000'000'123'456);
    EXPECT_EQ(frame->payload, QByteArray::fromHex("fc0102"));

    const QByteArray refused[] = {QByteArray(), message.left(kAudioFrameHeaderSize),
                                  QByteArray(1, '\x7f') + message.mid(1)};
    for (const QByteArray& bad : refused)
        EXPECT_FALSE(unpackAudioFrame(bad)) << bad.toHex().constData();
}

// However the capture cuts its blocks, one second of a 440 Hz tone becomes a
// hundred 10 ms frames in sequence that decode back to the tone, well within
// the bandwidth a listener is allowed.
TEST(OpusFrameEncoder, EncodesAToneIn10MsFramesThatDecodeBackBelow64Kbits) {
    for (int blockSize : {480, 441, 1024, 4800}) {
        SCOPED_TRACE(blockSize);
        OpusFrameEncoder encoder;
        ASSERT_TRUE(encoder.error().isEmpty());
        const auto input = tone(440, kRate);
        std::vector<QByteArray> frames;
        for (int at = 0; at < kRate; at += blockSize) {
            const int n = std::min(blockSize, kRate - at);
            for (auto& f :
                 encoder.push(std::span(input).subspan(std::size_t(at), std::size_t(n)), at))
                frames.push_back(std::move(f));
        }
        ASSERT_EQ(frames.size(), 100u);

        int error = 0;
        OpusDecoder* decoder = opus_decoder_create(kRate, 1, &error);
        ASSERT_EQ(error, OPUS_OK);
        std::vector<float> decoded;
        qsizetype wireBytes = 0;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const auto frame = unpackAudioFrame(frames[i]);
            ASSERT_TRUE(frame);
            EXPECT_EQ(frame->sequence, i);
            wireBytes += frames[i].size();
            float pcm[OpusFrameEncoder::kFrameSamples * 2];
            const int n = opus_decode_float(
                decoder, reinterpret_cast<const unsigned char*>(frame->payload.constData()),
                opus_int32(frame->payload.size()), pcm, OpusFrameEncoder::kFrameSamples * 2, 0);
            ASSERT_EQ(n, OpusFrameEncoder::kFrameSamples);
            decoded.insert(decoded.end(), pcm, pcm + n);
        }
        opus_decoder_destroy(decoder);
        // Header included: this is what one listener receives in a second.
        EXPECT_LT(wireBytes * 8, 64000);
        // Past the codec's start-up, the decoded audio is the tone.
        const std::vector<float> settled(decoded.begin() + kRate / 10, decoded.end());
        EXPECT_GT(energyShareAt(settled, 440), 0.8);
        EXPECT_LT(energyShareAt(settled, 1000), 0.05);
    }
}

TEST(OpusFrameEncoder, ResetStartsTheSequenceAgainAndDropsHeldSamples) {
    OpusFrameEncoder encoder;
    const auto input = tone(440, 3 * OpusFrameEncoder::kFrameSamples);
    ASSERT_EQ(encoder.push(std::span(input).first(700), 0).size(), 1u);
    encoder.reset();
    const auto frames = encoder.push(std::span(input).first(OpusFrameEncoder::kFrameSamples), 5);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(unpackAudioFrame(frames[0])->sequence, 0u);
    EXPECT_EQ(unpackAudioFrame(frames[0])->captureMicros, 5);
}

class LiveSoundSourceTest : public ::testing::Test {
protected:
    LiveSoundSourceTest() {
        auto fake = std::make_unique<FakeSoundCapture>(counts);
        capture = fake.get();
        source = std::make_unique<LiveSoundSource>(std::move(fake));
    }
    void feedFrames(int count) {
        const auto input = tone(440, count * OpusFrameEncoder::kFrameSamples);
        capture->feed(input, 42);
        runQueuedCalls();
    }

    FakeSoundCapture::Counts counts;
    FakeSoundCapture* capture = nullptr;
    std::unique_ptr<LiveSoundSource> source;
};

TEST_F(LiveSoundSourceTest, OneCaptureFeedsEveryListenerFromTheFirstToTheLast) {
    std::vector<QByteArray> heardByA, heardByB;
    source->addListener(1, AudioForm::Opus, [&](const QByteArray& f) { heardByA.push_back(f); });
    source->addListener(2, AudioForm::Opus, [&](const QByteArray& f) { heardByB.push_back(f); });
    EXPECT_EQ(counts.starts, 1);
    feedFrames(3);
    ASSERT_EQ(heardByA.size(), 3u);
    EXPECT_EQ(heardByA, heardByB);

    source->removeListener(1);
    EXPECT_TRUE(counts.running);
    feedFrames(1);
    EXPECT_EQ(heardByA.size(), 3u);
    EXPECT_EQ(heardByB.size(), 4u);

    source->removeListener(2);
    EXPECT_FALSE(counts.running);
    EXPECT_EQ(counts.stops, 1);

    // A new listener starts the capture again with a fresh stream.
    std::vector<QByteArray> heardByC;
    source->addListener(3, AudioForm::Opus, [&](const QByteArray& f) { heardByC.push_back(f); });
    EXPECT_EQ(counts.starts, 2);
    feedFrames(1);
    ASSERT_EQ(heardByC.size(), 1u);
    EXPECT_EQ(unpackAudioFrame(heardByC[0])->sequence, 0u);
}

TEST_F(LiveSoundSourceTest, AListenerMayLeaveWhileHearingAFrame) {
    int heardByB = 0;
    source->addListener(1, AudioForm::Opus, [&](const QByteArray&) { source->removeListener(2); });
    source->addListener(2, AudioForm::Opus, [&](const QByteArray&) { ++heardByB; });
    feedFrames(1);
    EXPECT_EQ(heardByB, 0);
    EXPECT_TRUE(counts.running);
}

TEST_F(LiveSoundSourceTest, AFaultIsReportedOnceUntilAudioFlowsAgain) {
    QSignalSpy failures(source.get(), &LiveSoundSource::captureFailed);
    source->addListener(1, AudioForm::Opus, [](const QByteArray&) {});
    EXPECT_TRUE(source->isAvailable());
    for (int retry = 0; retry < 3; ++retry)
        capture->fail("Sound input \"air\" cannot be opened: No such entity");
    runQueuedCalls();
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].toString(), "Sound input \"air\" cannot be opened: No such entity");
    EXPECT_FALSE(source->isAvailable());

    feedFrames(1);
    EXPECT_TRUE(source->isAvailable());
    capture->fail("Sound input lost: Connection terminated");
    capture->fail("Sound input lost: Connection terminated");
    runQueuedCalls();
    EXPECT_EQ(failures.count(), 2);
    EXPECT_FALSE(source->isAvailable());

    // The fault does not outlive the capture: the next listener tries again.
    source->removeListener(1);
    EXPECT_TRUE(source->isAvailable());
    source->addListener(2, AudioForm::Opus, [](const QByteArray&) {});
    EXPECT_EQ(counts.starts, 2);
    capture->fail("Sound input lost: Connection terminated");
    runQueuedCalls();
    EXPECT_EQ(failures.count(), 3);
}

TEST_F(LiveSoundSourceTest, FramesQueuedByTheCaptureAreDroppedWithTheSource) {
    int heard = 0;
    source->addListener(1, AudioForm::Opus, [&](const QByteArray&) { ++heard; });
    capture->feed(tone(440, OpusFrameEncoder::kFrameSamples), 0);
    source.reset();
    runQueuedCalls();
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(counts.stops, 1);
}

// An Opus page and a page without WebCodecs listen at once: one capture
// feeds both, each hears its own form only, and each encoder runs only
// while someone listens in its form.
TEST_F(LiveSoundSourceTest, OneCaptureFeedsAnEncoderForEachFormInUse) {
    std::vector<QByteArray> opus, adpcm;
    source->addListener(1, AudioForm::Opus, [&](const QByteArray& f) { opus.push_back(f); });
    EXPECT_TRUE(source->encoding(AudioForm::Opus));
    EXPECT_FALSE(source->encoding(AudioForm::Adpcm));
    source->addListener(2, AudioForm::Adpcm, [&](const QByteArray& f) { adpcm.push_back(f); });
    EXPECT_EQ(counts.starts, 1);
    EXPECT_TRUE(source->encoding(AudioForm::Adpcm));
    feedFrames(4); // 40 ms: four Opus frames, two ADPCM frames
    ASSERT_EQ(opus.size(), 4u);
    ASSERT_EQ(adpcm.size(), 2u);
    for (const QByteArray& f : opus)
        EXPECT_EQ(unpackAudioFrame(f)->type, kOpusFrameType);
    for (const QByteArray& f : adpcm)
        EXPECT_EQ(unpackAudioFrame(f)->type, kAdpcmFrameType);

    source->removeListener(1);
    EXPECT_FALSE(source->encoding(AudioForm::Opus));
    EXPECT_TRUE(counts.running);
    feedFrames(2);
    EXPECT_EQ(opus.size(), 4u);
    EXPECT_EQ(adpcm.size(), 3u);

    source->removeListener(2);
    EXPECT_FALSE(source->encoding(AudioForm::Adpcm));
    EXPECT_FALSE(counts.running);
    EXPECT_EQ(counts.starts, 1);
}

// A page that switches form leaves the old encoder if it was the last one
// in it; frames the old encoder made before that never reach anyone, and a
// restarted encoder starts its stream afresh.
TEST_F(LiveSoundSourceTest, AListenerSwitchingFormMovesToTheOtherEncoder) {
    std::vector<QByteArray> heard;
    source->addListener(1, AudioForm::Adpcm, [&](const QByteArray& f) { heard.push_back(f); });
    capture->feed(tone(440, 2 * OpusFrameEncoder::kFrameSamples), 0); // queued, not delivered
    source->addListener(1, AudioForm::Opus, [&](const QByteArray& f) { heard.push_back(f); });
    EXPECT_FALSE(source->encoding(AudioForm::Adpcm));
    EXPECT_TRUE(source->encoding(AudioForm::Opus));
    runQueuedCalls();
    EXPECT_TRUE(heard.empty());

    source->addListener(1, AudioForm::Adpcm, [&](const QByteArray& f) { heard.push_back(f); });
    feedFrames(2);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(unpackAudioFrame(heard[0])->type, kAdpcmFrameType);
    EXPECT_EQ(unpackAudioFrame(heard[0])->sequence, 0u);
    EXPECT_EQ(counts.starts, 1);
}

// An encoder that cannot start is told like a capture fault.
TEST(LiveSoundSource, AnEncoderThatCannotStartIsReported) {
    struct BrokenEncoder : FrameEncoder {
        QString error() const override { return QStringLiteral("No encoder."); }
        std::vector<QByteArray> push(std::span<const float>, std::int64_t) override { return {}; }
        void reset() override {}
    };
    FakeSoundCapture::Counts counts;
    LiveSoundSource source(std::make_unique<FakeSoundCapture>(counts), nullptr,
                           [](AudioForm) { return std::make_unique<BrokenEncoder>(); });
    QSignalSpy failures(&source, &LiveSoundSource::captureFailed);
    source.addListener(1, AudioForm::Opus, [](const QByteArray&) {});
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].toString(), QStringLiteral("No encoder."));
    EXPECT_FALSE(source.isAvailable());
    EXPECT_FALSE(source.encoding(AudioForm::Opus));
}
