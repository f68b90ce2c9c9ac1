#include "sdr/RtlTcpProtocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace kovo::sdr;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(RtlTcpProtocol, CommandsAreAnIdAndABigEndianValue) {
    struct Case {
        RtlTcpCommand command;
        std::int64_t value;
        RtlTcpCommandBytes wire;
    };
    const Case cases[] = {
        {RtlTcpCommand::Frequency, 145'500'000, {0x01, 0x08, 0xac, 0x27, 0x60}},
        {RtlTcpCommand::SampleRate, 2'400'000, {0x02, 0x00, 0x24, 0x9f, 0x00}},
        {RtlTcpCommand::GainMode, 1, {0x03, 0, 0, 0, 1}},
        {RtlTcpCommand::Gain, 496, {0x04, 0x00, 0x00, 0x01, 0xf0}},
        {RtlTcpCommand::Ppm, -12, {0x05, 0xff, 0xff, 0xff, 0xf4}},
        {RtlTcpCommand::Agc, 1, {0x08, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        const auto wire = c.value < 0 ? encodeRtlTcpCommand(c.command, std::int32_t(c.value))
                                      : encodeRtlTcpCommand(c.command, std::uint32_t(c.value));
        EXPECT_EQ(wire, c.wire) << int(c.command);
        const RtlTcpCommandValue back = decodeRtlTcpCommand(wire);
        EXPECT_EQ(back.id, std::uint8_t(c.command));
        EXPECT_EQ(std::int32_t(back.value), std::int32_t(c.value));
    }
}

TEST(RtlTcpProtocol, GreetingIsReadOnlyWhenWholeAndMarked) {
    const Bytes r820t = {'R', 'T', 'L', '0', 0, 0, 0, 5, 0, 0, 0, 29};
    const auto greeting = parseRtlTcpGreeting(r820t);
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->tuner(), RtlTuner::R820T);
    EXPECT_EQ(greeting->gainCount, 29u);
    EXPECT_EQ(encodeRtlTcpGreeting(*greeting),
              (std::array<std::uint8_t, 12>{'R', 'T', 'L', '0', 0, 0, 0, 5, 0, 0, 0, 29}));

    EXPECT_FALSE(parseRtlTcpGreeting(Bytes(r820t.begin(), r820t.end() - 1)));
    EXPECT_FALSE(parseRtlTcpGreeting(Bytes{'R', 'T', 'L', '1', 0, 0, 0, 5, 0, 0, 0, 29}));
    EXPECT_FALSE(parseRtlTcpGreeting(bytesOf("HTTP/1.1 200")));
    const auto odd = parseRtlTcpGreeting(Bytes{'R', 'T', 'L', '0', 0, 0, 1, 0, 0, 0, 0, 0});
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->tuner(), RtlTuner::Unknown);
}

TEST(RtlTcpProtocol, TunerRangesFollowTheChip) {
    struct Case {
        RtlTuner tuner;
        double mhz;
        bool covered;
    };
    const Case cases[] = {
        {RtlTuner::E4000, 51.9, false},    {RtlTuner::E4000, 52, true},
        {RtlTuner::E4000, 1150, false},    {RtlTuner::E4000, 1300, true},
        {RtlTuner::E4000, 2200, true},     {RtlTuner::FC0012, 948.6, true},
        {RtlTuner::FC0012, 1000, false},   {RtlTuner::FC0013, 1100, true},
        {RtlTuner::FC0013, 21.9, false},   {RtlTuner::FC2580, 145.5, false},
        {RtlTuner::FC2580, 146, true},     {RtlTuner::FC2580, 400, false},
        {RtlTuner::FC2580, 433.9, false},  {RtlTuner::FC2580, 446, true},
        {RtlTuner::R820T, 24, true},       {RtlTuner::R820T, 23.9, false},
        {RtlTuner::R820T, 1766, true},     {RtlTuner::R828D, 1767, false},
        {RtlTuner::Unknown, 145.5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tunerCovers(c.tuner, std::uint64_t(c.mhz * 1e6)), c.covered)
            << tunerName(c.tuner) << " " << c.mhz;
}

TEST(RtlTcpStreamDecoder, TakesGreetingAndPairsSplitAnywhere) {
    RtlTcpStreamDecoder decoder;
    std::complex<float> out[8];
    const Bytes greeting = {'R', 'T', 'L', '0', 0, 0, 0, 1, 0, 0, 0, 14};
    // The greeting in two pieces, the first samples cut in the middle of a pair.
    EXPECT_EQ(decoder.feed({greeting.data(), 5}, out), 0u);
    EXPECT_EQ(decoder.state(), RtlTcpStreamDecoder::State::AwaitingGreeting);
    Bytes rest(greeting.begin() + 5, greeting.end());
    rest.insert(rest.end(), {0, 255, 255});
    EXPECT_EQ(decoder.feed(rest, out), 1u);
    EXPECT_EQ(decoder.greeting()->tuner(), RtlTuner::E4000);
    EXPECT_EQ(out[0], std::complex<float>(-1.0f, 1.0f));
    EXPECT_EQ(decoder.heldBytes(), 1u);
    const Bytes more = {0, 127, 128};
    EXPECT_EQ(decoder.feed(more, out), 2u);
    EXPECT_EQ(out[0], std::complex<float>(1.0f, -1.0f));
    EXPECT_NEAR(out[1].real(), -0.5f / 127.5f, 1e-6);
    EXPECT_NEAR(out[1].imag(), 0.5f / 127.5f, 1e-6);
    EXPECT_EQ(decoder.heldBytes(), 0u);
}

TEST(RtlTcpStreamDecoder, RefusesAServerThatIsNotRtlTcp) {
    RtlTcpStreamDecoder decoder;
    std::complex<float> out[64];
    const Bytes answer = bytesOf("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(decoder.feed(answer, out), 0u);
    EXPECT_EQ(decoder.state(), RtlTcpStreamDecoder::State::Refused);
    EXPECT_EQ(decoder.feed(answer, out), 0u);
    decoder.reset();
    EXPECT_EQ(decoder.state(), RtlTcpStreamDecoder::State::AwaitingGreeting);
}

} // namespace
