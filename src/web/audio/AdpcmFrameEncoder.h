#pragma once
#include "Decimator.h"
#include "FrameEncoder.h"
#include "ImaAdpcm.h"

namespace kovo::web {

// The form for a browser without WebCodecs (a phone on the house network
// over plain http): 48 kHz mono taken down to 12 kHz, then IMA ADPCM at
// 4 bits a sample, in frames of 20 ms. Each frame's payload is one ADPCM
// block (see ImaAdpcm.h), so a frame decodes without the ones before it.
// 20 ms: 13 + 3 + 120 bytes, 50 a second, 54.4 kbit/s; 56 with the
// socket's 4 bytes a frame.
class AdpcmFrameEncoder : public FrameEncoder {
public:
    static constexpr int kSampleRate = 12000;
    static constexpr int kFrameSamples = kSampleRate / 50;

    QString error() const override { return {}; }
    std::vector<QByteArray> push(std::span<const float> samples,
                                 std::int64_t captureMicros) override;
    void reset() override;

private:
    Decimator decimator_;
    std::vector<float> decimated_;
    std::vector<std::int16_t> pending_;
    ImaAdpcmState state_;
    std::uint32_t sequence_ = 0;
};

} // namespace kovo::web
