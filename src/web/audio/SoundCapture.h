#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kovo::web {

// A sound input delivering 48 kHz mono float samples. Both callbacks may run
// on a thread of the capture's own; `onError` says in words why no audio
// comes (it may repeat while the input stays unavailable).
class SoundCapture {
public:
    using BlockHandler = std::function<void(std::span<const float>, std::int64_t captureMicros)>;
    using ErrorHandler = std::function<void(const std::string& message)>;

    virtual ~SoundCapture() = default;
    virtual void start(BlockHandler onBlock, ErrorHandler onError) = 0;
    // Returns once no callback runs any more.
    virtual void stop() = 0;
};

} // namespace kovo::web
