#pragma once
#include "scan/ReceiverCore.h"
#include "ui/ViewInterfaces.h"
#include "ui/database/DatabaseSeams.h"

namespace kovo {

// The panel commands carried out by the receiver core. The core is made
// first and outlives the view that holds these commands.
class ReceiverCoreCommands final : public CoreCommands, public DatabaseCore {
public:
    explicit ReceiverCoreCommands(ReceiverCore& core) : core_(core) {}

    void setOperatingMode(OperatingMode mode) override { core_.setOperatingMode(mode); }
    void togglePriority() override { core_.togglePriority(); }
    void sendNext() override { core_.sendNext(); }
    void stepMemoryScan() override { core_.steps().memoryScanStep(); }
    void stepSearch() override { core_.steps().programSearchStep(); }
    void stepOneMegahertzScan() override { core_.steps().oneMegahertzStep(); }
    BandScope& bandScope() override { return core_.bandScope(); }
    ReceiverOperations& operations() override { return core_.operations(); }
    DatabaseCore* databaseCore() override { return this; }
    const ScanState* scanState() const override { return &core_.scanState(); }
    const ReceiverFeatures* receiverFeatures() const override { return &core_.link().features(); }

    // ---- DatabaseCore ----
    void holdForAWhile() override { core_.databaseHold().set(); }
    void holdUntilCleared() override { core_.databaseHold().setUntilCleared(); }
    void releaseHold() override { core_.databaseHold().clear(); }
    bool isHeld() const override { return core_.databaseHold().isSet(); }
    void channelChosenByHand(int row) override { core_.modes().channelChosenByHand(row); }
    void logEntryChosenByHand(int r) override { core_.modes().logEntryChosenByHand(r); }
    void searchBankChosenByHand(int k) override { core_.modes().searchBankChosenByHand(k); }
    bool chooseLinkSet(int k) override { return core_.operations().chooseLinkSet(k); }

private:
    ReceiverCore& core_;
};

} // namespace kovo
