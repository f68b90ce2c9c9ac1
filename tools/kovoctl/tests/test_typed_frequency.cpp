// kovoctl reads a typed frequency as every other front end does; the
// program it drives refuses what its receiver does not tune.
#include "BusClient.h"
#include "fakes/TypedFrequencyCases.h"

#include <gtest/gtest.h>

namespace {

TEST(KovoctlFrequency, ReadsEachFrequencyAsEveryFrontEndDoes) {
    for (const kovo::test::TypedFrequencyCase& c : kovo::test::kTypedFrequencyCases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        std::uint32_t hz = 1;
        ASSERT_EQ(kovoctl::parseMegahertz(c.text, hz), c.hz.has_value());
        EXPECT_EQ(hz, c.hz.value_or(1)) << "nothing written when refused";
    }
}

} // namespace
