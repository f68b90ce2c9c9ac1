// Feeds arbitrary bytes from the network to the Telnet / COM-port control
// codec, cut into pieces wherever the input says, and arbitrary text to the
// line-format reader. The codec never hands on more line bytes than came in,
// and a line format it reads is one a port can take and writes back as read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "link/LineSetting.h"
#include "net/TelnetCodec.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovo::fuzz::FuzzInput in(data, size);
    const std::string lineText = in.chunk();
    if (const auto line = kovo::LineSetting::parse(lineText)) {
        check(line->valid());
        check(kovo::LineSetting::parse(line->text()) == line);
        check(!kovo::TelnetCodec::lineSettings(*line).empty());
    }
    kovo::TelnetCodec codec;
    codec.start();
    while (!in.empty()) {
        const std::string piece = in.chunk();
        const auto decoded = codec.decode(piece);
        check(decoded.data.size() <= piece.size());
        const std::string encoded = codec.encode(decoded.data);
        check(encoded.size() >= decoded.data.size());
    }
    return 0;
}
