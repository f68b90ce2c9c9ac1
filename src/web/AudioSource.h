#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace kovo::web {

// One live sound input shared by every listener of the web remote. The
// source captures and encodes once; each listener receives the same Opus
// frames (one frame per call) on the thread that owns the web server.
// Capture starts with the first listener and may stop after the last.
class AudioSource {
public:
    using ListenerId = std::uint64_t;
    using FrameHandler = std::function<void(const QByteArray& opusFrame)>;

    virtual ~AudioSource() = default;

    // False when no capture can run (no sound server, no encoder): the page
    // then tells the user that audio is not available.
    virtual bool isAvailable() const = 0;
    virtual void addListener(ListenerId id, FrameHandler onFrame) = 0;
    virtual void removeListener(ListenerId id) = 0;
};

} // namespace kovo::web
