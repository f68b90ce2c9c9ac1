#pragma once
#include <string>
#include <string_view>

namespace kovo {

// Conversions between the 8-bit code page 932 (Shift-JIS) of stored text and
// UTF-8. Anything that cannot be converted becomes "?".
std::string cp932ToUtf8(std::string_view cp932);
std::string utf8ToCp932(std::string_view utf8);
// UTF-16 little-endian bytes (as stored by the 16-bit string form) to CP932.
std::string utf16leToCp932(std::string_view utf16le);

} // namespace kovo
