// A channel list's frequency column in megahertz is read as every front end
// reads typed megahertz; the receiver's range is checked with the row.
#include "data/ChannelCsv.h"
#include "fakes/TypedFrequencyCases.h"

#include <gtest/gtest.h>

#include <string>

namespace kovo {
namespace {

TEST(CsvFrequency, ReadsEachMegahertzFieldAsEveryFrontEndDoes) {
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        EXPECT_EQ(parseFrequencyHz(c.text, FrequencyUnit::MHz), c.hz);
    }
}

} // namespace
} // namespace kovo
