#include "OpusFrameEncoder.h"

#include "AudioFrame.h"

#include <opus/opus.h>

#include <array>

namespace kovo::web {

namespace {
// Larger than any 10 ms packet at the rates used here.
constexpr int kMaxPacketBytes = 1500;
} // namespace

OpusFrameEncoder::OpusFrameEncoder(int bitrate) {
    int status = OPUS_OK;
    encoder_ = opus_encoder_create(kSampleRate, 1, OPUS_APPLICATION_AUDIO, &status);
    if (status != OPUS_OK || !encoder_) {
        error_ = QStringLiteral("The Opus encoder cannot start: %1")
                     .arg(QString::fromUtf8(opus_strerror(status)));
        encoder_ = nullptr;
        return;
    }
    opus_encoder_ctl(encoder_, OPUS_SET_BITRATE(bitrate));
    opus_encoder_ctl(encoder_, OPUS_SET_SIGNAL(OPUS_AUTO));
    pending_.reserve(kFrameSamples);
}

OpusFrameEncoder::~OpusFrameEncoder() {
    if (encoder_)
        opus_encoder_destroy(encoder_);
}

void OpusFrameEncoder::reset() {
    pending_.clear();
    sequence_ = 0;
    if (encoder_)
        opus_encoder_ctl(encoder_, OPUS_RESET_STATE);
}

std::vector<QByteArray> OpusFrameEncoder::push(std::span<const float> samples,
                                               std::int64_t captureMicros) {
    std::vector<QByteArray> frames;
    if (!encoder_)
        return frames;
    while (!samples.empty()) {
        const std::size_t room = kFrameSamples - pending_.size();
        const std::size_t n = std::min(room, samples.size());
        pending_.insert(pending_.end(), samples.begin(), samples.begin() + std::ptrdiff_t(n));
        samples = samples.subspan(n);
        if (pending_.size() == std::size_t(kFrameSamples)) {
            QByteArray frame = encodePending(captureMicros);
            if (!frame.isEmpty())
                frames.push_back(std::move(frame));
        }
    }
    return frames;
}

QByteArray OpusFrameEncoder::encodePending(std::int64_t captureMicros) {
    std::array<unsigned char, kMaxPacketBytes> packet{};
    const opus_int32 size = opus_encode_float(encoder_, pending_.data(), kFrameSamples,
                                              packet.data(), opus_int32(packet.size()));
    pending_.clear();
    if (size <= 0)
        return {};
    return packAudioFrame(sequence_++, captureMicros, std::span(packet.data(), std::size_t(size)));
}

} // namespace kovo::web
