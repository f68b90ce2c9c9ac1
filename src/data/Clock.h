#pragma once
#include <cstdint>
#include <ctime>

namespace kovo {

// Where "now" comes from. The program uses the system clock; tests use a manual one.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t nowSeconds() const = 0;
    // Milliseconds since 1970-01-01 00:00 UTC (same time base as nowSeconds).
    virtual std::int64_t nowMilliseconds() const = 0;
};

class SystemClock final : public Clock {
public:
    std::int64_t nowSeconds() const override { return nowMilliseconds() / 1000; }
    std::int64_t nowMilliseconds() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};

// A clock that only moves when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::int64_t startMs = 0) : ms_(startMs) {}
    std::int64_t nowSeconds() const override { return ms_ / 1000; }
    std::int64_t nowMilliseconds() const override { return ms_; }
    void setMilliseconds(std::int64_t ms) { ms_ = ms; }
    void advance(std::int64_t ms) { ms_ += ms; }

private:
    std::int64_t ms_;
};

} // namespace kovo
