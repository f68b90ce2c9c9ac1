#pragma once
#include <cstdint>

namespace kovo {

// A stored time value broken down in local time (the TZ of the process).
struct LocalTime {
    int year = 1970; // full year
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalTime toLocalTime(std::int64_t secondsSince1970);

} // namespace kovo
