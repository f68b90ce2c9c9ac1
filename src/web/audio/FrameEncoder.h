#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace kovo::web {

// Turns a stream of 48 kHz mono samples into audio frames for the page (see
// AudioFrame.h), one form of encoding each.
class FrameEncoder {
public:
    virtual ~FrameEncoder() = default;
    // Empty when the encoder is ready, else why it is not.
    virtual QString error() const = 0;
    // Adds samples read at `captureMicros` and returns the frames they complete.
    virtual std::vector<QByteArray> push(std::span<const float> samples,
                                         std::int64_t captureMicros) = 0;
    // Starts a new stream: sequence 0, no samples held, fresh encoder state.
    virtual void reset() = 0;
};

} // namespace kovo::web
