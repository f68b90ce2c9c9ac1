// Feeds arbitrary text from a web page to the web remote's control-message
// parser. A message it takes is one the page could send: short, its verb
// known, its argument within bounds; and it reads the same the second time.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "web/ControlMessage.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto message = kovo::web::parseControlMessage(text);
    if (!message)
        return 0;
    check(text.size() <= kovo::web::kMaxControlMessageBytes);
    check(message->text.size() <= 16);
    check(message->number >= 0 && message->number <= 20);
    const auto again = kovo::web::parseControlMessage(std::string(text));
    check(again && again->verb == message->verb && again->text == message->text &&
          again->number == message->number);
    // The token comparison agrees with plain equality.
    const std::string_view half = text.substr(0, text.size() / 2);
    check(kovo::web::sameSecret(half, text.substr(half.size(), half.size())) ==
          (!half.empty() && half == text.substr(half.size(), half.size())));
    return 0;
}
