// The History window's and kovoctl's frequency filter reads megahertz as
// every other front end does.
#include "fakes/TypedFrequencyCases.h"
#include "history/HistoryQuery.h"

#include <gtest/gtest.h>

#include <string>

namespace kovo::history {
namespace {

TEST(HistoryFrequencyFilter, ReadsEachFrequencyAsEveryFrontEndDoes) {
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        std::optional<std::int64_t> low, high;
        ASSERT_EQ(parseMegahertzRange(c.text, low, high), c.hz.has_value());
        if (c.hz) {
            EXPECT_EQ(low, std::int64_t(*c.hz));
            EXPECT_EQ(high, std::int64_t(*c.hz));
        }
        // Either end of a range.
        const std::string range = std::string(c.text) + "-2041";
        ASSERT_EQ(parseMegahertzRange(range, low, high), c.hz.has_value());
        if (c.hz) {
            EXPECT_EQ(low, std::min<std::int64_t>(*c.hz, 2'041'000'000));
        }
    }
}

} // namespace
} // namespace kovo::history
