#include "AdpcmFrameEncoder.h"

#include "AudioFrame.h"

#include <algorithm>
#include <cmath>

namespace kovo::web {

namespace {
std::int16_t toPcm16(float sample) {
    return static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}
} // namespace

void AdpcmFrameEncoder::reset() {
    decimator_.reset();
    decimated_.clear();
    pending_.clear();
    state_ = {};
    sequence_ = 0;
}

std::vector<QByteArray> AdpcmFrameEncoder::push(std::span<const float> samples,
                                                std::int64_t captureMicros) {
    std::vector<QByteArray> frames;
    decimated_.clear();
    decimator_.push(samples, decimated_);
    for (float sample : decimated_) {
        pending_.push_back(toPcm16(sample));
        if (pending_.size() < std::size_t(kFrameSamples))
            continue;
        const auto block = encodeImaAdpcmBlock(pending_, state_);
        pending_.clear();
        frames.push_back(packAudioFrame(sequence_++, captureMicros, block, kAdpcmFrameType));
    }
    return frames;
}

} // namespace kovo::web
