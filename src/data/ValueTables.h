#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "UiText.h"

// Every receiver setting is stored as a small index. These tables give each
// index its label (blanks included: they line up in the fixed-pitch font and in
// the text export), its receiver letter or its value in hertz. Labels are
// 8-bit code-page-932 text like every other stored string.
//
// Stored indices come from files and are not range-checked on reading, so the
// lookup functions below accept any index: outside the table they give an
// empty label, a letter of "" and 0 Hz instead of reading past the array.
namespace kovo {

inline constexpr std::array<std::string_view, 9> ModeNameTable{"NFM", "WFM", "AM",  "LSB", "USB",
                                                               "CW",  "SAM", "SAL", "SAH"};

// Synchronous AM (6, 7, 8) is sent to the receiver as plain AM.
inline constexpr std::array<std::string_view, 9> ModeLetterTable{"N", "W", "A", "L", "U",
                                                                 "C", "A", "A", "A"};

// Shown through uiText("StepNames", ...), which corrects "6.25kz" in English.
inline constexpr std::array<std::string_view, 14> StepNameTable{
    "   1Hz", "  50Hz", " 100Hz",  "  1kHz", "  5kHz", KOVO_TRANSLATE_NOOP("StepNames", "6.25kz"),
    "  9kHz", " 10kHz", "12.5kHz", " 15kHz", " 20kHz", " 25kHz",
    " 50kHz", "100kHz"};

// Rows 14 and 15 (1 MHz, 10 MHz) have no label.
inline constexpr std::array<std::uint32_t, 16> StepHzTable{
    1,     50,    100,   1000,  5000,  6250,   9000,    10000,
    12500, 15000, 20000, 25000, 50000, 100000, 1000000, 10000000};

// 1 for the steps that are not a decimal fraction (6.25 kHz, 12.5 kHz).
inline constexpr std::array<std::uint8_t, 14> FractionalStepFlags{0, 0, 0, 0, 0, 1, 0,
                                                                  0, 1, 0, 0, 0, 0, 0};

inline constexpr std::array<std::string_view, 4> AttNameTable{"   0dB", "  10dB", "   0dB",
                                                              "   0dB"};

inline constexpr std::array<std::string_view, 5> AttLetterTable{"T", "R", "T", "T", "T"};

inline constexpr std::array<std::string_view, 7> IfBandwidthNameTable{
    "500Hz", "3kHz", "6kHz", "15kHz", "40kHz", "110kHz", "220kHz"};

// The same IF bandwidths in Hz, for radios that are told a passband.
inline constexpr std::array<std::int32_t, 7> IfBandwidthHzTable{500,   3000,   6000,  15000,
                                                                40000, 110000, 220000};

inline constexpr std::array<std::string_view, 52> CtcssNameTable{
    "  OFF ", "  67.0", "  69.4", "  71.9", "  74.4", "  77.0", "  79.7", "  82.5", "  85.4",
    "  88.5", "  91.5", "  94.8", "  97.4", " 100.0", " 103.5", " 107.2", " 110.9", " 114.8",
    " 118.8", " 123.0", " 127.3", " 131.8", " 136.5", " 141.3", " 146.2", " 151.4", " 156.7",
    " 159.8", " 162.2", " 165.5", " 167.9", " 171.3", " 173.8", " 177.3", " 179.9", " 183.5",
    " 186.2", " 189.9", " 192.8", " 196.6", " 199.5", " 203.5", " 206.5", " 210.7", " 218.1",
    " 225.7", " 229.1", " 233.6", " 241.8", " 250.3", " 254.1", " SCAN "};

inline constexpr int CtcssOff = 0;
inline constexpr int CtcssToneSearch = 51;

// S-units 0..9, then dB over S9; rows 16..21 all read "+60".
inline constexpr std::array<std::string_view, 22> SignalScaleTable{
    "0",   "1",   "2",   "3",   "4",   "5",   "6",   "7",   "8",   "9",   "+10",
    "+20", "+30", "+40", "+50", "+60", "+60", "+60", "+60", "+60", "+60", "+60"};

// Mark in front of a bank in the database lists: blanks for "Other", circled
// numerals 1..20 for the named banks, a full-width P for the pass-channel bank.
// Code page 932 bytes.
inline constexpr std::array<std::string_view, 22> BankGlyphTable{
    "  ",       "\x87\x40", "\x87\x41", "\x87\x42", "\x87\x43", "\x87\x44", "\x87\x45", "\x87\x46",
    "\x87\x47", "\x87\x48", "\x87\x49", "\x87\x4A", "\x87\x4B", "\x87\x4C", "\x87\x4D", "\x87\x4E",
    "\x87\x4F", "\x87\x50", "\x87\x51", "\x87\x52", "\x87\x53", "\x82\x6F"};

// The same glyphs in UTF-8, for the user-interface side.
inline constexpr std::array<std::string_view, 22> BankGlyphTableUtf8{
    "  ", "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩",
    "⑪",  "⑫", "⑬", "⑭", "⑮", "⑯", "⑰", "⑱", "⑲", "⑳", "Ｐ"};

// On/off mark of the database lists: blanks or a white circle (CP932).
inline constexpr std::array<std::string_view, 2> MarkerGlyphTable{"  ", "\x81\x9B"};
inline constexpr std::array<std::string_view, 2> MarkerGlyphTableUtf8{"  ", "○"};

// Band-scope span: even rows for decimal steps, odd rows 1.25 times wider for
// fractional steps.
inline constexpr std::array<std::string_view, 14> SpanNameTable{
    " 20kHz",  "  25kHz", " 50kHz",  "62.5kHz", "100kHz",  " 125kHz", "200kHz",
    " 250kHz", "500kHz",  " 625kHz", "  1MHz",  "1.25MHz", "  2MHz",  " 2.5MHz"};

inline constexpr std::array<std::uint32_t, 14> SpanHzTable{
    20000,  25000,  50000,  62500,   100000,  125000,  200000,
    250000, 500000, 625000, 1000000, 1250000, 2000000, 2500000};

// Smallest and largest step in hertz a band-scope range accepts; range r uses
// span rows 2r and 2r+1.
struct ScopeRange {
    std::uint32_t smallestStepHz;
    std::uint32_t largestStepHz;
};
inline constexpr std::array<ScopeRange, 7> ScopeRangeTable{{{100, 2000},
                                                            {1000, 5000},
                                                            {1000, 10000},
                                                            {1000, 20000},
                                                            {5000, 50000},
                                                            {5000, 100000},
                                                            {10000, 200000}}};

// Step codes of older document files, in units of 10 Hz.
inline constexpr std::array<std::int32_t, 13> LegacyStepCodeTable{
    5, 10, 50, 100, 500, 625, 900, 1000, 1250, 1500, 2000, 5000, 10000};

// ---- lookups (any index accepted) ----

std::string_view modeName(std::int64_t mode);
std::string_view modeLetter(std::int64_t mode);
std::string_view stepName(std::int64_t step);
std::uint32_t stepHz(std::int64_t step);
bool isFractionalStep(std::int64_t step);
std::string_view attName(std::int64_t att);
std::string_view attLetter(std::int64_t att);
std::string_view ifBandwidthName(std::int64_t ifbw);
// 0 outside the table.
std::int32_t ifBandwidthHz(std::int64_t ifbw);
std::string_view ctcssName(std::int64_t tone);
std::string_view signalLabel(std::int64_t signal);
std::string_view bankGlyph(std::int64_t bank);     // CP932
std::string_view bankGlyphUtf8(std::int64_t bank); // UTF-8
std::string_view markerGlyph(bool on);             // CP932
std::string_view spanName(std::int64_t span);
std::uint32_t spanHz(std::int64_t span);
// Range row, or nullptr outside the table.
const ScopeRange* scopeRange(std::int64_t range);

// Step index for a step code of an older file: rows 0 and 1 give index 1 and 2,
// later rows their own row number; an unknown code gives 7 (10 kHz).
int legacyStepIndex(std::int32_t code);

} // namespace kovo
