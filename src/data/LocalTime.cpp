#include "LocalTime.h"

#include <ctime>

namespace kovo {

LocalTime toLocalTime(std::int64_t secondsSince1970) {
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    if (localtime_r(&t, &parts) == nullptr)
        return {};
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

} // namespace kovo
