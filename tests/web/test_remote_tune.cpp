// The web remote's "tune" reads megahertz as every other front end does and
// refuses, with the reason, what the receiver does not tune.
#include "CoreFixture.h"
#include "fakes/TypedFrequencyCases.h"
#include "web/RemoteReceiver.h"

#include <gtest/gtest.h>

namespace kovo::web {
namespace {

TEST(RemoteReceiverTune, ReadsEachFrequencyAsEveryFrontEndDoes) {
    constexpr std::uint32_t kTuned = 162'400'000;
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        test::CoreParts parts;
        parts.doc.controlParams.stepAdjust = 0;
        parts.doc.controlParams.autoMode = 0;
        parts.doc.mainRecord.frequency = kTuned;
        RemoteReceiver receiver(parts.doc, parts.core);
        const auto message = parseControlMessage(std::string("tune ") + c.text);
        ASSERT_EQ(message.has_value(), c.hz.has_value());
        if (!message)
            continue;
        const QString refusal = receiver.execute(*message);
        if (c.tuned) {
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
            EXPECT_EQ(parts.doc.mainRecord.frequency, *c.hz);
        } else {
            EXPECT_EQ(refusal, QStringLiteral("The receiver cannot tune that frequency."));
            EXPECT_EQ(parts.doc.mainRecord.frequency, kTuned);
        }
    }
}

} // namespace
} // namespace kovo::web
