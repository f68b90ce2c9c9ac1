#pragma once
#include "web/AudioSource.h"
#include "web/audio/FrameEncoder.h"
#include "web/audio/SoundCapture.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kovo::web {

// The web remote's one sound input: a single capture feeds every listener,
// with one encoder for each form someone listens in. The capture runs from
// the first listener to the last, an encoder from the first listener in its
// form to the last; frames reach the listeners on the thread that owns this
// object, in order.
class LiveSoundSource : public QObject, public AudioSource {
    Q_OBJECT
public:
    using EncoderFactory = std::function<std::unique_ptr<FrameEncoder>(AudioForm)>;

    // Captures the named PulseAudio source (empty: the server's default).
    explicit LiveSoundSource(const std::string& pulseSource, QObject* parent = nullptr);
    explicit LiveSoundSource(std::unique_ptr<SoundCapture> capture, QObject* parent = nullptr,
                             EncoderFactory makeEncoder = makeFrameEncoder);
    ~LiveSoundSource() override;

    static std::unique_ptr<FrameEncoder> makeFrameEncoder(AudioForm form);

    bool isAvailable() const override;
    void addListener(ListenerId id, AudioForm form, FrameHandler onFrame) override;
    void removeListener(ListenerId id) override;

    bool capturing() const { return capturing_; }
    bool encoding(AudioForm form) const { return encoders_.contains(form); }

signals:
    // Once for each distinct fault, until audio flows again or the capture
    // stops with the last listener.
    void captureFailed(const QString& message);

private:
    struct Listener {
        AudioForm form;
        FrameHandler onFrame;
    };
    // An encoder and the number of its stream: frames still queued from an
    // encoder that stopped never reach the listeners of a later one.
    struct Stream {
        std::unique_ptr<FrameEncoder> encoder;
        std::uint64_t serial = 0;
    };

    void startCapture();
    void stopCapture();
    void startEncoder(AudioForm form);
    void stopEncoderIfUnused(AudioForm form);
    void encode(std::span<const float> samples, std::int64_t captureMicros);
    void deliver(AudioForm form, std::uint64_t serial, const QByteArray& frame);
    void reportError(const QString& message);

    std::unique_ptr<SoundCapture> capture_;
    EncoderFactory makeEncoder_;
    // Written on this object's thread, read by the capture's thread.
    std::map<AudioForm, Stream> encoders_;
    std::mutex encodersMutex_;
    std::uint64_t nextSerial_ = 1;
    std::map<ListenerId, Listener> listeners_;
    bool capturing_ = false;
    QString reportedError_;
};

} // namespace kovo::web
