#include <gtest/gtest.h>

#include "ipc/Blocks.h"
#include "ipc/Messages.h"

#include <random>

namespace kovo::ipc {
namespace {

TEST(Blocks, NameSlotsNeedRoomForEveryName) {
    std::vector<std::uint8_t> out(159, 0xEE);
    EXPECT_EQ(writeNameSlots(out, {"a", "b"}), 0u);
    EXPECT_EQ(out[0], 0xEE) << "nothing written";
    out.assign(160, 0xEE);
    EXPECT_EQ(writeNameSlots(out, {"a", std::string(80, 'b')}), 160u);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[80 + 78], 'b');
    EXPECT_EQ(out[159], 0);
}

TEST(Blocks, StateBlockLayoutIsLittleEndianAtItsOffsets) {
    StateBlock b;
    b.frequency = 0x01020304;
    b.ctcss = 51;
    b.antenna = 3;
    b.comment = "x";
    std::array<std::uint8_t, kStateBlockSize> bytes{};
    b.encode(bytes);
    EXPECT_EQ(bytes[4], 0x04);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(bytes[24], 3);
    EXPECT_EQ(bytes[28], 'x');
    EXPECT_EQ(bytes[284], 51);
    const StateBlock back = StateBlock::decode(bytes);
    EXPECT_EQ(back.frequency, b.frequency);
    EXPECT_EQ(back.comment, "x");
    EXPECT_TRUE(back.valid());
}

TEST(Blocks, ACommentWithoutItsZeroStopsAt255Bytes) {
    std::array<std::uint8_t, kStateBlockSize> bytes{};
    std::fill(bytes.begin() + 28, bytes.begin() + 284, 'z');
    EXPECT_EQ(StateBlock::decode(bytes).comment.size(), 255u);
}

TEST(Blocks, RandomBlocksAreDecodedWithoutHarmAndOnlyValidOnesPass) {
    std::mt19937 random(8);
    std::array<std::uint8_t, kStateBlockSize> bytes{};
    int valid = 0;
    for (int round = 0; round < 2000; ++round) {
        for (auto& b : bytes)
            b = std::uint8_t(random() % 4 == 0 ? random() : 0);
        const StateBlock block = StateBlock::decode(bytes);
        if (block.valid()) {
            ++valid;
            EXPECT_LE(block.mode, 8);
            EXPECT_LE(block.ctcss, 51);
        }
    }
    EXPECT_GT(valid, 0);
}

TEST(Blocks, RecorderRecordNeedsItsRoom) {
    std::vector<std::uint8_t> small(kRecorderRecordSize - 1);
    EXPECT_FALSE(writeRecorderRecord(small, 1, 2, "c"));
    EXPECT_FALSE(putU32(small, small.size() - 3, 1));
    EXPECT_EQ(getU32(small, small.size()), 0u);
}

TEST(Messages, NamesRoundTripAndUnknownNamesAreNone) {
    for (std::string_view name : kMessageNames)
        EXPECT_EQ(messageName(*messageNamed(name)), name);
    EXPECT_FALSE(messageNamed("kovocontrol"));
    EXPECT_FALSE(messageNamed(""));
}

} // namespace
} // namespace kovo::ipc
