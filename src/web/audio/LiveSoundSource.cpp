#include "LiveSoundSource.h"

#include "AdpcmFrameEncoder.h"
#include "OpusFrameEncoder.h"
#include "PulseCapture.h"

#include <algorithm>
#include <tuple>

namespace kovo::web {

LiveSoundSource::LiveSoundSource(const std::string& pulseSource, QObject* parent)
    : LiveSoundSource(std::make_unique<PulseCapture>(pulseSource), parent) {}

LiveSoundSource::LiveSoundSource(std::unique_ptr<SoundCapture> capture, QObject* parent,
                                 EncoderFactory makeEncoder)
    : QObject(parent), capture_(std::move(capture)), makeEncoder_(std::move(makeEncoder)) {}

LiveSoundSource::~LiveSoundSource() {
    stopCapture();
}

std::unique_ptr<FrameEncoder> LiveSoundSource::makeFrameEncoder(AudioForm form) {
    if (form == AudioForm::Adpcm)
        return std::make_unique<AdpcmFrameEncoder>();
    return std::make_unique<OpusFrameEncoder>();
}

bool LiveSoundSource::isAvailable() const {
    return reportedError_.isEmpty();
}

void LiveSoundSource::addListener(ListenerId id, AudioForm form, FrameHandler onFrame) {
    const auto old = listeners_.find(id);
    const bool formChanged = old != listeners_.end() && old->second.form != form;
    const AudioForm oldForm = formChanged ? old->second.form : form;
    listeners_[id] = Listener{form, std::move(onFrame)};
    if (formChanged)
        stopEncoderIfUnused(oldForm);
    if (!encoders_.contains(form))
        startEncoder(form);
    if (!capturing_)
        startCapture();
}

void LiveSoundSource::removeListener(ListenerId id) {
    const auto it = listeners_.find(id);
    if (it == listeners_.end())
        return;
    const AudioForm form = it->second.form;
    listeners_.erase(it);
    stopEncoderIfUnused(form);
    if (listeners_.empty())
        stopCapture();
}

void LiveSoundSource::startEncoder(AudioForm form) {
    auto encoder = makeEncoder_(form);
    if (!encoder->error().isEmpty()) {
        reportError(encoder->error());
        return;
    }
    const std::lock_guard lock(encodersMutex_);
    encoders_[form] = Stream{std::move(encoder), nextSerial_++};
}

void LiveSoundSource::stopEncoderIfUnused(AudioForm form) {
    const bool used = std::any_of(listeners_.begin(), listeners_.end(),
                                  [form](const auto& entry) { return entry.second.form == form; });
    if (used)
        return;
    const std::lock_guard lock(encodersMutex_);
    encoders_.erase(form);
}

void LiveSoundSource::startCapture() {
    capturing_ = true;
    // The capture's thread encodes; each frame and fault crosses to this
    // object's thread, so listeners never see two calls at once.
    capture_->start([this](std::span<const float> samples,
                           std::int64_t captureMicros) { encode(samples, captureMicros); },
                    [this](const std::string& message) {
                        QMetaObject::invokeMethod(
                            this,
                            [this, text = QString::fromStdString(message)] { reportError(text); },
                            Qt::QueuedConnection);
                    });
}

// On the capture's thread.
void LiveSoundSource::encode(std::span<const float> samples, std::int64_t captureMicros) {
    std::vector<std::tuple<AudioForm, std::uint64_t, QByteArray>> frames;
    {
        const std::lock_guard lock(encodersMutex_);
        for (auto& [form, stream] : encoders_)
            for (QByteArray& frame : stream.encoder->push(samples, captureMicros))
                frames.emplace_back(form, stream.serial, std::move(frame));
    }
    for (auto& [form, serial, frame] : frames)
        QMetaObject::invokeMethod(
            this, [this, form, serial, frame = std::move(frame)] { deliver(form, serial, frame); },
            Qt::QueuedConnection);
}

void LiveSoundSource::stopCapture() {
    if (!capturing_)
        return;
    capture_->stop();
    capturing_ = false;
    // The next listener tries the input afresh (it may be back by then)
    // and hears of a fault that is still there.
    reportedError_.clear();
}

void LiveSoundSource::deliver(AudioForm form, std::uint64_t serial, const QByteArray& frame) {
    const auto stream = encoders_.find(form);
    if (stream == encoders_.end() || stream->second.serial != serial)
        return;
    reportedError_.clear();
    // A listener may leave while hearing a frame: walk a copy of the ids.
    std::vector<ListenerId> ids;
    for (const auto& [id, listener] : listeners_)
        if (listener.form == form)
            ids.push_back(id);
    for (ListenerId id : ids)
        if (auto it = listeners_.find(id); it != listeners_.end() && it->second.form == form)
            it->second.onFrame(frame);
}

void LiveSoundSource::reportError(const QString& message) {
    if (message == reportedError_)
        return;
    reportedError_ = message;
    emit captureFailed(message);
}

} // namespace kovo::web
