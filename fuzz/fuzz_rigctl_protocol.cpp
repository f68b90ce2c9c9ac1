// Feeds arbitrary lines to the Hamlib network protocol, as a client of the
// server would send them (cut at line ends and at the server's length limit).
// Whatever a line says, the receiver (which refuses what it cannot tune)
// stays within its range and is set only to modes and IF bandwidths it has.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "net/RigctlProtocol.h"

namespace {

using kovo::RigctlProtocol;

void check(bool condition) {
    if (!condition)
        std::abort();
}

class CheckingRig final : public kovo::RigTarget {
public:
    std::uint32_t hz = 145'500'000;
    int modeRow = 0;
    int ifbw = 3;
    bool sam = false;
    std::optional<int> meter = 10;

    std::uint32_t frequency() const override { return hz; }
    bool tune(std::uint32_t f) override {
        if (f < RigctlProtocol::kLowestHz || f > RigctlProtocol::kHighestHz)
            return false;
        hz = f;
        return true;
    }
    int mode() const override { return modeRow; }
    int ifBandwidth() const override { return ifbw; }
    bool hasMode(int m) const override { return m >= 0 && (m < 6 || (sam && m < 9)); }
    void setMode(int m, std::optional<int> b) override {
        check(hasMode(m));
        check(!b || (*b >= 0 && *b <= 6));
        modeRow = m;
        ifbw = b.value_or(2);
    }
    std::optional<int> signalValue() const override { return meter; }
    bool receiverAnswering() const override { return meter.has_value(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckingRig rig;
    // The first byte picks the receiver: answering or not, with or without
    // the synchronous AM option.
    if (!text.empty()) {
        rig.sam = (text.front() & 1) != 0;
        if (text.front() & 2)
            rig.meter.reset();
        text.remove_prefix(1);
    }
    RigctlProtocol protocol(rig);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = line.substr(0, RigctlProtocol::kMaxLineLength);
        const auto answer = protocol.handle(line);
        if (answer.close)
            break;
    }
    return 0;
}
