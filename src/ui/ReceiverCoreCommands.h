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
    void sendNext() override { core_.sendNext(); }
    const BandScope& bandScope() const override { return core_.bandScope(); }
    ReceiverOperations& operations() override { return core_.operations(); }
    DatabaseCore* databaseCore() override { return this; }
    const ScanState* scanState() const override { return &core_.scanState(); }
    const ReceiverFeatures* receiverFeatures() const override { return &core_.link().features(); }

    // ---- DatabaseCore ----
    void holdForAWhile() override { ops().holdDatabase(); }
    void holdUntilCleared() override { ops().holdDatabaseUntilCleared(); }
    void releaseHold() override { ops().releaseDatabaseHold(); }
    bool isHeld() const override { return core_.operations().databaseHeld(); }
    void channelChosenByHand(int row) override { ops().channelChosenByHand(row); }
    void logEntryChosenByHand(int r) override { ops().logEntryChosenByHand(r); }
    void searchBankChosenByHand(int k) override { ops().searchBankChosenByHand(k); }
    bool chooseLinkSet(int k) override { return ops().chooseLinkSet(k); }

private:
    ReceiverOperations& ops() { return core_.operations(); }

    ReceiverCore& core_;
};

} // namespace kovo
