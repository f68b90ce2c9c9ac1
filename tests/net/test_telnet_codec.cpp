#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "net/TelnetCodec.h"

namespace kovo {
namespace {

using C = TelnetCodec;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += char(v);
    return out;
}

// A server that agrees to binary transmission and COM-port control.
TelnetCodec agreedCodec() {
    TelnetCodec codec;
    codec.start();
    codec.decode(bytes({C::kIac, C::kDo, C::kComPort, C::kIac, C::kDo, C::kBinary, C::kIac,
                        C::kWill, C::kBinary, C::kIac, C::kWill, C::kSuppressGoAhead}));
    return codec;
}

TEST(TelnetCodecTest, OffersComPortAndBinaryAndSettlesOnTheAnswer) {
    TelnetCodec codec;
    EXPECT_EQ(codec.start(),
              bytes({C::kIac, C::kWill, C::kComPort, C::kIac, C::kWill, C::kBinary, C::kIac, C::kDo,
                     C::kBinary, C::kIac, C::kDo, C::kSuppressGoAhead}));
    EXPECT_FALSE(codec.settled());
    // Until binary transmission is agreed a carriage return travels as CR NUL.
    EXPECT_EQ(codec.encode("1\r"), bytes({'1', '\r', 0}));
    const auto d = codec.decode(bytes({C::kIac, C::kDo, C::kComPort, C::kIac, C::kDo, C::kBinary}));
    EXPECT_EQ(d.reply, "") << "an answer to our own request is not answered again";
    EXPECT_TRUE(codec.settled());
    EXPECT_TRUE(codec.comPortAccepted());
    EXPECT_EQ(codec.encode(bytes({'\r', 0xFF, 'x'})), bytes({'\r', 0xFF, 0xFF, 'x'}));
}

TEST(TelnetCodecTest, RefusesWhatItDoesNotKnowOncePerRequestAndNeverLoops) {
    struct Case {
        std::string in;
        std::string reply;
    };
    const Case cases[] = {
        {bytes({C::kIac, C::kDo, 1}), bytes({C::kIac, C::kWont, 1})},   // echo: no
        {bytes({C::kIac, C::kWill, 1}), bytes({C::kIac, C::kDont, 1})}, // server echo: no
        {bytes({C::kIac, C::kDont, 1}), ""},                            // already off
        {bytes({C::kIac, C::kWont, 24}), ""},                           // already off
        {bytes({C::kIac, C::kDont, C::kBinary}), bytes({C::kIac, C::kWont, C::kBinary})},
        {bytes({C::kIac, C::kDont, C::kBinary}), ""}, // now off: silence
    };
    TelnetCodec codec = agreedCodec();
    for (const Case& c : cases)
        EXPECT_EQ(codec.decode(c.in).reply, c.reply);
}

TEST(TelnetCodecTest, DataSurvivesCommandsSplitAnywhere) {
    const std::string stream = bytes(
        {'G',     C::kIac, C::kIac,     '\r',        0,   '\n', C::kIac, 241 /* NOP */, '>',
         C::kIac, C::kSb,  C::kComPort, 101,         0,   0,    0x25,    0x80,          C::kIac,
         C::kSe,  C::kIac, C::kSb,      C::kComPort, 105, 3,    C::kIac, C::kSe,        'Z'});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        TelnetCodec codec;
        codec.start(); // binary not agreed: CR NUL is a bare CR
        std::string data = codec.decode(stream.substr(0, cut)).data;
        data += codec.decode(stream.substr(cut)).data;
        EXPECT_EQ(data, bytes({'G', 0xFF, '\r', '\n', '>', 'Z'})) << "cut at " << cut;
        EXPECT_EQ(codec.farLine().bitsPerSecond, 9600u);
        EXPECT_EQ(codec.farLine().control, 3);
    }
}

TEST(TelnetCodecTest, LineSettingsAreTheFiveComPortCommands) {
    LineSetting line{0x1FF, LineSetting::Parity::Even, 7, LineSetting::StopBits::Two,
                     LineSetting::FlowControl::RtsCts};
    auto sb = [](int cmd, std::initializer_list<int> value) {
        std::string out = bytes({C::kIac, C::kSb, C::kComPort, cmd});
        out += bytes(value);
        return out + bytes({C::kIac, C::kSe});
    };
    EXPECT_EQ(TelnetCodec::lineSettings(line),
              sb(1, {0, 0, 1, 0xFF, 0xFF}) + sb(2, {7}) + sb(3, {3}) + sb(4, {2}) + sb(5, {3}));
}

TEST(TelnetCodecTest, NoiseNeitherCrashesNorGrowsWithoutBound) {
    std::mt19937 random(2217);
    TelnetCodec codec = agreedCodec();
    std::size_t replies = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string noise(64, '\0');
        for (char& c : noise)
            c = char(random() % 8 == 0 ? 0xFF : random());
        replies += codec.decode(noise).reply.size();
    }
    EXPECT_LT(replies, 2000u * 64u);
}

} // namespace
} // namespace kovo
