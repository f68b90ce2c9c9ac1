#include "SpreadsheetCells.h"

namespace kovo {
namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isNamePart(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_';
}

// A name directly followed by "(", as in "SUM(" or "HYPERLINK(".
bool holdsFunctionCall(std::string_view text) {
    for (std::size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
        std::size_t start = open;
        while (start > 0 && isNamePart(text[start - 1]))
            --start;
        if (start < open && isLetter(text[start]))
            return true;
    }
    return false;
}

} // namespace

bool mayReadAsFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

bool runsAsFormula(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    text.remove_prefix(first);
    if (text.front() == '=')
        return true;
    if (std::string_view("+-@").find(text.front()) == std::string_view::npos)
        return false;
    return text.find('|') != std::string_view::npos || holdsFunctionCall(text);
}

std::string guardedCell(std::string_view text, bool (*guard)(std::string_view)) {
    return guard(text) ? "'" + std::string(text) : std::string(text);
}

} // namespace kovo
