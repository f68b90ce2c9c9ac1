#include "rig/RigModeTable.h"

#include <array>
#include <cstdlib>
#include <hamlib/rig.h>

namespace kovo::rig {

namespace {

struct ModeChoices {
    RigMode mode;
    std::array<rmode_t, 4> inOrder; // 0 ends the list early
};

constexpr std::array<ModeChoices, 6> kModeChoices{{
    {RigMode::NarrowFm, {RIG_MODE_FM, RIG_MODE_FMN, RIG_MODE_WFM, RIG_MODE_AM}},
    {RigMode::WideFm, {RIG_MODE_WFM, RIG_MODE_FM, RIG_MODE_FMN, RIG_MODE_AM}},
    {RigMode::Am, {RIG_MODE_AM, RIG_MODE_AMS, RIG_MODE_AMN, RIG_MODE_FM}},
    {RigMode::Lsb, {RIG_MODE_LSB, RIG_MODE_USB, RIG_MODE_CW, RIG_MODE_AM}},
    {RigMode::Usb, {RIG_MODE_USB, RIG_MODE_LSB, RIG_MODE_CW, RIG_MODE_AM}},
    {RigMode::Cw, {RIG_MODE_CW, RIG_MODE_CWR, RIG_MODE_USB, RIG_MODE_LSB}},
}};

} // namespace

std::uint64_t nearestRigMode(RigMode wanted, std::uint64_t radioModes) {
    for (const ModeChoices& choices : kModeChoices) {
        if (choices.mode != wanted)
            continue;
        for (rmode_t mode : choices.inOrder)
            if (mode != 0 && (radioModes & mode) != 0)
                return mode;
    }
    return 0;
}

long nearestPassband(std::uint64_t rigMode, int wantedHz, const std::vector<RigFilter>& filters) {
    if (wantedHz <= 0)
        return 0;
    long best = 0;
    for (const RigFilter& f : filters) {
        if ((f.modes & rigMode) == 0)
            continue;
        if (f.widthHz == 0)
            return wantedHz;
        if (best == 0 || std::labs(f.widthHz - wantedHz) < std::labs(best - wantedHz))
            best = f.widthHz;
    }
    return best;
}

} // namespace kovo::rig
