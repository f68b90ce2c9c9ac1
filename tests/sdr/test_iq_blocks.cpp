#include "sdr/IqBlockAssembler.h"
#include "sdr/IqBlockQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace kovo::sdr;

// Samples numbered by their real part, so a block shows where it came from.
std::vector<std::complex<float>> numbered(int from, int count) {
    std::vector<std::complex<float>> v;
    for (int i = 0; i < count; ++i)
        v.emplace_back(float(from + i), 0.0f);
    return v;
}

TEST(IqBlockQueue, AFullQueueDropsTheNewBlockAndCountsIt) {
    IqBlockQueue queue(2);
    for (std::uint64_t g = 1; g <= 3; ++g) {
        IqBlock block = queue.emptyBlock();
        block.generation = g;
        block.samples = numbered(0, 4);
        EXPECT_EQ(queue.push(std::move(block)), g <= 2);
    }
    EXPECT_EQ(queue.overruns(), 1u);
    EXPECT_EQ(queue.tryPop()->generation, 1u);
    EXPECT_EQ(queue.tryPop()->generation, 2u);
    EXPECT_FALSE(queue.tryPop());

    // The dropped block's buffer is reused rather than reallocated.
    IqBlock reused = queue.emptyBlock();
    EXPECT_TRUE(reused.samples.empty());
    EXPECT_GE(reused.samples.capacity(), 4u);
}

TEST(IqBlockAssembler, SamplesInFlightAtTheOldTuningNeverReachANewBlock) {
    IqBlockQueue queue(16);
    IqBlockAssembler assembler(queue, 64);
    assembler.retune(1, 145'500'000, 2'400'000, 0);
    auto first = numbered(0, 64 + 50); // one block, then 50 of the next
    assembler.append(first.data(), first.size());

    // Retuned with 100 samples still on their way at the old frequency.
    assembler.retune(2, 146'000'000, 2'400'000, 100);
    auto after = numbered(1000, 100 + 64 + 10);
    assembler.append(after.data(), 30); // pieces of any size
    assembler.append(after.data() + 30, after.size() - 30);

    auto old = queue.tryPop();
    ASSERT_TRUE(old);
    EXPECT_EQ(old->generation, 1u);
    EXPECT_EQ(old->centreHz, 145'500'000u);
    EXPECT_EQ(old->samples.front().real(), 0.0f);
    auto fresh = queue.tryPop();
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->generation, 2u);
    EXPECT_EQ(fresh->centreHz, 146'000'000u);
    ASSERT_EQ(fresh->samples.size(), 64u);
    EXPECT_EQ(fresh->samples.front().real(), 1100.0f); // the first sample after the 100
    EXPECT_EQ(fresh->samples.back().real(), 1163.0f);
    EXPECT_FALSE(queue.tryPop());
    EXPECT_EQ(assembler.staleSamples(), 50u + 100u);
}

} // namespace
