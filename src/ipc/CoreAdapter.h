#pragma once
#include <functional>

#include "ipc/ControlTarget.h"

namespace kovo {
class CKovo5Doc;
class ReceiverCore;
class ReceiverOperations;
} // namespace kovo

namespace kovo::ipc {

// The one place where commands from other programs meet the program's own
// operations: the core's operations service for everything tuned, the
// document's operations for its tables; the lists follow the document. Saving and
// ending the process belong to the application and are handed in.
class CoreAdapter final : public ControlTarget {
public:
    struct Hooks {
        std::function<bool()> saveIfModified;
        std::function<void(int)> endProcess;
    };
    CoreAdapter(CKovo5Doc& doc, ReceiverCore& core, Hooks hooks)
        : doc_(doc), core_(core), hooks_(std::move(hooks)) {}

    const CFrequencyData& tuningRecord() const override;
    bool tuneExactly(std::uint32_t hz) override;
    void setMode(int mode) override;
    void setStep(int step) override;
    void setIfBandwidth(int ifBandwidth) override;
    bool setAttenuator(int attenuator) override;
    void setAntenna(int antenna) override;
    bool applyState(const StateBlock& block) override;
    void setOperatingMode(int mode) override;
    void setLinkFlags(std::uint32_t bits) override;
    void setSearchBanksInUse(std::uint32_t bits) override;
    void selectLinkSet(int k) override;
    bool squelchOpen() const override;
    std::vector<std::string> bankNames() const override;
    std::vector<std::string> searchBankComments() const override;
    std::vector<std::string> linkSetNames() const override;
    std::int32_t now() const override;
    bool saveForShutdown() override;
    void endProcess(int exitCode) override;

private:
    ReceiverOperations& ops() const;

    CKovo5Doc& doc_;
    ReceiverCore& core_;
    Hooks hooks_;
};

} // namespace kovo::ipc
