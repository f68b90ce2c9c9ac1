#include "SignalPlan.h"

#include "FrequencyText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kovo::sim {

namespace {

struct PlanMode {
    std::string_view name;
    std::uint32_t toleranceHz;
};

// Tolerances are half a typical channel: close enough to hear a signal on its
// channel, narrow enough that the neighbouring channel stays quiet.
constexpr PlanMode kPlanModes[] = {
    {"NFM", 5000}, {"WFM", 80000}, {"AM", 4000},  {"LSB", 1500}, {"USB", 1500},
    {"CW", 1000},  {"SAM", 4000},  {"SAL", 4000}, {"SAH", 4000},
};

constexpr int kHighestLevel = 25;
constexpr std::int64_t kLongestPeriodMs = 24LL * 3600 * 1000;
constexpr std::uintmax_t kLargestPlanFile = 1 << 20;

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool parseCount(std::string_view s, std::int64_t limit, std::int64_t* value) {
    if (s.empty() || s.size() > 12)
        return false;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v > limit)
        return false;
    *value = v;
    return true;
}

int parseMode(std::string_view word) {
    const std::string name = upperAscii(word);
    for (std::size_t i = 0; i < std::size(kPlanModes); ++i)
        if (kPlanModes[i].name == name)
            return int(i);
    return -1;
}

// A level is a number 0-25 or the report letter A-Z.
int parseLevel(std::string_view word) {
    if (word.size() == 1 && word[0] >= 'A' && word[0] <= 'Z')
        return word[0] - 'A';
    std::int64_t v = 0;
    if (!parseCount(word, kHighestLevel, &v))
        return -1;
    return int(v);
}

// Applies one key=value option; returns an error text or "".
std::string applyOption(std::string_view word, PlannedSignal* s, bool* sawOn, bool* sawOff) {
    const auto eq = word.find('=');
    if (eq == std::string_view::npos)
        return "unknown word \"" + std::string(word) + "\"";
    const std::string key = upperAscii(word.substr(0, eq));
    const std::string_view value = word.substr(eq + 1);
    std::int64_t v = 0;
    if (key == "ON" || key == "OFF" || key == "PHASE") {
        if (!parseCount(value, kLongestPeriodMs, &v))
            return key + " needs milliseconds from 0 to 86400000";
        if (key == "ON") {
            s->onMs = v;
            *sawOn = true;
        } else if (key == "OFF") {
            s->offMs = v;
            *sawOff = true;
        } else {
            s->phaseMs = v;
        }
        return "";
    }
    if (key == "TOL") {
        if (!parseCount(value, 10000000, &v) || v == 0)
            return "tol needs hertz from 1 to 10000000";
        s->toleranceHz = std::uint32_t(v);
        return "";
    }
    return "unknown option \"" + std::string(word) + "\"";
}

// Reads one non-empty, non-comment line; returns an error text or "".
std::string parseLine(std::string_view line, PlannedSignal* s) {
    const auto words = splitWords(line);
    if (words.size() < 3)
        return "expected: frequency mode level [options]";
    std::uint32_t hz = 0;
    if (!parseMegahertz(words[0], &hz) || hz < kLowestHz || hz > kHighestHz)
        return "bad frequency \"" + std::string(words[0]) + "\" (MHz, 0.1 to 2040)";
    s->frequencyHz = hz;
    s->mode = parseMode(words[1]);
    if (s->mode < 0)
        return "bad mode \"" + std::string(words[1]) + "\"";
    s->toleranceHz = defaultToleranceHz(s->mode);
    s->level = parseLevel(words[2]);
    if (s->level < 0)
        return "bad level \"" + std::string(words[2]) + "\" (0 to 25 or A to Z)";
    bool sawOn = false, sawOff = false;
    for (std::size_t i = 3; i < words.size(); ++i) {
        std::string err = applyOption(words[i], s, &sawOn, &sawOff);
        if (!err.empty())
            return err;
    }
    if (sawOn != sawOff)
        return "on= and off= go together";
    if (sawOn && (s->onMs == 0 || s->offMs == 0))
        return "on= and off= must both be above 0";
    return "";
}

