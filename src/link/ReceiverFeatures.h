#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "data/ReceiverRange.h"

namespace kovo {

struct ReceiverDescription;

// The panel features a receiver may lack. The six modes follow the rows of
// the mode table.
enum class ReceiverFeature {
    NarrowFm,
    WideFm,
    Am,
    Lsb,
    Usb,
    Cw,
    VoiceSquelch,
    ToneSearch,
    ToneEliminator,
    Attenuator,
    Antenna,
};
inline constexpr int kReceiverFeatureCount = 11;

// Which features the receiver on the line has, and why it lacks the others,
// in words for a tooltip; and the range it tunes. A feature is offered,
// shown but not usable, or (for a key the model's panel never had) hidden.
class ReceiverFeatures {
public:
    // Everything the description says the model has: the AR models have
    // every feature but the AR3000's voice squelch, whose key they hide.
    static ReceiverFeatures of(const ReceiverDescription& receiver);

    bool has(ReceiverFeature f) const { return row(f).why.empty() && !row(f).hidden; }
    bool shown(ReceiverFeature f) const { return !row(f).hidden; }
    // Empty when the receiver has the feature.
    const std::string& whyMissing(ReceiverFeature f) const { return row(f).why; }

    // The feature is shown but not usable, for the reason given.
    void lack(ReceiverFeature f, std::string why);

    // The mode (a row of the mode table) a channel in `channelMode` is
    // actually heard in: its own, unless the receiver tunes it as another.
    int tunedMode(int channelMode) const;
    void tuneModeAs(int channelMode, int tunedMode);

    std::uint32_t lowestHz = kLowestFrequency;
    std::uint32_t highestHz = kHighestFrequency;
    bool tunes(std::uint32_t hz) const { return hz >= lowestHz && hz <= highestHz; }

    bool operator==(const ReceiverFeatures&) const = default;

private:
    struct Row {
        std::string why;
        bool hidden = false;
        bool operator==(const Row&) const = default;
    };
    const Row& row(ReceiverFeature f) const { return rows_[std::size_t(f)]; }

    std::array<Row, kReceiverFeatureCount> rows_{};
    std::array<int, 9> tunedAs_{0, 1, 2, 3, 4, 5, 6, 7, 8};
};

} // namespace kovo
