#include "AudioFrame.h"

#include <QtEndian>

namespace kovo::web {

QByteArray packAudioFrame(std::uint32_t sequence, std::int64_t captureMicros,
                          std::span<const unsigned char> payload, unsigned char type) {
    QByteArray message(kAudioFrameHeaderSize + qsizetype(payload.size()), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(message.data());
    out[0] = type;
    qToBigEndian<quint32>(sequence, out + 1);
    qToBigEndian<qint64>(captureMicros, out + 5);
    std::copy(payload.begin(), payload.end(), out + kAudioFrameHeaderSize);
    return message;
}

std::optional<AudioFrame> unpackAudioFrame(const QByteArray& message) {
    if (message.size() <= kAudioFrameHeaderSize)
        return std::nullopt;
    const auto type = static_cast<unsigned char>(message[0]);
    if (type != kOpusFrameType && type != kAdpcmFrameType)
        return std::nullopt;
    const auto* in = reinterpret_cast<const unsigned char*>(message.constData());
    AudioFrame frame;
    frame.type = type;
    frame.sequence = qFromBigEndian<quint32>(in + 1);
    frame.captureMicros = qFromBigEndian<qint64>(in + 5);
    frame.payload = message.mid(kAudioFrameHeaderSize);
    return frame;
}

} // namespace kovo::web
