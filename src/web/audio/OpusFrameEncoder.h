#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

struct OpusEncoder;

namespace kovo::web {

// Turns a stream of 48 kHz mono samples into Opus packets of 10 ms, each
// wrapped as an audio frame for the page (see AudioFrame.h). Short frames
// keep the delay to the listener small; the bit rate stays far below what
// a phone on a house network can carry.
class OpusFrameEncoder {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kFrameSamples = kSampleRate / 100;
    static constexpr int kDefaultBitrate = 24000;

    explicit OpusFrameEncoder(int bitrate = kDefaultBitrate);
    ~OpusFrameEncoder();
    OpusFrameEncoder(const OpusFrameEncoder&) = delete;
    OpusFrameEncoder& operator=(const OpusFrameEncoder&) = delete;

    // Empty when the encoder is ready, else why it is not.
    QString error() const { return error_; }

    // Adds samples read at `captureMicros` and returns the frames they complete.
    std::vector<QByteArray> push(std::span<const float> samples, std::int64_t captureMicros);
    // Starts a new stream: sequence 0, no samples held, fresh encoder state.
    void reset();

private:
    QByteArray encodePending(std::int64_t captureMicros);

    OpusEncoder* encoder_ = nullptr;
    QString error_;
    std::vector<float> pending_;
    std::uint32_t sequence_ = 0;
};

} // namespace kovo::web
