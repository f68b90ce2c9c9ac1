#include "app/HamlibFeatures.h"

#include "data/ValueTables.h"
#include "link/ReceiverDescription.h"

#include <array>
#include <string>

namespace kovo {

namespace {

struct Lack {
    ReceiverFeature feature;
    const char* what;
    bool (*has)(const rig::RigCapabilities&);
};

const std::array<Lack, 5> kLacks{{
    {ReceiverFeature::VoiceSquelch, "voice squelch",
     [](const rig::RigCapabilities&) { return false; }},
    {ReceiverFeature::ToneEliminator, "tone eliminator",
     [](const rig::RigCapabilities&) { return false; }},
    {ReceiverFeature::ToneSearch, "tone squelch (CTCSS)",
     [](const rig::RigCapabilities& r) { return r.toneSquelch; }},
    {ReceiverFeature::Attenuator, "attenuator",
     [](const rig::RigCapabilities& r) { return r.attenuator; }},
    {ReceiverFeature::Antenna, "antenna switch",
     [](const rig::RigCapabilities& r) { return r.antennas > 1; }},
}};

std::string modeLack(int mode, const rig::RigCapabilities& radio, const std::string& model) {
    const std::string name(modeName(mode));
    std::string why = "This radio has no " + name + " (" + model + ")";
    if (const auto tuned = rig::tunedChannelMode(mode, radio.modes))
        return why + "; " + name + " channels are tuned in " + std::string(modeName(*tuned));
    return why + " nor a mode near it";
}

} // namespace

ReceiverFeatures hamlibFeatures(const rig::RigCapabilities& radio) {
    ReceiverFeatures features = ReceiverFeatures::of(kHamlibDescription);
    const std::string model = "Hamlib model " + std::to_string(radio.model);
    for (const Lack& lack : kLacks)
        if (!lack.has(radio))
            features.lack(lack.feature,
                          "This radio has no " + std::string(lack.what) + " (" + model + ")");
    // The worker carries no tone-squelch command to the radio, so a tone
    // search would step through tones the radio never hears of.
    if (radio.toneSquelch)
        features.lack(ReceiverFeature::ToneSearch,
                      "The CTCSS tone search does not reach radios driven through Hamlib (" +
                          model + ")");
    for (int mode = 0; mode < 6; ++mode) {
        const auto rigMode = rig::rigModeOf(mode);
        if (!rigMode || radio.receives(*rigMode))
            continue;
        features.lack(ReceiverFeature(mode), modeLack(mode, radio, model));
        if (const auto tuned = rig::tunedChannelMode(mode, radio.modes))
            features.tuneModeAs(mode, *tuned);
    }
    // Synchronous AM goes out as AM, and is heard as whatever AM is tuned as.
    for (int mode = 6; mode <= 8; ++mode)
        if (features.tunedMode(2) != 2)
            features.tuneModeAs(mode, features.tunedMode(2));
    if (radio.highestHz > radio.lowestHz) {
        features.lowestHz = radio.lowestHz;
        features.highestHz = radio.highestHz;
    }
    return features;
}

} // namespace kovo
