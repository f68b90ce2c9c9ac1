#include "scan/TuningRules.h"

#include "data/AppSettings.h"
#include "data/ValueTables.h"

#include <algorithm>
#include <cstdio>

namespace kovo {

std::uint32_t limitFrequency(std::int64_t hz) {
    if (hz >= std::int64_t(kHighestFrequency))
        return kHighestFrequency;
    if (hz <= std::int64_t(kLowestFrequency))
        return kLowestFrequency;
    return static_cast<std::uint32_t>(hz);
}

std::string formatMegahertz(std::uint32_t hz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4u.%06u", unsigned(hz / 1'000'000), unsigned(hz % 1'000'000));
    return buf;
}

int modeForKey(int key, int currentMode, bool optSam) {
    constexpr int kAm = 2;
    if (key != kAm || !optSam)
        return key;
    switch (currentMode) {
    case 2:
        return 6;
    case 6:
        return 7;
    case 7:
        return 8;
    default:
        return kAm;
    }
}

int defaultIfBandwidth(int newMode, int current, const AppSettings& s) {
    switch (newMode) {
    case 0:
        return (current >= 2 && current <= 4) ? current : s.nfmBandWidth + 2;
    case 1:
        return current > 4 ? current : s.wfmBandWidth + 5;
    case 2:
    case 6:
        return s.amBandWidth + 2;
    case 5:
        return s.optFilter == 1 ? 0 : 1;
    default:
        return 1; // LSB, USB, SAL, SAH
    }
}

int modeKeyOf(int mode) {
    return mode > 5 ? 2 : mode;
}

int amKeyImage(int mode) {
    switch (mode) {
    case 2:
        return 1;
    case 6:
        return 2;
    case 7:
        return 3;
    case 8:
        return 4;
    default:
        return 0;
    }
}

int bankOfMask(std::int32_t bankMask) {
    for (int b = 0; b <= 21; ++b)
        if (bankMask & (std::int32_t(1) << b))
            return b;
    return 0;
}

std::uint32_t subStepHz(int subStep, int mainStep) {
    if (subStep > 15)
        return 10 * stepHz(mainStep);
    return stepHz(subStep);
}

int DragAccumulator::add(int units) {
    units_ += units;
    const int steps = units_ / unitsPerStep_; // rounds toward zero
    units_ %= unitsPerStep_;                  // keeps the sign
    return steps;
}

} // namespace kovo
