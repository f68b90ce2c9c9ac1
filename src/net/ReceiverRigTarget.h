#pragma once
#include "net/RigTarget.h"

namespace kovo {

struct CFrequencyData;
class ReceiverCore;

// The receiver as the Hamlib network protocol sees it, through the core's
// operations the front panel uses: a frequency is tuned as typing it would
// tune it, a mode is selected as its key would select it.
class ReceiverRigTarget final : public RigTarget {
public:
    explicit ReceiverRigTarget(ReceiverCore& core) : core_(core) {}

    std::uint32_t frequency() const override;
    bool tune(std::uint32_t hz) override;
    int mode() const override;
    int ifBandwidth() const override;
    bool hasMode(int mode) const override;
    void setMode(int mode, std::optional<int> ifBandwidth) override;
    std::optional<int> signalValue() const override;
    bool receiverAnswering() const override;

private:
    const CFrequencyData& tunedRecord() const;

    ReceiverCore& core_;
};

} // namespace kovo
