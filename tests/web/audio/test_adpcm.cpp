#include "web/audio/AdpcmFrameEncoder.h"
#include "web/audio/AudioFrame.h"
#include "web/audio/Decimator.h"
#include "web/audio/ImaAdpcm.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace kovo::web;

namespace {

std::vector<double> sine(double hz, double rate, int count, double amplitude) {
    std::vector<double> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out[std::size_t(i)] = amplitude * std::sin(2 * std::numbers::pi * hz * i / rate);
    return out;
}

// Signal-to-noise ratio in dB of `x` as a tone at `hz`: the best fitting
// sinusoid (any phase, any offset) is the signal, what is left the noise.
double toneSnrDb(const std::vector<double>& x, double hz, double rate) {
    double ss = 0, cc = 0, sc = 0, sx = 0, cx = 0;
    const double w = 2 * std::numbers::pi * hz / rate;
    double mean = 0;
    for (double v : x)
        mean += v / double(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double s = std::sin(w * double(i)), c = std::cos(w * double(i));
        ss += s * s, cc += c * c, sc += s * c;
        sx += s * (x[i] - mean), cx += c * (x[i] - mean);
    }
    const double det = ss * cc - sc * sc;
    const double a = (sx * cc - cx * sc) / det, b = (cx * ss - sx * sc) / det;
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double fit = a * std::sin(w * double(i)) + b * std::cos(w * double(i));
        signal += fit * fit;
        noise += (x[i] - mean - fit) * (x[i] - mean - fit);
    }
    return 10 * std::log10(signal / std::max(noise, 1e-30));
}

double rms(const std::vector<float>& x, std::size_t from) {
    double sum = 0;
    for (std::size_t i = from; i < x.size(); ++i)
        sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(x.size() - from));
}

} // namespace

// Speech-band tones, loud and quiet, come back from 4-bit ADPCM well above
// what a listener would call noisy.
TEST(ImaAdpcm, ATonesRoundTripAboveTheNoiseFloor) {
    struct Case {
        double hz;
        double amplitude;
        double floorDb;
    };
    const Case cases[] = {
        {300, 16000, 35}, {1000, 16000, 25}, {3000, 16000, 20}, {1000, 800, 25}, {1000, 32000, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hz << " Hz at " << c.amplitude);
        const auto input = sine(c.hz, 12000, 2400, c.amplitude);
        std::vector<std::int16_t> pcm(input.begin(), input.end());
        ImaAdpcmState state;
        std::vector<double> decoded;
        for (std::size_t at = 0; at < pcm.size(); at += 240) {
            const auto block = encodeImaAdpcmBlock(std::span(pcm).subspan(at, 240), state);
            ASSERT_EQ(block.size(), 123u);
            const auto samples = decodeImaAdpcmBlock(block);
            ASSERT_EQ(samples.size(), 240u);
            decoded.insert(decoded.end(), samples.begin(), samples.end());
        }
        // Past the step size's first climb.
        const std::vector<double> settled(decoded.begin() + 240, decoded.end());
        EXPECT_GT(toneSnrDb(settled, c.hz, 12000), c.floorDb);
    }
}

TEST(ImaAdpcm, RefusesABlockItCannotDecode) {
    const std::vector<unsigned char> tooShort{0x00, 0x10};
    const std::vector<unsigned char> badStepIndex{0x00, 0x10, 89, 0x77};
    EXPECT_TRUE(decodeImaAdpcmBlock(tooShort).empty());
    EXPECT_TRUE(decodeImaAdpcmBlock(badStepIndex).empty());
}

// The low-pass before taking every fourth sample: speech passes as it was,
// and what would fold back into it from above 6 kHz is gone.
TEST(Decimator, PassesTheSpeechBandAndStopsWhatWouldFoldBack) {
    struct Case {
        double hz;
        double minDb;
        double maxDb;
    };
    const Case cases[] = {
        {300, -0.05, 0.05}, {1000, -0.05, 0.05}, {3000, -0.05, 0.05}, {6500, -300, -70},
        {7500, -300, -70},  {9000, -300, -70},   {11900, -300, -70},  {12000, -300, -70},
        {15000, -300, -70}, {20000, -300, -70},  {23900, -300, -70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        const auto input = sine(c.hz, 48000, 48000, 0.5);
        const std::vector<float> samples(input.begin(), input.end());
        Decimator decimator;
        std::vector<float> output;
        decimator.push(samples, output);
        ASSERT_EQ(output.size(), 12000u);
        const double gainDb = 20 * std::log10(rms(output, 100) / (0.5 / std::sqrt(2.0)) + 1e-12);
        EXPECT_GE(gainDb, c.minDb);
        EXPECT_LE(gainDb, c.maxDb);
    }
}

// One second of a 48 kHz tone, however the capture cuts it, becomes fifty
// 20 ms ADPCM frames in sequence that each decode on their own back to the
// tone, within a listener's bandwidth with the socket's framing counted.
TEST(AdpcmFrameEncoder, EncodesAToneIn20MsFramesBelow64Kbits) {
    for (int blockSize : {480, 441, 1024, 4800}) {
        SCOPED_TRACE(blockSize);
        AdpcmFrameEncoder encoder;
        const auto tone = sine(1000, 48000, 48000, 0.5);
        const std::vector<float> input(tone.begin(), tone.end());
        std::vector<QByteArray> frames;
        for (int at = 0; at < 48000; at += blockSize) {
            const int n = std::min(blockSize, 48000 - at);
            for (auto& f :
                 encoder.push(std::span(input).subspan(std::size_t(at), std::size_t(n)), at))
                frames.push_back(std::move(f));
        }
        ASSERT_EQ(frames.size(), 50u);
        qsizetype wireBytes = 0;
        std::vector<double> decoded;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const auto frame = unpackAudioFrame(frames[i]);
            ASSERT_TRUE(frame);
            EXPECT_EQ(frame->type, kAdpcmFrameType);
            EXPECT_EQ(frame->sequence, i);
            // A WebSocket header per message: 4 bytes past 125 bytes.
            wireBytes += frames[i].size() + (frames[i].size() < 126 ? 2 : 4);
            const auto block =
                std::span(reinterpret_cast<const unsigned char*>(frame->payload.constData()),
                          std::size_t(frame->payload.size()));
            const auto samples = decodeImaAdpcmBlock(block);
            ASSERT_EQ(samples.size(), std::size_t(AdpcmFrameEncoder::kFrameSamples));
            decoded.insert(decoded.end(), samples.begin(), samples.end());
        }
        EXPECT_LT(wireBytes * 8, 64000);
        const std::vector<double> settled(decoded.begin() + 1200, decoded.end());
        EXPECT_GT(toneSnrDb(settled, 1000, 12000), 28);
    }
}

