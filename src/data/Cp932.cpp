#include "Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace kovo {
namespace {

// An iconv conversion opened once per thread and reset before every use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `input`; at an input sequence that cannot be converted, appends
    // "?" and skips the sequence (its length given by `badLength`).
    template <typename BadLength> std::string convert(std::string_view input, BadLength badLength) {
        std::string result;
        if (!valid()) {
            result.assign(input.size(), '?');
            return result;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &out, &outLeft);
            result.append(buffer, static_cast<std::size_t>(out - buffer));
            if (rc != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (a sequence cut short at the end): replace it.
            const std::size_t skip = std::min(inLeft, badLength(std::string_view(in, inLeft)));
            result.push_back('?');
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &out, &outLeft);
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        return result;
    }

private:
    iconv_t cd_;
};

std::size_t oneByte(std::string_view) {
    return 1;
}

// Length of the UTF-8 sequence that starts `text` (1 for a stray byte).
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    // A shorter run of continuation bytes is one bad sequence.
    std::size_t i = 1;
    while (i < length && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

std::size_t utf16Unit(std::string_view text) {
    auto unitAt = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(text[i])) |
               static_cast<unsigned>(static_cast<unsigned char>(text[i + 1])) << 8;
    };
    if (text.size() < 2)
        return text.size();
    // A surrogate pair is one character; a lone surrogate is skipped alone.
    if (text.size() >= 4 && unitAt(0) >= 0xD800 && unitAt(0) <= 0xDBFF && unitAt(2) >= 0xDC00 &&
        unitAt(2) <= 0xDFFF)
        return 4;
    return 2;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    thread_local Converter converter("UTF-8", "CP932");
    return converter.convert(cp932, oneByte);
}

std::string utf8ToCp932(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    return converter.convert(utf8, utf8SequenceLength);
}

std::string utf16leToCp932(std::string_view utf16le) {
    thread_local Converter converter("CP932", "UTF-16LE");
    return converter.convert(utf16le, utf16Unit);
}

} // namespace kovo
