#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/CFrequencyData.h"

namespace kovo::ipc {

// What commands from other programs may do to the program: the document's
// tuning record and tables, the operating mode, the panels. One adapter
// implements it on the core and the view.
class ControlTarget {
public:
    virtual ~ControlTarget() = default;
    virtual CFrequencyData& tuningRecord() = 0;
    // Frequency as given, with the bank and comment of a channel stored there.
    virtual void tuneExactly(std::uint32_t hz) = 0;
    virtual void refreshPanels() = 0;
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
