#pragma once

// The command numbers the context menus of the database lists send.
namespace kovo::dbmenus {

enum Command : int {
    ShowMemoryChannels = 32860,
    ShowBanks = 32783,
    ShowSearchBanks = 32784,
    ShowPassRanges = 32785,
    ShowAutoRanges = 32854,
    ShowSearchStrings = 32869,
    ShowLog = 32873,
    FirstBank = 32788, // .. 32809, bank id - 32788
    MultiBankMode = 32810,
    FirstStep = 32812,        // .. 32824, step index id - 32811
    FirstMode = 32825,        // .. 32833
    FirstIfBandwidth = 32834, // .. 32840
    FirstAttenuator = 32841,  // .. 32844
    FirstAntenna = 32845,     // .. 32848
    BankUseYes = 32850,
    BankUseNo = 32851,
    SearchUseYes = 32855,
    SearchUseNo = 32856,
    PassUseYes = 32857,
    PassUseNo = 32858,
    AutoUseYes = 32862,
    AutoUseNo = 32863,
    Delete = 32872,
    LogAnalyze = 32874,
    LogClear = 32875,
    Cut = 32876,
    Paste = 32877,
    ActualMemoryNames = 32878,
    StartPlayback = 32879,
    StopPlayback = 32880,
    FirstCtcss = 32889, // .. 32939
};
inline constexpr int kLastBank = 32809;
inline constexpr int kLastStep = 32824;
inline constexpr int kLastMode = 32833;
inline constexpr int kLastIfBandwidth = 32840;
inline constexpr int kLastAttenuator = 32844;
inline constexpr int kLastAntenna = 32848;
inline constexpr int kLastCtcss = 32939;

// The view-switching commands, by view.
inline constexpr int kViewCommands[] = {
    ShowMemoryChannels, ShowBanks,         ShowSearchBanks, ShowPassRanges,
    ShowAutoRanges,     ShowSearchStrings, ShowLog};

// The view a view-switching command shows, or -1.
constexpr int viewOfCommand(int command) {
    for (int v = 0; v < 7; ++v)
        if (kViewCommands[v] == command)
            return v;
    return -1;
}

} // namespace kovo::dbmenus
