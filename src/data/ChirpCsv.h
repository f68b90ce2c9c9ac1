#pragma once
#include <string>

#include "DocumentContents.h"
#include "FileResult.h"

// Channels written as CHIRP's CSV, so that a list goes to a handheld: UTF-8,
// one row per channel in table order, frequency in MHz, the receiver's mode,
// step in kHz, a squelch tone as TSQL, the comment (its start also as the
// name), and channels of the pass-channel bank marked to be skipped.
namespace kovo {

inline constexpr int kAllBanks = -1;
// Longest name a handheld commonly shows.
inline constexpr std::size_t kChirpNameLength = 8;

// The file contents: every channel, or those of bank `bank` only.
std::string formatChirpCsv(const DocumentContents& contents, int bank = kAllBanks);
FileResult exportChirpCsv(const DocumentContents& contents, const std::string& path,
                          int bank = kAllBanks);

} // namespace kovo
