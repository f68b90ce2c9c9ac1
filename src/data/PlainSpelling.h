#pragma once
#include <string>
#include <string_view>

// Text as the document's character set (code page 932) can keep it. That set
// has no "ö" or "é": rather than letting such a character turn into "?" when
// stored, it is spelled plainly ("Malmö" → "Malmo": accents dropped, plus a
// few letters spelled out, "ß" → "ss"), and a character with neither a form
// in the set nor a plain spelling is left out. Every path that stores typed
// or imported text goes through here, so they all store the same thing.
namespace kovo {

struct PlainSpelling {
    std::string text;    // UTF-8; converts to code page 932 without a "?"
    std::string changed; // the characters that were spelled plainly (UTF-8)
    std::string refused; // the characters that were left out (UTF-8)
    int refusedCount = 0;
};

PlainSpelling plainSpelling(std::string_view utf8);

// The text in code page 932 through plainSpelling; `refused` counts the
// characters left out.
std::string storableCp932(std::string_view utf8, int& refused);

// What the user is told about `count` characters left out (UTF-8).
std::string refusedCharactersMessage(int count);

} // namespace kovo
