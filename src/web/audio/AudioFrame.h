#pragma once
#include <QByteArray>

#include <cstdint>
#include <optional>
#include <span>

namespace kovo::web {

// One encoded audio frame as it travels to the page in a binary WebSocket
// message. All numbers are big-endian (a DataView's default):
//   byte 0       type: 0x01 Opus, 0x02 IMA ADPCM
//   bytes 1..4   sequence number, counting from 0 when the encoder starts
//   bytes 5..12  capture time: microseconds since the Unix epoch at which
//                the frame's last sample was read from the sound server
//   bytes 13..   the payload: one Opus packet (48 kHz, mono), or one ADPCM
//                block (see AdpcmFrameEncoder.h)
// The sequence lets the page put frames in order and notice gaps; the
// capture time lets it measure how far it plays behind the input.
inline constexpr unsigned char kOpusFrameType = 0x01;
inline constexpr unsigned char kAdpcmFrameType = 0x02;
inline constexpr int kAudioFrameHeaderSize = 13;

struct AudioFrame {
    unsigned char type = kOpusFrameType;
    std::uint32_t sequence = 0;
    std::int64_t captureMicros = 0;
    QByteArray payload;
};

QByteArray packAudioFrame(std::uint32_t sequence, std::int64_t captureMicros,
                          std::span<const unsigned char> payload,
                          unsigned char type = kOpusFrameType);
// Nothing when the message is too short or not an audio frame of a known type.
std::optional<AudioFrame> unpackAudioFrame(const QByteArray& message);

} // namespace kovo::web
