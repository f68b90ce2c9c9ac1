#include <gtest/gtest.h>

#include "net/ConnectionGate.h"

#include <string>
#include <vector>

namespace kovo {
namespace {

using Id = ConnectionGate::Id;

// Three places in all, two per address; silent connections may be closed
// after 10 ms and give their place up after 5 ms.
constexpr ConnectionGate::Limits kLimits{3, 2, 10, 5};

struct Arrival {
    Id id;
    const char* address;
    std::int64_t atMs;
    bool admitted;
    std::vector<Id> closed;
};

TEST(ConnectionGate, NewcomersTakeThePlaceOfTheSilentLongestFromTheBusiestAddress) {
    const struct {
        const char* name;
        std::vector<Arrival> arrivals;
    } cases[] = {
        {"under the caps all come in",
         {{1, "a", 0, true, {}}, {2, "b", 0, true, {}}, {3, "c", 0, true, {}}}},
        {"a full address gives up its own oldest, not another's",
         {{1, "b", 0, true, {}},
          {2, "a", 1, true, {}},
          {3, "a", 2, true, {}},
          {4, "a", 8, true, {2}}}},
        {"all places taken: the address holding most gives one up",
         {{1, "a", 0, true, {}},
          {2, "b", 1, true, {}},
          {3, "b", 2, true, {}},
          {4, "c", 9, true, {2}}}},
        {"nobody silent long enough: the newcomer is refused",
         {{1, "a", 0, true, {}}, {2, "a", 1, true, {}}, {3, "a", 3, false, {}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectionGate gate(kLimits);
        for (const Arrival& a : c.arrivals) {
            SCOPED_TRACE(a.id);
            const auto admission = gate.admit(a.id, a.address, a.atMs);
            EXPECT_EQ(admission.admitted, a.admitted);
            EXPECT_EQ(admission.close, a.closed);
        }
        EXPECT_LE(gate.count(), kLimits.total);
    }
}

TEST(ConnectionGate, ARequestRestartsTheIdleTimeAndAKeptConnectionIsNeverClosed) {
    ConnectionGate gate(kLimits);
    ASSERT_TRUE(gate.admit(1, "a", 0).admitted);
    ASSERT_TRUE(gate.admit(2, "a", 0).admitted);
    ASSERT_TRUE(gate.admit(3, "b", 0).admitted);
    gate.active(2, 6);
    gate.keep(3);
    EXPECT_EQ(gate.idle(9), (std::vector<Id>{}));
    EXPECT_EQ(gate.idle(10), (std::vector<Id>{1}));
    EXPECT_EQ(gate.idle(16), (std::vector<Id>{1, 2}));
    // Full, and only the kept one is from another address: "a" gives up
    // its longest silent, the kept one stays.
    const auto admission = gate.admit(4, "c", 16);
    EXPECT_TRUE(admission.admitted);
    EXPECT_EQ(admission.close, (std::vector<Id>{1}));
    gate.closed(2);
    gate.closed(2); // closing twice is harmless
    EXPECT_EQ(gate.count(), 2u);
    EXPECT_EQ(gate.countFrom("a"), 0u);
    EXPECT_EQ(gate.idle(100), (std::vector<Id>{4}));
}

} // namespace
} // namespace kovo
