#include <gtest/gtest.h>

#include "link/ReceiverCommands.h"

namespace kovo {
namespace {

TEST(FrequencyText, CutsTrailingZerosButKeepsThePoint) {
    EXPECT_EQ(frequencyText(145000000), "145.");
    EXPECT_EQ(frequencyText(145500000), "145.5");
    EXPECT_EQ(frequencyText(145512500), "145.5125");
    EXPECT_EQ(frequencyText(1234567), "1.234567");
    EXPECT_EQ(frequencyText(100000), "0.1");
    EXPECT_EQ(frequencyText(2040000000), "2040.");
    EXPECT_EQ(frequencyText(0), "0.");
    EXPECT_EQ(frequencyText(4294967295u), "4294.967295");
}

TEST(ReceiverCommands, BytesForBothReceivers) {
    EXPECT_EQ(frequencyCommand(145000000, kAr3000aDescription), "145.\r");
    EXPECT_EQ(tuningCommand("T", 145000000, "N", kAr3000Description), "T145.N");
    EXPECT_EQ(tuningCommand("R", 433500000, "A", kAr3000Description), "R433.5A");
    EXPECT_EQ(modeCommand("W", kAr3000aDescription), "W\r");
    EXPECT_EQ(monitorCommand(1, kAr3000aDescription), "F\r");
    EXPECT_EQ(monitorCommand(0, kAr3000aDescription), "G\r");
    EXPECT_EQ(monitorCommand(7, kAr3000aDescription), "G\r");
}

TEST(ReceiverCommands, SeparateAttenuatorCommandIsOnForIndexOneAndTwo) {
    EXPECT_EQ(attenuatorCommand(0, kAr3000aDescription), "T\r");
    EXPECT_EQ(attenuatorCommand(1, kAr3000aDescription), "R\r");
    EXPECT_EQ(attenuatorCommand(2, kAr3000aDescription), "R\r");
    EXPECT_EQ(attenuatorCommand(3, kAr3000aDescription), "T\r");
    EXPECT_EQ(attenuatorCommand(4, kAr3000Description), "T");
    EXPECT_EQ(attenuatorCommand(2, kAr3000Description), "R");
    EXPECT_EQ(attenuatorCommand(-5, kAr3000Description), "T");
}

} // namespace
} // namespace kovo