std::string_view stripComment(std::string_view line) {
    const auto hash = line.find('#');
    if (hash != std::string_view::npos)
        line = line.substr(0, hash);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

constexpr std::string_view kDemoPlan =
    R"(# Built-in demo plan: MHz  mode  level  [on=ms off=ms phase=ms tol=Hz]
# Air band (AM)
118.100  AM  9  on=4000 off=11000
119.700  AM  6  on=2500 off=9000 phase=3000
121.500  AM  3  on=1500 off=40000 phase=20000
124.350  AM 11  on=5000 off=7000 phase=1000
127.850  AM  8  on=3000 off=6000 phase=4500
132.025  AM  5  on=2000 off=13000 phase=7000
135.650  AM 12  on=6000 off=9000 phase=2000
# 2 m amateur band (NFM)
144.800 NFM 10  on=600 off=9400
145.500 NFM 12  on=3000 off=5000
145.525 NFM  7  on=8000 off=14000 phase=6000
145.600 NFM 15  on=9000 off=6000 phase=2500
145.7875 NFM 5  on=4000 off=16000 phase=9000
# 70 cm ISM / amateur (NFM)
433.425 NFM  8  on=5000 off=10000 phase=4000
433.500 NFM 13  on=7000 off=8000
433.920 NFM 18  on=400 off=2600 phase=1200
434.050 NFM  4  on=2000 off=20000 phase=11000
# FM broadcast (WFM), on the air all the time
 88.500 WFM 14
 91.300 WFM 20
 94.000 WFM  9
 97.600 WFM 22
100.200 WFM 16
104.500 WFM 11
107.100 WFM  6
)";

} // namespace

bool PlannedSignal::onAirAt(std::int64_t ms) const {
    if (onMs <= 0 || offMs <= 0)
        return true;
    const std::int64_t period = onMs + offMs;
    std::int64_t t = (ms + phaseMs) % period;
    if (t < 0)
        t += period;
    return t < onMs;
}

bool PlannedSignal::covers(std::uint32_t hz) const {
    const std::uint32_t distance = hz > frequencyHz ? hz - frequencyHz : frequencyHz - hz;
    return distance <= toleranceHz;
}

const std::vector<std::string_view>& planModeNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> v;
        for (const auto& m : kPlanModes)
            v.push_back(m.name);
        return v;
    }();
    return names;
}

std::uint32_t defaultToleranceHz(int planMode) {
    if (planMode < 0 || std::size_t(planMode) >= std::size(kPlanModes))
        return kPlanModes[0].toleranceHz;
    return kPlanModes[planMode].toleranceHz;
}

SignalPlan SignalPlan::parse(std::string_view text, std::vector<std::string>* errors) {
    SignalPlan plan;
    int lineNumber = 0;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        ++lineNumber;
        line = stripComment(line);
        if (splitWords(line).empty())
            continue;
        PlannedSignal signal;
        const std::string err = parseLine(line, &signal);
        if (err.empty())
            plan.add(signal);
        else if (errors)
            errors->push_back("line " + std::to_string(lineNumber) + ": " + err);
    }
    return plan;
}

bool SignalPlan::load(const std::string& path, SignalPlan* plan, std::vector<std::string>* errors) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errors)
            errors->push_back(path + ": " + std::strerror(errno));
        return false;
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, std::size_t(in.gcount()));
        if (text.size() > kLargestPlanFile) {
            if (errors)
                errors->push_back(path + ": larger than 1 MiB, not a plan");
            return false;
        }
    }
    *plan = parse(text, errors);
    return true;
}

SignalPlan SignalPlan::demo() {
    return parse(kDemoPlan, nullptr);
}

std::string_view SignalPlan::demoText() {
    return kDemoPlan;
}

int SignalPlan::levelAt(std::uint32_t hz, std::int64_t ms) const {
    int level = -1;
    for (const auto& s : signals_)
        if (s.covers(hz) && s.onAirAt(ms))
            level = std::max(level, s.level);
    return level;
}

} // namespace kovo::sim
