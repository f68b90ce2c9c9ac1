#include "link/ReceiverFeatures.h"

#include "link/ReceiverDescription.h"

namespace kovo {

ReceiverFeatures ReceiverFeatures::of(const ReceiverDescription& receiver) {
    ReceiverFeatures features;
    features.rows_[std::size_t(ReceiverFeature::VoiceSquelch)].hidden = !receiver.hasVoiceSquelch;
    features.lowestHz = receiver.lowestHz;
    features.highestHz = receiver.highestHz;
    return features;
}

void ReceiverFeatures::lack(ReceiverFeature f, std::string why) {
    Row& r = rows_[std::size_t(f)];
    r.why = why.empty() ? std::string("This receiver does not have it") : std::move(why);
    r.hidden = false;
}

} // namespace kovo
