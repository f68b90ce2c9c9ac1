#include "CoreFixture.h"
#include "net/ReceiverRigTarget.h"

namespace kovo::test {
namespace {

struct RigTargetRig : CoreParts, ::testing::Test {
    ReceiverRigTarget target{core};

    // A priority channel at 430 MHz in AM with the 12 kHz filter, the main
    // record at 145 MHz in NFM with 6 kHz.
    void setUpPriorityChannel() {
        doc.mainRecord.ifBandwidth = 3;
        const int row = addChannel(430000000, 2, 2);
        doc.channelTable().copyToPriorityRecord(row);
        ASSERT_TRUE(core.operations().tuneInVfo(145000000));
        ASSERT_TRUE(core.operations().setReceiverMode(0, 2));
    }
};

TEST_F(RigTargetRig, FrequencyModeAndBandwidthDescribeTheRecordTheReceiverIsTunedTo) {
    setUpPriorityChannel();
    ASSERT_TRUE(connect());
    core.operations().setOperatingMode(OperatingMode::OneMegahertzScan);
    core.togglePriority();

    struct Seen {
        std::uint32_t hz;
        int mode;
        int ifBandwidth;
    };
    const auto seen = [&] { return Seen{target.frequency(), target.mode(), target.ifBandwidth()}; };
    const auto expectRecord = [&](const Seen& s, const CFrequencyData& r, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(s.hz, r.frequency);
        EXPECT_EQ(s.mode, r.mode);
        EXPECT_EQ(s.ifBandwidth, r.ifBandwidth);
    };

    expectRecord(seen(), doc.mainRecord, "before the check");
    for (int i = 0; i < 5000 && !core.scanState().priority.priorityCheckApplied; ++i)
        report("%");
    ASSERT_TRUE(core.scanState().priority.priorityCheckApplied);
    ASSERT_NE(doc.priorityRecord.mode, doc.mainRecord.mode);
    ASSERT_NE(doc.priorityRecord.ifBandwidth, doc.mainRecord.ifBandwidth);
    expectRecord(seen(), doc.priorityRecord, "while the priority channel is checked");

    core.togglePriority();
    expectRecord(seen(), doc.mainRecord, "after the check");
}

} // namespace
} // namespace kovo::test
