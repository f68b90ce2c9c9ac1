#pragma once
#include "net/RigTarget.h"

namespace kovo {

class CKovo5Doc;
class ReceiverCore;
class ViewSink;
struct AppSettings;

// The receiver as the Hamlib network protocol sees it, through the same
// document and core operations the front panel uses: a frequency is tuned as
// typing it would tune it, a mode is selected as its key would select it.
// The one class to change when those operations move.
class ReceiverRigTarget final : public RigTarget {
public:
    ReceiverRigTarget(CKovo5Doc& doc, ReceiverCore& core, ViewSink& view,
                      const AppSettings& settings)
        : doc_(doc), core_(core), view_(view), settings_(settings) {}

    std::uint32_t frequency() const override;
    void tune(std::uint32_t hz) override;
    int mode() const override;
    int ifBandwidth() const override;
    bool hasMode(int mode) const override;
    void setMode(int mode, std::optional<int> ifBandwidth) override;
    std::optional<int> signalValue() const override;
    bool receiverAnswering() const override;

private:
    CKovo5Doc& doc_;
    ReceiverCore& core_;
    ViewSink& view_;
    const AppSettings& settings_;
};

} // namespace kovo
