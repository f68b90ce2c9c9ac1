#pragma once
#include <cstdint>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "scan/ScanState.h"
#include "scan/ViewSink.h"

namespace kovo {

// The tuned frequency takes the bank, number and comment of the stored channel
// at that frequency, or is cleared of them when none is stored there.
void lookUpTunedChannel(CKovo5Doc& doc);

// One step of each scan: memory scan over the banks of the current link set,
// program search between band edges with pass ranges skipped, 1 MHz scan. Each
// step changes only the document's main record (and the scan position); the
// polling loop then tunes the receiver.
class ScanSteps {
public:
    static constexpr std::uint32_t kOneMegahertz = 1000000;
    static constexpr std::uint32_t kPassChannelBankBit = 1u << 21;

    ScanSteps(CKovo5Doc& doc, ScanState& state, const AppSettings& settings, ViewSink& view);

    ScanState& state() { return state_; }

    void memoryScanStep();
    void programSearchStep();
    void oneMegahertzStep();

    // Program search is chosen: continue in the first in-use bank holding the
    // tuned frequency, else start at the edge of the next in-use bank. False
    // when no search bank is in use.
    bool startProgramSearch();
    // The 1 MHz scan window becomes the whole megahertz around the tuned
    // frequency.
    void setOneMegahertzWindow();
    std::uint32_t windowLower() const { return lower_; }
    std::uint32_t windowUpper() const { return upper_; }

private:
    bool goingUp() const;
    std::int64_t searchStepHz(int bank) const;
    std::int64_t nextCandidate(std::int64_t f, std::int64_t s, bool up) const;
    bool skipPassRange(std::int64_t t, bool up, std::int64_t& f) const;
    bool isPassChannel(std::int64_t t);
    int nextInUseBank(int bank, bool up) const;
    void enterBank(int bank, bool up);
    void loadBankSettings(int bank);

    CKovo5Doc& doc_;
    ScanState& state_;
    const AppSettings& settings_;
    ViewSink& view_;
    std::uint32_t lower_ = 0;
    std::uint32_t upper_ = kOneMegahertz;
};

} // namespace kovo
