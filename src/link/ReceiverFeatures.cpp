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

int ReceiverFeatures::tunedMode(int channelMode) const {
    if (channelMode < 0 || channelMode >= int(tunedAs_.size()))
        return channelMode;
    return tunedAs_[std::size_t(channelMode)];
}

void ReceiverFeatures::tuneModeAs(int channelMode, int tunedMode) {
    if (channelMode >= 0 && channelMode < int(tunedAs_.size()))
        tunedAs_[std::size_t(channelMode)] = tunedMode;
}

} // namespace kovo
