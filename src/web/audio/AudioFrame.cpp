#include "AudioFrame.h"

#include <QtEndian>

namespace kovo::web {

QByteArray packAudioFrame(std::uint32_t sequence, std::int64_t captureMicros,
                          std::span<const unsigned char> opus) {
    QByteArray message(kAudioFrameHeaderSize + qsizetype(opus.size()), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(message.data());
    out[0] = kOpusFrameType;
    qToBigEndian<quint32>(sequence, out + 1);
    qToBigEndian<qint64>(captureMicros, out + 5);
    std::copy(opus.begin(), opus.end(), out + kAudioFrameHeaderSize);
    return message;
}

std::optional<AudioFrame> unpackAudioFrame(const QByteArray& message) {
    if (message.size() <= kAudioFrameHeaderSize ||
        static_cast<unsigned char>(message[0]) != kOpusFrameType)
        return std::nullopt;
    const auto* in = reinterpret_cast<const unsigned char*>(message.constData());
    AudioFrame frame;
    frame.sequence = qFromBigEndian<quint32>(in + 1);
    frame.captureMicros = qFromBigEndian<qint64>(in + 5);
    frame.opus = message.mid(kAudioFrameHeaderSize);
    return frame;
}

} // namespace kovo::web
