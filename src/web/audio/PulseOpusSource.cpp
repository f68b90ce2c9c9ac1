#include "PulseOpusSource.h"

#include "PulseCapture.h"

namespace kovo::web {

PulseOpusSource::PulseOpusSource(const std::string& pulseSource, QObject* parent)
    : PulseOpusSource(std::make_unique<PulseCapture>(pulseSource), parent) {}

PulseOpusSource::PulseOpusSource(std::unique_ptr<SoundCapture> capture, QObject* parent)
    : QObject(parent), capture_(std::move(capture)) {}

PulseOpusSource::~PulseOpusSource() {
    stopCapture();
}

bool PulseOpusSource::isAvailable() const {
    return encoder_.error().isEmpty() && reportedError_.isEmpty();
}

void PulseOpusSource::addListener(ListenerId id, FrameHandler onFrame) {
    listeners_[id] = std::move(onFrame);
    if (!capturing_)
        startCapture();
}

void PulseOpusSource::removeListener(ListenerId id) {
    listeners_.erase(id);
    if (listeners_.empty())
        stopCapture();
}

void PulseOpusSource::startCapture() {
    if (!encoder_.error().isEmpty()) {
        reportError(encoder_.error());
        return;
    }
    encoder_.reset();
    capturing_ = true;
    // The capture's thread encodes; each frame and fault crosses to this
    // object's thread, so listeners never see two calls at once.
    capture_->start(
        [this](std::span<const float> samples, std::int64_t captureMicros) {
            for (QByteArray& frame : encoder_.push(samples, captureMicros))
                QMetaObject::invokeMethod(
                    this, [this, frame = std::move(frame)] { deliver(frame); },
                    Qt::QueuedConnection);
        },
        [this](const std::string& message) {
            QMetaObject::invokeMethod(
                this, [this, text = QString::fromStdString(message)] { reportError(text); },
                Qt::QueuedConnection);
        });
}

void PulseOpusSource::stopCapture() {
    if (!capturing_)
        return;
    capture_->stop();
    capturing_ = false;
    // The next listener tries the input afresh (it may be back by then)
    // and hears of a fault that is still there.
    reportedError_.clear();
}

void PulseOpusSource::deliver(const QByteArray& frame) {
    reportedError_.clear();
    // A listener may leave while hearing a frame: walk a copy of the ids.
    std::vector<ListenerId> ids;
    for (const auto& entry : listeners_)
        ids.push_back(entry.first);
    for (ListenerId id : ids)
        if (auto it = listeners_.find(id); it != listeners_.end())
            it->second(frame);
}

void PulseOpusSource::reportError(const QString& message) {
    if (message == reportedError_)
        return;
    reportedError_ = message;
    emit captureFailed(message);
}

} // namespace kovo::web
