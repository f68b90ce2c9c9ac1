#pragma once
#include "FrameEncoder.h"

struct OpusEncoder;

namespace kovo::web {

// Turns a stream of 48 kHz mono samples into Opus packets of 10 ms, each
// wrapped as an audio frame for the page (see AudioFrame.h). Short frames
// keep the delay to the listener small; the bit rate stays far below what
// a phone on a house network can carry.
class OpusFrameEncoder : public FrameEncoder {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kFrameSamples = kSampleRate / 100;
    static constexpr int kDefaultBitrate = 24000;

    explicit OpusFrameEncoder(int bitrate = kDefaultBitrate);
    ~OpusFrameEncoder() override;
    OpusFrameEncoder(const OpusFrameEncoder&) = delete;
    OpusFrameEncoder& operator=(const OpusFrameEncoder&) = delete;

    QString error() const override { return error_; }
    std::vector<QByteArray> push(std::span<const float> samples,
                                 std::int64_t captureMicros) override;
    void reset() override;

private:
    QByteArray encodePending(std::int64_t captureMicros);

    OpusEncoder* encoder_ = nullptr;
    QString error_;
    std::vector<float> pending_;
    std::uint32_t sequence_ = 0;
};

} // namespace kovo::web
