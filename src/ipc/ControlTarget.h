#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/CFrequencyData.h"
#include "ipc/Blocks.h"

namespace kovo::ipc {

// What commands from other programs may do to the program: read the tuning
// record, change it and the operating mode through the core's operations,
// change the document's tables through its own. One adapter implements it on
// the core and the view; the operations refresh the panels.
class ControlTarget {
public:
    virtual ~ControlTarget() = default;
    virtual const CFrequencyData& tuningRecord() const = 0;
    // Frequency as given, with the bank and comment of a channel stored there;
    // false, and nothing changed, when the receiver cannot tune it.
    virtual bool tuneExactly(std::uint32_t hz) = 0;
    // Values already checked against the command's range.
    virtual void setMode(int mode) = 0;
    virtual void setStep(int step) = 0;
    virtual void setIfBandwidth(int ifBandwidth) = 0;
    // False, and nothing changed, where the receiver's attenuator is not the
    // user's to set (in memory scan each channel brings its own).
    virtual bool setAttenuator(int attenuator) = 0;
    virtual void setAntenna(int antenna) = 0;
    // A valid state block into the tuning record; false, and nothing
    // changed, when the receiver cannot tune its frequency.
    virtual bool applyState(const StateBlock& block) = 0;
    virtual void setOperatingMode(int mode) = 0;
    // Banks of the current link set, bit b = bank b; the bank list follows.
    virtual void setLinkFlags(std::uint32_t bits) = 0;
    virtual void setSearchBanksInUse(std::uint32_t bits) = 0;
    virtual void selectLinkSet(int k) = 0;
    virtual bool squelchOpen() const = 0;
    virtual std::vector<std::string> bankNames() const = 0;
    virtual std::vector<std::string> searchBankComments() const = 0;
    virtual std::vector<std::string> linkSetNames() const = 0;
    virtual std::int32_t now() const = 0;
    // Saves a modified document; false when that failed.
    virtual bool saveForShutdown() = 0;
    virtual void endProcess(int exitCode) = 0;
};

} // namespace kovo::ipc
