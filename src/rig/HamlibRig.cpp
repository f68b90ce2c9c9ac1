#include "rig/HamlibRig.h"

#include <algorithm>
#include <bit>
#include <hamlib/rig.h>
#include <mutex>
#include <vector>

#include "rig/RigModeTable.h"

namespace kovo::rig {

void quietHamlib() {
    static std::once_flag once;
    std::call_once(once, [] { rig_set_debug(RIG_DEBUG_NONE); });
}

HamlibRig::~HamlibRig() {
    close();
}

bool HamlibRig::open(const HamlibSettings& settings) {
    close();
    quietHamlib();
    settings_ = settings;
    RIG* rig = rig_init(rig_model_t(settings.model));
    if (!rig) {
        lastError_ = "Hamlib has no radio model " + std::to_string(settings.model) + ".";
        return false;
    }
    if (!settings.port.empty())
        rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), settings.port.c_str());
    if (settings.speed > 0)
        rig_set_conf(rig, rig_token_lookup(rig, "serial_speed"),
                     std::to_string(settings.speed).c_str());
    const int opened = rig_open(rig);
    if (opened != RIG_OK) {
        lastError_ = std::string("Hamlib cannot open the radio: ") + rigerror(opened);
        rig_cleanup(rig);
        return false;
    }
    rig_ = rig;
    lastError_.clear();
    hasDcd_ = rig->caps->get_dcd != nullptr;
    hasStrength_ = rig_has_get_level(rig, RIG_LEVEL_STRENGTH) != 0;
    hasRawStrength_ = rig_has_get_level(rig, RIG_LEVEL_RAWSTR) != 0;
    attenuatorDb_ = rig->state.attenuator[0];
    return true;
}

void HamlibRig::close() {
    if (!rig_)
        return;
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

int HamlibRig::modelSettleMs() const {
    return rig_ ? rig_->caps->post_write_delay : 0;
}

RigCapabilities HamlibRig::capabilities() const {
    RigCapabilities c;
    if (!rig_)
        return c;
    const rig_state& state = rig_->state;
    c.model = int(rig_->caps->rig_model);
    c.name = std::string(rig_->caps->mfg_name ? rig_->caps->mfg_name : "") + " " +
             (rig_->caps->model_name ? rig_->caps->model_name : "");
    c.modes = state.mode_list;
    c.attenuator = attenuatorDb_ != 0 && rig_has_set_level(rig_, RIG_LEVEL_ATT) != 0;
    c.toneSquelch = rig_->caps->ctcss_list != nullptr && rig_->caps->ctcss_list[0] != 0 &&
                    rig_has_set_func(rig_, RIG_FUNC_TSQL) != 0;
    c.squelchReport = hasDcd_;
    ant_t antennas = 0;
    double lowest = 0;
    double highest = 0;
    for (const freq_range_t& range : state.rx_range_list) {
        if (RIG_IS_FRNG_END(range))
            break;
        antennas |= range.ant & ~(RIG_ANT_UNKNOWN | RIG_ANT_CURR);
        if (lowest == 0 || range.startf < lowest)
            lowest = range.startf;
        highest = std::max(highest, double(range.endf));
    }
    if (rig_->caps->set_ant != nullptr)
        c.antennas = std::popcount(antennas);
    constexpr double kMostHz = 4'294'967'295.0;
    c.lowestHz = std::uint32_t(std::clamp(lowest, 0.0, kMostHz));
    c.highestHz = std::uint32_t(std::clamp(highest, 0.0, kMostHz));
    return c;
}

RigResult HamlibRig::result(int code, const char* what) {
    if (code == RIG_OK)
        return RigResult::Done;
    if (code == -RIG_ENAVAIL || code == -RIG_ENIMPL)
        return RigResult::NotAvailable;
    if (code == -RIG_EINVAL)
        return RigResult::Refused;
    lastError_ = std::string("The radio stopped answering (") + what + "): " + rigerror(code);
    return RigResult::Failed;
}

RigResult HamlibRig::setFrequency(std::uint32_t hz) {
    return result(rig_set_freq(rig_, RIG_VFO_CURR, freq_t(hz)), "frequency");
}

RigResult HamlibRig::setMode(RigMode mode, int passbandHz) {
    const std::uint64_t rigMode = nearestRigMode(mode, rig_->state.mode_list);
    if (rigMode == 0)
        return RigResult::NotAvailable;
    std::vector<RigFilter> filters;
    for (const filter_list& f : rig_->state.filters) {
        if (f.modes == RIG_MODE_NONE)
            break;
        filters.push_back({std::uint64_t(f.modes), long(f.width)});
    }
    const long width = nearestPassband(rigMode, passbandHz, filters);
    return result(rig_set_mode(rig_, RIG_VFO_CURR, rmode_t(rigMode),
                               width > 0 ? pbwidth_t(width) : RIG_PASSBAND_NORMAL),
                  "mode");
}

RigResult HamlibRig::setAttenuator(bool on) {
    if (attenuatorDb_ == 0 || !rig_has_set_level(rig_, RIG_LEVEL_ATT))
        return RigResult::NotAvailable;
    value_t value;
    value.i = on ? attenuatorDb_ : 0;
    return result(rig_set_level(rig_, RIG_VFO_CURR, RIG_LEVEL_ATT, value), "attenuator");
}

RigResult HamlibRig::readStrength(std::optional<int>& strengthDb) {
    strengthDb.reset();
    if (!hasStrength_ && !hasRawStrength_)
        return RigResult::NotAvailable;
    value_t value;
    const setting_t level = hasStrength_ ? RIG_LEVEL_STRENGTH : RIG_LEVEL_RAWSTR;
    const RigResult read = result(rig_get_level(rig_, RIG_VFO_CURR, level, &value), "signal");
    if (read == RigResult::Done)
        strengthDb = hasStrength_ ? value.i : value.i - 54;
    return read;
}

RigResult HamlibRig::readSquelch(std::optional<bool>& open) {
    open.reset();
    if (!hasDcd_)
        return RigResult::NotAvailable;
    dcd_t dcd = RIG_DCD_OFF;
    const RigResult read = result(rig_get_dcd(rig_, RIG_VFO_CURR, &dcd), "squelch");
    if (read == RigResult::Done)
        open = dcd == RIG_DCD_ON;
    return read;
}

RigResult HamlibRig::readSignal(SignalReport& report) {
    report.reset();
    std::optional<int> strengthDb;
    if (readStrength(strengthDb) == RigResult::Failed)
        return RigResult::Failed;
    const int strength = strengthDb.value_or(-54);
    bool open = strength >= settings_.thresholdDb;
    if (settings_.useDcd) {
        std::optional<bool> squelchOpen;
        if (readSquelch(squelchOpen) == RigResult::Failed)
            return RigResult::Failed;
        open = squelchOpen.value_or(open);
    }
    if (open)
        report = strength;
    return RigResult::Done;
}

RigResult HamlibRig::readReadings(RigReadings& readings) {
    readings = {};
    if (readStrength(readings.strengthDb) == RigResult::Failed ||
        readSquelch(readings.squelchOpen) == RigResult::Failed)
        return RigResult::Failed;
    return RigResult::Done;
}

} // namespace kovo::rig
