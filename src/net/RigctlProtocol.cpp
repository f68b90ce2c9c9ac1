#include "net/RigctlProtocol.h"

#include "data/ValueTables.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

namespace kovo {

namespace {

struct ModeToken {
    std::string_view token;
    int mode;          // row of the mode table
    std::uint32_t bit; // Hamlib's mode bit
};

constexpr std::array<ModeToken, 9> kModes{{
    {"FM", 0, 0x20},
    {"WFM", 1, 0x40},
    {"AM", 2, 0x1},
    {"LSB", 3, 0x8},
    {"USB", 4, 0x4},
    {"CW", 5, 0x2},
    {"SAM", 6, 0x10000},
    {"SAL", 7, 0x20000},
    {"SAH", 8, 0x40000},
}};

constexpr const auto& kIfBandwidthHz = IfBandwidthHzTable;
constexpr int kMaxPassbandHz = 1'000'000;
constexpr std::array<std::uint32_t, 15> kStepsHz{50,    100,   1000,   5000,    6250,
                                                 9000,  10000, 12500,  15000,   20000,
                                                 25000, 50000, 100000, 1000000, 10000000};
constexpr std::string_view kStrength = "STRENGTH";
constexpr std::uint64_t kLevelStrength = 1ull << 30;
// The only VFO there is, under the names a client may use for it.
constexpr std::array<std::string_view, 5> kOurVfo{"VFOA", "currVFO", "VFO", "Main", "RX"};

using Records = std::vector<std::pair<std::string, std::string>>;
using Args = std::vector<std::string_view>;

struct Context {
    RigTarget& target;
    const Args& args;
    Records& records;
    std::string raw; // a block sent as it is (dump_state)
};

struct Command {
    char shortName; // 0: long name only
    std::string_view longName;
    std::size_t argCount;
    std::function<int(Context&)> run;
};

// Strength in dB relative to S9: six dB an S unit up to S9, ten dB a step
// above, as the meter's scale reads.
int strengthDb(int value) {
    return value <= 9 ? (value - 9) * 6 : (value - 9) * 10;
}

int nearestIfBandwidth(long hz) {
    int best = 0;
    for (int i = 1; i < int(kIfBandwidthHz.size()); ++i)
        if (std::labs(kIfBandwidthHz[std::size_t(i)] - hz) <
            std::labs(kIfBandwidthHz[std::size_t(best)] - hz))
            best = i;
    return best;
}

std::optional<double> parseDouble(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> parseLong(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

const ModeToken* modeByToken(std::string_view token) {
    for (const ModeToken& m : kModes)
        if (m.token == token)
            return &m;
    return nullptr;
}

std::string modeList(const RigTarget& target) {
    std::string out;
    for (const ModeToken& m : kModes) {
        if (!target.hasMode(m.mode))
            continue;
        if (!out.empty())
            out += ' ';
        out += m.token;
    }
    return out;
}

int getFreq(Context& c) {
    c.records.emplace_back("Frequency", std::to_string(c.target.frequency()));
    return RigctlProtocol::kOk;
}

int setFreq(Context& c) {
    // Whether the receiver tunes it is the receiver's to say; here only
    // what cannot be a frequency at all is turned away.
    const auto hz = parseDouble(c.args[0]);
    if (!hz || !(*hz >= 0 && *hz <= double(std::numeric_limits<std::uint32_t>::max())))
        return RigctlProtocol::kInvalid;
    return c.target.tune(std::uint32_t(std::llround(*hz))) ? RigctlProtocol::kOk
                                                           : RigctlProtocol::kInvalid;
}

int getMode(Context& c) {
    std::string token = "AM";
    for (const ModeToken& m : kModes)
        if (m.mode == c.target.mode())
            token = m.token;
    const int ifbw = c.target.ifBandwidth();
    const bool known = ifbw >= 0 && ifbw < int(kIfBandwidthHz.size());
    c.records.emplace_back("Mode", token);
    c.records.emplace_back("Passband",
                           std::to_string(known ? kIfBandwidthHz[std::size_t(ifbw)] : 0));
    return RigctlProtocol::kOk;
}

int setMode(Context& c) {
    if (c.args[0] == "?") {
        c.raw = modeList(c.target) + "\n";
        return RigctlProtocol::kOk;
    }
    const ModeToken* mode = modeByToken(c.args[0]);
    if (!mode || !c.target.hasMode(mode->mode))
        return RigctlProtocol::kInvalid;
    std::optional<int> ifbw;
    if (c.args.size() > 1) {
        const auto passband = parseLong(c.args[1]);
        if (!passband || *passband < -1 || *passband > kMaxPassbandHz)
            return RigctlProtocol::kInvalid;
        if (*passband == -1)
            ifbw = c.target.ifBandwidth();
        else if (*passband > 0)
            ifbw = nearestIfBandwidth(*passband);
    }
    c.target.setMode(mode->mode, ifbw);
    return RigctlProtocol::kOk;
}

int getVfo(Context& c) {
    c.records.emplace_back("VFO", "VFOA");
    return RigctlProtocol::kOk;
}

int setVfo(Context& c) {
    for (std::string_view name : kOurVfo)
        if (c.args[0] == name)
            return RigctlProtocol::kOk;
    return RigctlProtocol::kNotAvailable;
}

int getSplitVfo(Context& c) {
    c.records.emplace_back("Split", "0");
    c.records.emplace_back("TX VFO", "VFOA");
    return RigctlProtocol::kOk;
}

int getLevel(Context& c) {
    if (c.args[0] == "?") {
        c.raw = std::string(kStrength) + "\n";
        return RigctlProtocol::kOk;
    }
    if (c.args[0] != kStrength)
        return RigctlProtocol::kNotAvailable;
    const auto value = c.target.signalValue();
    if (!value)
        return RigctlProtocol::kIo;
    c.records.emplace_back("Level Value", std::to_string(strengthDb(*value)));
    return RigctlProtocol::kOk;
}

int getPtt(Context& c) {
    c.records.emplace_back("PTT", "0"); // a receiver never transmits
    return RigctlProtocol::kOk;
}

int getPowerstat(Context& c) {
    c.records.emplace_back("Power Status", c.target.receiverAnswering() ? "1" : "0");
    return RigctlProtocol::kOk;
}

// Nobody has locked the mode: the Hamlib client asks before it sets one.
int getLockMode(Context& c) {
    c.records.emplace_back("Locked", "0");
    return RigctlProtocol::kOk;
}

int checkVfo(Context& c) {
    c.records.emplace_back("ChkVFO", "0"); // no VFO argument before the others
    return RigctlProtocol::kOk;
}

const std::array<Command, 14>& commands() {
    static const std::array<Command, 14> table{{
        {'f', "get_freq", 0, getFreq},
        {'F', "set_freq", 1, setFreq},
        {'m', "get_mode", 0, getMode},
        {'M', "set_mode", 1, setMode},
        {'v', "get_vfo", 0, getVfo},
        {'V', "set_vfo", 1, setVfo},
        {'s', "get_split_vfo", 0, getSplitVfo},
        {'l', "get_level", 1, getLevel},
        {'t', "get_ptt", 0, getPtt},
        {0, "get_powerstat", 0, getPowerstat},
        {0, "chk_vfo", 0, checkVfo},
        {0, "get_lock_mode", 0, getLockMode},
        {0, "dump_state", 0, nullptr},
        {0, "quit", 0, nullptr},
    }};
    return table;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

Args splitArgs(std::string_view text) {
    Args args;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            args.push_back(text.substr(start, i - start));
    }
    return args;
}

// What a client sent, fit to be echoed back.
std::string printable(std::string_view text) {
    std::string out;
    for (char c : text)
        out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return out;
}

// A separator for the extended response form: a punctuation character
// other than the ones the protocol keeps for itself.
std::optional<char> extendedSeparator(char first) {
    if (!std::ispunct(static_cast<unsigned char>(first)) || first == '\\' || first == '?' ||
        first == '_' || first == '#')
        return std::nullopt;
    return first == '+' ? '\n' : first;
}

std::string report(int code) {
    return "RPRT " + std::to_string(code);
}

} // namespace

std::string RigctlProtocol::dumpState() const {
    std::uint32_t modes = 0;
    for (const ModeToken& m : kModes)
        if (target_.hasMode(m.mode))
            modes |= m.bit;
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%x", modes);
    std::string out = "1\n2\n0\n"; // protocol version, model, region
    out += std::to_string(kLowestHz) + ".000000 " + std::to_string(kHighestHz) + ".000000 " + mask +
           " -1 -1 0x1 0x0\n";
    out += "0 0 0 0 0 0 0\n"; // end of receive ranges
    out += "0 0 0 0 0 0 0\n"; // no transmit ranges
    for (std::uint32_t step : kStepsHz)
        out += std::string(mask) + " " + std::to_string(step) + "\n";
    out += "0 0\n";
    for (int hz : kIfBandwidthHz)
        out += std::string(mask) + " " + std::to_string(hz) + "\n";
    out += "0 0\n";
    out += "0\n0\n0\n0\n"; // RIT, XIT, IF shift, announcements
    out += "\n\n";         // no preamplifier, no attenuator steps
    char levels[24];
    std::snprintf(levels, sizeof levels, "0x%llx", static_cast<unsigned long long>(kLevelStrength));
    out += "0x0\n0x0\n" + std::string(levels) + "\n0x0\n0x0\n0x0\n"; // functions, levels, parms
    out += "vfo_ops=0x0\nptt_type=0x0\ndone\n";
    return out;
}

RigctlProtocol::Answer RigctlProtocol::handle(std::string_view line) {
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    if (line.empty())
        return {};
    std::optional<char> separator = extendedSeparator(line.front());
    if (separator)
        line.remove_prefix(1);
    if (line.empty())
        return {report(kNotAvailable) + "\n"};

    std::string_view name;
    std::string_view rest;
    const Command* command = nullptr;
    if (line.front() == '\\') {
        const std::size_t end = line.find_first_of(" \t");
        name = line.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
        rest = end == std::string_view::npos ? std::string_view() : line.substr(end);
        for (const Command& c : commands())
            if (c.longName == name)
                command = &c;
    } else {
        rest = line.substr(1);
        for (const Command& c : commands())
            if (c.shortName != 0 && c.shortName == line.front())
                command = &c;
        if (line.front() == 'q' || line.front() == 'Q')
            return {"", true};
    }
    const Args args = splitArgs(rest);

    auto finish = [&](std::string_view longName, int code, const Records& records,
                      const std::string& raw) {
        Answer answer;
        if (!separator) {
            if (code != kOk)
                return Answer{report(code) + "\n"};
            if (!raw.empty())
                return Answer{raw};
            for (const auto& r : records)
                answer.text += r.second + "\n";
            if (records.empty())
                answer.text = report(kOk) + "\n";
            return answer;
        }
        const char sep = *separator;
        answer.text = std::string(longName) + ":";
        for (std::string_view a : args)
            answer.text += " " + printable(a);
        answer.text += sep;
        if (code == kOk) {
            answer.text += raw;
            for (const auto& r : records)
                answer.text += r.first + ": " + r.second + sep;
        }
        answer.text += report(code) + "\n";
        return answer;
    };

    if (!command)
        return finish(printable(name.empty() ? line.substr(0, 1) : name), kNotAvailable, {}, {});
    if (command->longName == "quit")
        return {"", true};
    if (command->longName == "dump_state")
        return finish(command->longName, kOk, {}, dumpState());
    if (args.size() < command->argCount || args.size() > command->argCount + 1)
        return finish(command->longName, kInvalid, {}, {});
    Records records;
    Context context{target_, args, records, {}};
    const int code = command->run(context);
    return finish(command->longName, code, records, context.raw);
}

} // namespace kovo
