#include "RecordingName.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>

namespace kovo::recorder {
namespace {

constexpr std::array<std::string_view, 2> kExtensions{".flac", ".opus"};

bool utcOf(std::int64_t time, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(time);
    return ::gmtime_r(&t, &out) != nullptr;
}

template <typename T> bool readNumber(std::string_view text, T& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string recordingBaseName(const RecordingKey& key) {
    std::tm utc{};
    utcOf(key.time, utc);
    char name[96];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02dZ_%u.%06uMHz", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  unsigned(key.frequencyHz / 1000000), unsigned(key.frequencyHz % 1000000));
    return name;
}

std::string uniqueRecordingName(const RecordingKey& key, std::string_view extension,
                                const std::function<bool(const std::string&)>& taken) {
    const std::string base = recordingBaseName(key);
    std::string name = base + std::string(extension);
    for (int n = 2; taken(name); ++n)
        name = base + "-" + std::to_string(n) + std::string(extension);
    return name;
}

bool isRecordingFile(std::string_view fileName) {
    for (std::string_view ext : kExtensions)
        if (fileName.size() > ext.size() && fileName.ends_with(ext))
            return true;
    return false;
}

std::optional<RecordingKey> parseRecordingName(std::string_view name) {
    if (!isRecordingFile(name))
        return std::nullopt;
    name = name.substr(0, name.rfind('.'));
    // yyyymmdd-hhmmssZ_MMMM.kkkkkkMHz[-n]
    if (name.size() < 28 || name[8] != '-' || name.substr(15, 2) != "Z_")
        return std::nullopt;
    const std::size_t mhz = name.find("MHz", 17);
    if (mhz == std::string_view::npos)
        return std::nullopt;
    const std::string_view suffix = name.substr(mhz + 3);
    int copy = 0;
    if (!suffix.empty() && (suffix[0] != '-' || !readNumber(suffix.substr(1), copy) || copy < 2))
        return std::nullopt;
    const std::string_view frequency = name.substr(17, mhz - 17);
    const std::size_t dot = frequency.find('.');
    std::tm utc{};
    unsigned megahertz = 0, hertz = 0;
    if (dot == std::string_view::npos || frequency.size() - dot != 7 ||
        !readNumber(frequency.substr(0, dot), megahertz) ||
        !readNumber(frequency.substr(dot + 1), hertz) || megahertz > 4294 ||
        !readNumber(name.substr(0, 4), utc.tm_year) || !readNumber(name.substr(4, 2), utc.tm_mon) ||
        !readNumber(name.substr(6, 2), utc.tm_mday) ||
        !readNumber(name.substr(9, 2), utc.tm_hour) ||
        !readNumber(name.substr(11, 2), utc.tm_min) || !readNumber(name.substr(13, 2), utc.tm_sec))
        return std::nullopt;
    const std::uint64_t hz = std::uint64_t(megahertz) * 1000000 + hertz;
    if (hz > UINT32_MAX)
        return std::nullopt;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    RecordingKey key{std::uint32_t(hz), std::int64_t(::timegm(&utc))};
    // Only a name that prints back the same way is one of ours.
    if (recordingBaseName(key) != name.substr(0, mhz + 3))
        return std::nullopt;
    return key;
}

std::string frequencyText(std::uint32_t frequencyHz) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%06u MHz", unsigned(frequencyHz / 1000000),
                  unsigned(frequencyHz % 1000000));
    return text;
}

std::string isoTime(std::int64_t time) {
    std::tm utc{};
    utcOf(time, utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

} // namespace kovo::recorder
