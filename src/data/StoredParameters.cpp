#include "StoredParameters.h"

#include <array>

namespace kovo {
namespace {

constexpr std::int32_t kDecoderModes = 5;

// The switches that simply invert a 0/1 parameter, by toggleSwitch kind.
constexpr std::array<std::int32_t CControlParams::*, 6> kParamSwitches{
    &CControlParams::pause, &CControlParams::voiceSquelch, &CControlParams::logging,
    &CControlParams::afc,   &CControlParams::noiseBlanker, &CControlParams::ctcssSwitch};

std::int32_t inverted(std::int32_t value) {
    return value == 0 ? 1 : 0;
}

} // namespace

void StoredParameters::setDelaySeconds(int seconds) {
    contents().controlParams.delaySeconds = seconds;
    markModified();
}

void StoredParameters::setPauseSeconds(int seconds) {
    contents().controlParams.pauseSeconds() = seconds;
    markModified();
}

void StoredParameters::setSubStep(int subStep) {
    contents().controlParams.subStep = subStep;
    markModified();
}

void StoredParameters::setOperatingMode(OperatingMode mode, bool isChange) {
    contents().controlParams.setMode(mode);
    if (isChange)
        markModified();
}

int StoredParameters::invert(std::int32_t& flag) {
    flag = inverted(flag);
    markModified();
    return flag;
}

int StoredParameters::toggleModeEnabled(int m) {
    if (m < 0 || m >= CControlParams::kModes)
        return -1;
    const int value = invert(contents().controlParams.modeEnabled[static_cast<std::size_t>(m)]);
    notify(DocumentChange::Kind::ParametersChanged);
    return value;
}

int StoredParameters::toggleModeFilter() {
    const int value = invert(contents().controlParams.modeFilter);
    notify(DocumentChange::Kind::ParametersChanged);
    return value;
}

int StoredParameters::toggleAutoMode() {
    return invert(contents().controlParams.autoMode);
}

int StoredParameters::toggleStepAdjust() {
    return invert(contents().controlParams.stepAdjust);
}

int StoredParameters::togglePriorityScan() {
    return invert(contents().controlParams.priorityScan);
}

int StoredParameters::toggleMonitor() {
    // Any value but 1 counts as off.
    std::int32_t& flag = contents().controlParams.fgSwitch;
    flag = flag == 1 ? 0 : 1;
    markModified();
    return flag;
}

int StoredParameters::toggleAutoStore() {
    std::int32_t& flag = contents().controlParams.autoStore;
    flag = flag == 1 ? 0 : 1;
    markModified();
    return flag;
}

int StoredParameters::toggleSwitch(SwitchKind kind) {
    const int index = static_cast<int>(kind);
    if (index < 0 || kind > SwitchKind::Elm)
        return -1;
    CControlParams& params = contents().controlParams;
    markModified();
    if (index < static_cast<int>(kParamSwitches.size())) {
        const int value = invert(params.*kParamSwitches[static_cast<std::size_t>(index)]);
        notify(DocumentChange::Kind::ParametersChanged);
        return value;
    }
    if (kind == SwitchKind::DecoderMode) {
        params.decoderMode =
            (params.decoderMode % kDecoderModes + kDecoderModes + 1) % kDecoderModes;
        return params.decoderMode;
    }
    const bool dtmf = kind == SwitchKind::Dtmf;
    const int value = inverted(dtmf ? settings().dtmf : settings().elm);
    changeSoftSetting(dtmf ? SoftSetting::Dtmf : SoftSetting::Elm, value);
    return value;
}

} // namespace kovo
