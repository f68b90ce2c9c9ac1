#pragma once
#include <string>
#include <string_view>

// A CSV file opened in a spreadsheet program runs a cell that reads as a
// formula ("=cmd|...", "+SUM(...)", "@SUM(...)"). Cells written from stored
// text are guarded with a leading "'", which spreadsheet programs read as
// "this is text".
namespace kovo {

// What spreadsheet programs may take for a formula: text beginning with
// "=", "+", "-", "@", a tab or a carriage return.
bool mayReadAsFormula(std::string_view text);
// Narrower, for files other programs read as plain text (CHIRP's names, where
// "-REP" or "+5" are ordinary): text a spreadsheet runs as a formula that
// calls something, that is beginning (after blanks) with "=", or with "+",
// "-" or "@" and holding a function call ("SUM(") or a link to another
// program ("cmd|").
bool runsAsFormula(std::string_view text);

// The text with a leading "'" when `guard` says so.
std::string guardedCell(std::string_view text, bool (*guard)(std::string_view));

} // namespace kovo