TEST(AdpcmFrameEncoder, ResetStartsTheSequenceAndTheStateAgain) {
    AdpcmFrameEncoder encoder;
    const auto tone = sine(1000, 48000, 2000, 0.5);
    const std::vector<float> input(tone.begin(), tone.end());
    ASSERT_EQ(encoder.push(input, 1).size(), 2u);
    encoder.reset();
    const std::vector<float> silence(960, 0.0f);
    const auto frames = encoder.push(silence, 5);
    ASSERT_EQ(frames.size(), 1u);
    const auto frame = unpackAudioFrame(frames[0]);
    EXPECT_EQ(frame->sequence, 0u);
    EXPECT_EQ(frame->captureMicros, 5);
    // Nothing of the tone is left in the filter or the predictor.
    EXPECT_EQ(frame->payload.left(3), QByteArray(3, '\0'));
    EXPECT_EQ(frame->payload.count('\0'), frame->payload.size());
}

// Blocks and their decoded samples, written by this encoder and decoder and
// read by the page's decoder's tests too: both sides of the wire agree on
// every bit. KOVO_WRITE_ADPCM_VECTORS=1 writes the file afresh.
TEST(ImaAdpcm, MatchesTheSharedVectors) {
    QFile file(QStringLiteral(KOVO_ADPCM_VECTORS));
    if (qEnvironmentVariableIsSet("KOVO_WRITE_ADPCM_VECTORS")) {
        struct Source {
            const char* name;
            ImaAdpcmState state;
            std::vector<double> input;
        };
        std::vector<double> noise(32);
        std::uint32_t seed = 12345;
        for (double& v : noise) {
            seed = seed * 1664525u + 1013904223u;
            v = double(std::int32_t(seed) >> 16);
        }
        std::vector<double> steps(8, 32767);
        steps.insert(steps.end(), 8, -32768);
        const Source sources[] = {
            {"silence", {}, std::vector<double>(16, 0)},
            {"tone", {}, sine(1000, 12000, 64, 8000)},
            {"full-scale steps", {}, steps},
            {"mid-stream state", {12000, 60}, sine(440, 12000, 32, 20000)},
            {"noise from a negative predictor", {-20000, 88}, noise},
        };
        QJsonArray cases;
        for (const Source& s : sources) {
            const std::vector<std::int16_t> pcm(s.input.begin(), s.input.end());
            ImaAdpcmState state = s.state;
            const auto block = encodeImaAdpcmBlock(pcm, state);
            QJsonArray input, decoded;
            for (auto v : pcm)
                input.append(v);
            for (auto v : decodeImaAdpcmBlock(block))
                decoded.append(v);
            cases.append(QJsonObject{
                {"name", s.name},
                {"predictor", s.state.predictor},
                {"stepIndex", s.state.stepIndex},
                {"input", input},
                {"block",
                 QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(block.data()),
                                                qsizetype(block.size()))
                                         .toHex())},
                {"decoded", decoded}});
        }
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(QJsonObject{{"cases", cases}}).toJson(QJsonDocument::Compact));
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray cases = QJsonDocument::fromJson(file.readAll()).object()["cases"].toArray();
    ASSERT_EQ(cases.size(), 5);
    for (const auto& value : cases) {
        const QJsonObject c = value.toObject();
        SCOPED_TRACE(c["name"].toString().toStdString());
        std::vector<std::int16_t> input;
        for (const auto& v : c["input"].toArray())
            input.push_back(std::int16_t(v.toInt()));
        ImaAdpcmState state{c["predictor"].toInt(), c["stepIndex"].toInt()};
        const auto block = encodeImaAdpcmBlock(input, state);
        const QByteArray hex =
            QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size()))
                .toHex();
        EXPECT_EQ(hex, c["block"].toString().toLatin1());
        std::vector<std::int16_t> expected;
        for (const auto& v : c["decoded"].toArray())
            expected.push_back(std::int16_t(v.toInt()));
        EXPECT_EQ(decodeImaAdpcmBlock(block), expected);
    }
}
