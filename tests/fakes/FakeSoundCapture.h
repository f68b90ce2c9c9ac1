#pragma once
#include "web/audio/SoundCapture.h"

#include <string>

namespace kovo::test {

// A sound input the test feeds by hand, on the test's own thread.
class FakeSoundCapture : public web::SoundCapture {
public:
    struct Counts {
        int starts = 0;
        int stops = 0;
        bool running = false;
    };
    // The counts stay readable after the source that owns the fake is gone.
    explicit FakeSoundCapture(Counts& counts) : counts_(counts) {}

    void start(BlockHandler onBlock, ErrorHandler onError) override {
        ++counts_.starts;
        counts_.running = true;
        onBlock_ = std::move(onBlock);
        onError_ = std::move(onError);
    }
    void stop() override {
        if (counts_.running)
            ++counts_.stops;
        counts_.running = false;
    }

    void feed(std::span<const float> samples, std::int64_t captureMicros) {
        if (counts_.running)
            onBlock_(samples, captureMicros);
    }
    void fail(const std::string& message) {
        if (counts_.running)
            onError_(message);
    }

private:
    Counts& counts_;
    BlockHandler onBlock_;
    ErrorHandler onError_;
};

} // namespace kovo::test
