#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace kovoctl {

// `kovoctl history [--from DATE] [--to DATE] [--freq MHZ[-MHZ]] [--csv|--json]`:
// the hits of the history store, newest first, as a text table, CSV or
// JSON. DATE is YYYY-MM-DD (local; --to takes in that whole day) or
// YYYY-MM-DDTHH:MM[:SS] (local), with Z or +HH:MM for another zone.
// Returns 2 for a malformed command line (after saying what is wrong).
int historyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// A DATE as above, as seconds since 1970 UTC; `endOfDay` moves a bare date to
// the next local midnight. Nothing for text that is not such a date.
std::optional<std::int64_t> parseHistoryDate(const std::string& text, bool endOfDay);

} // namespace kovoctl
