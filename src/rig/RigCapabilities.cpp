#include "rig/RigCapabilities.h"

#include <array>
#include <hamlib/rig.h>

#include "rig/RigModeTable.h"

namespace kovo::rig {

namespace {

// Hamlib's modes and the channel mode row each is heard as.
struct HeardAs {
    rmode_t mode;
    int channelMode;
};

constexpr std::array<HeardAs, 10> kHeardAs{{
    {RIG_MODE_FM, 0},
    {RIG_MODE_FMN, 0},
    {RIG_MODE_WFM, 1},
    {RIG_MODE_AM, 2},
    {RIG_MODE_AMS, 2},
    {RIG_MODE_AMN, 2},
    {RIG_MODE_LSB, 3},
    {RIG_MODE_USB, 4},
    {RIG_MODE_CW, 5},
    {RIG_MODE_CWR, 5},
}};

constexpr std::array<RigMode, 6> kRigModeRows{RigMode::NarrowFm, RigMode::WideFm, RigMode::Am,
                                              RigMode::Lsb,      RigMode::Usb,    RigMode::Cw};

} // namespace

bool RigCapabilities::receives(RigMode mode) const {
    // The radio has the mode itself when the nearest it has is heard as it.
    const std::optional<int> row = tunedChannelMode(int(mode), modes);
    return row && *row == int(mode);
}

std::optional<RigMode> rigModeOf(int channelMode) {
    if (channelMode >= 6 && channelMode <= 8)
        channelMode = 2; // synchronous AM is sent as AM
    if (channelMode < 0 || channelMode >= int(kRigModeRows.size()))
        return std::nullopt;
    return kRigModeRows[std::size_t(channelMode)];
}

std::optional<int> tunedChannelMode(int channelMode, std::uint64_t radioModes) {
    const std::optional<RigMode> wanted = rigModeOf(channelMode);
    if (!wanted)
        return std::nullopt;
    const std::uint64_t tuned = nearestRigMode(*wanted, radioModes);
    for (const HeardAs& h : kHeardAs)
        if (h.mode == tuned)
            return h.channelMode;
    return std::nullopt;
}

} // namespace kovo::rig
