#include <gmock/gmock.h>

#include <hamlib/rig.h>

#include "app/HamlibFeatures.h"

namespace kovo {
namespace {

using ::testing::IsEmpty;

rig::RigCapabilities scanner() {
    rig::RigCapabilities r;
    r.model = 1234;
    r.modes = RIG_MODE_FM | RIG_MODE_AM | RIG_MODE_USB;
    r.attenuator = false;
    r.antennas = 1;
    r.toneSquelch = true;
    r.lowestHz = 100'000;
    r.highestHz = 1'300'000'000;
    return r;
}

// What the radio lacks is shown unusable with why, naming its model; what it
// has is offered; its range is the one tuned.
TEST(HamlibFeatures, WhatTheRadioLacksIsShownUnusableWithWhy) {
    const ReceiverFeatures f = hamlibFeatures(scanner());
    const struct {
        ReceiverFeature feature;
        const char* why;
    } cases[] = {
        {ReceiverFeature::NarrowFm, ""},
        {ReceiverFeature::WideFm,
         "This radio has no WFM (Hamlib model 1234); WFM channels are tuned in NFM"},
        {ReceiverFeature::Am, ""},
        {ReceiverFeature::Lsb,
         "This radio has no LSB (Hamlib model 1234); LSB channels are tuned in USB"},
        {ReceiverFeature::Cw,
         "This radio has no CW (Hamlib model 1234); CW channels are tuned in USB"},
        {ReceiverFeature::VoiceSquelch, "This radio has no voice squelch (Hamlib model 1234)"},
        {ReceiverFeature::ToneEliminator, "This radio has no tone eliminator (Hamlib model 1234)"},
        {ReceiverFeature::ToneSearch,
         "The CTCSS tone search does not reach radios driven through Hamlib (Hamlib model 1234)"},
        {ReceiverFeature::Attenuator, "This radio has no attenuator (Hamlib model 1234)"},
        {ReceiverFeature::Antenna, "This radio has no antenna switch (Hamlib model 1234)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(f.whyMissing(c.feature), c.why) << int(c.feature);
        EXPECT_EQ(f.has(c.feature), *c.why == '\0') << int(c.feature);
        EXPECT_TRUE(f.shown(c.feature)) << int(c.feature);
    }
    // Hits on channels in a lacked mode name the mode they were heard in.
    const std::pair<int, int> heardAs[] = {{0, 0}, {1, 0}, {2, 2}, {3, 4}, {5, 4}, {6, 6}};
    for (auto [channel, heard] : heardAs)
        EXPECT_EQ(f.tunedMode(channel), heard) << channel;
    EXPECT_FALSE(f.tunes(99'999));
    EXPECT_TRUE(f.tunes(1'300'000'000));
    EXPECT_FALSE(f.tunes(1'300'000'001));
}

TEST(HamlibFeatures, ARadioWithNoListedRangeKeepsTheReceiversOwn) {
    rig::RigCapabilities r = scanner();
    r.modes = RIG_MODE_WFM;
    r.toneSquelch = false;
    r.lowestHz = r.highestHz = 0;
    const ReceiverFeatures f = hamlibFeatures(r);
    EXPECT_TRUE(f.tunes(100'000));
    EXPECT_TRUE(f.tunes(2'040'000'000));
    EXPECT_EQ(f.whyMissing(ReceiverFeature::Usb),
              "This radio has no USB (Hamlib model 1234) nor a mode near it");
    EXPECT_THAT(f.whyMissing(ReceiverFeature::WideFm), IsEmpty());
    EXPECT_EQ(f.whyMissing(ReceiverFeature::ToneSearch),
              "This radio has no tone squelch (CTCSS) (Hamlib model 1234)");
}

} // namespace
} // namespace kovo
