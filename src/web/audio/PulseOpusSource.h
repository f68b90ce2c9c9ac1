#pragma once
#include "web/AudioSource.h"
#include "web/audio/OpusFrameEncoder.h"
#include "web/audio/SoundCapture.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <string>

namespace kovo::web {

// The web remote's one sound input: a single capture and Opus encoder feed
// every listener. The capture runs from the first listener to the last;
// frames reach the listeners on the thread that owns this object, in order.
class PulseOpusSource : public QObject, public AudioSource {
    Q_OBJECT
public:
    // Captures the named PulseAudio source (empty: the server's default).
    explicit PulseOpusSource(const std::string& pulseSource, QObject* parent = nullptr);
    explicit PulseOpusSource(std::unique_ptr<SoundCapture> capture, QObject* parent = nullptr);
    ~PulseOpusSource() override;

    bool isAvailable() const override;
    void addListener(ListenerId id, FrameHandler onFrame) override;
    void removeListener(ListenerId id) override;

    bool capturing() const { return capturing_; }

signals:
    // Once for each distinct fault, until audio flows again or the capture
    // stops with the last listener.
    void captureFailed(const QString& message);

private:
    void startCapture();
    void stopCapture();
    void deliver(const QByteArray& frame);
    void reportError(const QString& message);

    std::unique_ptr<SoundCapture> capture_;
    OpusFrameEncoder encoder_;
    std::map<ListenerId, FrameHandler> listeners_;
    bool capturing_ = false;
    QString reportedError_;
};

} // namespace kovo::web
