#pragma once
#include <cstdint>
#include <vector>

#include "AppSettings.h"
#include "DocumentContents.h"

// What the database lists change in the document: properties of selected
// channels, search banks, pass ranges and auto-mode ranges, and the numbering
// of channels within their banks. Rows are indices into the table of the
// view, ascending; rows outside the table are skipped. Each function returns
// whether it touched any record; the document's edits that call them mark it
// modified and report the change.
namespace kovo::edits {

// The tables of the database views that carry receiver settings.
enum Table : int {
    Channels = 0,
    Banks = 1,
    SearchBanks = 2,
    PassRanges = 3,
    AutoRanges = 4,
};

// The lowest bank of bits 0..21 of a mask; 0 when none is set.
int firstBankOf(std::int32_t bankMask);

// Numbers every channel within its bank in table order (the first channel of
// a bank is 0) and stores the number in its bankNumber. A tuning record that
// sits on a stored channel takes that channel's number.
void numberChannelsWithinBanks(DocumentContents& doc);

// Multi Bank Mode toggles bank `bank` in each channel's mask (an emptied mask
// becomes bank 0); otherwise the channel moves to that bank alone.
bool setBankMembership(DocumentContents& doc, const std::vector<int>& rows, int bank,
                       bool multiBank);

// IF bandwidth after a mode change: WFM takes the wide default when the
// filter is narrow, NFM the narrow default when it is wide.
std::int32_t bandwidthForMode(int mode, std::int32_t ifBandwidth, const AppSettings& settings);
// Mode after an IF bandwidth change: a wide filter turns NFM into WFM, a
// narrow one WFM into NFM.
std::int32_t modeForBandwidth(std::int32_t mode, int ifBandwidth);
// The attenuator a frequency allows: 2 is 0 from 230 MHz up, 1 and 2 are 0
// from 1 GHz up.
int attenuatorForFrequency(int attenuator, std::uint32_t frequency);

// Step, mode (with the bandwidth rule), attenuator (with the frequency rule),
// IF bandwidth (with the reverse mode rule) and antenna of the selected rows
// of table 0, 2 or 4; other tables change nothing.
bool setStep(DocumentContents& doc, int table, const std::vector<int>& rows, int step);
bool setMode(DocumentContents& doc, int table, const std::vector<int>& rows, int mode,
             const AppSettings& settings);
bool setAttenuator(DocumentContents& doc, int table, const std::vector<int>& rows, int attenuator);
bool setIfBandwidth(DocumentContents& doc, int table, const std::vector<int>& rows,
                    int ifBandwidth);
bool setAntenna(DocumentContents& doc, int table, const std::vector<int>& rows, int antenna);
// CTCSS tone of the selected channels.
bool setCtcss(DocumentContents& doc, const std::vector<int>& rows, int tone);
// Use flag of the selected rows of tables 1 to 4 (for banks: the flag of the
// current link set).
bool setUseFlag(DocumentContents& doc, int table, const std::vector<int>& rows, bool on);

} // namespace kovo::edits
