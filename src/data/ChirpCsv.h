#pragma once
#include <string>

#include "ChirpDetails.h"
#include "DocumentContents.h"
#include "FileResult.h"

// Channels written as CHIRP's CSV, so that a list goes to a handheld: UTF-8,
// every CHIRP column, one row per channel in order of location, frequency in
// MHz, the receiver's mode, step in kHz, a squelch tone as TSQL, the comment
// (its start also as the name), and channels of the pass-channel bank marked
// to be skipped. A channel imported from a CHIRP list is written as its row
// was (name, duplex, offset, tone mode, DTCS, exact step, location and the
// rest, from the CHIRP details) except for the settings changed since, which
// come from the channel. A cell a spreadsheet would run as a formula gets a
// leading "'".
namespace kovo {

class CKovo5Doc;

inline constexpr int kAllBanks = -1;
// Longest name a handheld commonly shows.
inline constexpr std::size_t kChirpNameLength = 8;

// The file contents: every channel, or those of bank `bank` only (with the
// pass channels imported into it).
std::string formatChirpCsv(const DocumentContents& contents, int bank = kAllBanks,
                           const ChirpDetails& details = ChirpDetails{});
// The document's channels with its CHIRP details.
FileResult exportChirpCsv(const CKovo5Doc& doc, const std::string& path, int bank = kAllBanks);

} // namespace kovo
