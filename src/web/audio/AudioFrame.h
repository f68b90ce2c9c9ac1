#pragma once
#include <QByteArray>

#include <cstdint>
#include <optional>
#include <span>

namespace kovo::web {

// One encoded audio frame as it travels to the page in a binary WebSocket
// message. All numbers are big-endian (a DataView's default):
//   byte 0       type, 0x01 for Opus audio
//   bytes 1..4   sequence number, counting from 0 when the capture starts
//   bytes 5..12  capture time: microseconds since the Unix epoch at which
//                the frame's last sample was read from the sound server
//   bytes 13..   one Opus packet (48 kHz, mono)
// The sequence lets the page put frames in order and notice gaps; the
// capture time lets it measure how far it plays behind the input.
inline constexpr unsigned char kOpusFrameType = 0x01;
inline constexpr int kAudioFrameHeaderSize = 13;

struct AudioFrame {
    std::uint32_t sequence = 0;
    std::int64_t captureMicros = 0;
    QByteArray opus;
};

QByteArray packAudioFrame(std::uint32_t sequence, std::int64_t captureMicros,
                          std::span<const unsigned char> opus);
// Nothing when the message is too short or not an audio frame.
std::optional<AudioFrame> unpackAudioFrame(const QByteArray& message);

} // namespace kovo::web
