#pragma once

#include "web/AudioForm.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace kovo::web {

// One live sound input shared by every listener of the web remote. The
// source captures once and encodes once for each form in use; each listener
// receives the frames of its form (one frame per call) on the thread that
// owns the web server. Capture starts with the first listener and may stop
// after the last.
class AudioSource {
public:
    using ListenerId = std::uint64_t;
    using FrameHandler = std::function<void(const QByteArray& frame)>;

    virtual ~AudioSource() = default;

    // False when no capture can run (no sound server, no encoder): the page
    // then tells the user that audio is not available.
    virtual bool isAvailable() const = 0;
    virtual void addListener(ListenerId id, AudioForm form, FrameHandler onFrame) = 0;
    virtual void removeListener(ListenerId id) = 0;
};

} // namespace kovo::web
