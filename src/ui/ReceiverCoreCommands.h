#pragma once
#include "scan/ReceiverCore.h"
#include "ui/ViewInterfaces.h"
#include "ui/database/DatabaseSeams.h"

namespace kovo {

// The panel commands carried out by the receiver core. The view is made
// first (the core needs it as its ViewSink), so the core is attached after
// both exist and before the window is shown.
class ReceiverCoreCommands final : public CoreCommands, public DatabaseCore {
public:
    void attach(ReceiverCore& core) { core_ = &core; }
    bool attached() const { return core_ != nullptr; }

    void setOperatingMode(OperatingMode mode) override {
        if (core_)
            core_->setOperatingMode(mode);
    }
    void togglePriority() override {
        if (core_)
            core_->togglePriority();
    }
    void sendNext() override {
        if (core_)
            core_->sendNext();
    }
    void stepMemoryScan() override {
        if (core_)
            core_->steps().memoryScanStep();
    }
    void stepSearch() override {
        if (core_)
            core_->steps().programSearchStep();
    }
    void stepOneMegahertzScan() override {
        if (core_)
            core_->steps().oneMegahertzStep();
    }
    // Only valid once attached.
    BandScope& bandScope() override { return core_->bandScope(); }
    ReceiverOperations& operations() override { return core_->operations(); }
    DatabaseCore* databaseCore() override { return this; }
    const ScanState* scanState() const override { return core_ ? &core_->scanState() : nullptr; }
    const ReceiverFeatures* receiverFeatures() const override {
        return core_ ? &core_->link().features() : nullptr;
    }

    // ---- DatabaseCore ----
    void holdForAWhile() override {
        if (core_)
            core_->databaseHold().set();
    }
    void holdUntilCleared() override {
        if (core_)
            core_->databaseHold().setUntilCleared();
    }
    void releaseHold() override {
        if (core_)
            core_->databaseHold().clear();
    }
    bool isHeld() const override { return core_ && core_->databaseHold().isSet(); }
    void channelChosenByHand(int row) override {
        if (core_)
            core_->modes().channelChosenByHand(row);
    }
    void logEntryChosenByHand(int r) override {
        if (core_)
            core_->modes().logEntryChosenByHand(r);
    }
    void searchBankChosenByHand(int k) override {
        if (core_)
            core_->modes().searchBankChosenByHand(k);
    }

private:
    ReceiverCore* core_ = nullptr;
};

} // namespace kovo
