#include "app/HamlibTransport.h"

#include "app/HamlibFeatures.h"
#include "rig/ClosingRigs.h"
#include "rig/HamlibWorker.h"

#include <QMetaObject>
#include <QPointer>

#include <mutex>

namespace kovo {

// Carries the worker's news to the transport on the transport's thread, for
// as long as the transport wants it.
class HamlibTransport::Relay {
public:
    explicit Relay(HamlibTransport* target) : target_(target) {}

    void received(std::string text) {
        post([text = std::move(text)](HamlibTransport& t) {
            t.received_.append(text.data(), qsizetype(text.size()));
            Q_EMIT t.readyRead();
        });
    }
    // Posted before the radio's first answer, so the link finds the
    // features in place once the radio answers its probe.
    void opened(rig::RigCapabilities capabilities) {
        post([capabilities = std::move(capabilities)](HamlibTransport& t) {
            t.features_ = hamlibFeatures(capabilities);
        });
    }
    void readings(rig::RigReadings readings) {
        post([readings](HamlibTransport& t) { Q_EMIT t.readingsTaken(readings); });
    }
    void lost(std::string why) {
        post([why = std::move(why)](HamlibTransport& t) {
            t.close();
            Q_EMIT t.lost(QString::fromStdString(why));
        });
    }
    void detach() {
        std::lock_guard lock(mutex_);
        target_ = nullptr;
    }

private:
    template <typename Action> void post(Action action) {
        std::lock_guard lock(mutex_);
        if (!target_)
            return;
        HamlibTransport* target = target_;
        QMetaObject::invokeMethod(
            target,
            [guard = QPointer<HamlibTransport>(target), action = std::move(action)]() mutable {
                if (guard && guard->worker_)
                    action(*guard);
            },
            Qt::QueuedConnection);
    }

    std::mutex mutex_;
    HamlibTransport* target_;
};

HamlibTransport::HamlibTransport(const PortDescription& port, QObject* parent)
    : PortTransport(parent), port_(port) {}

HamlibTransport::~HamlibTransport() {
    close();
}

bool HamlibTransport::open(QString* error) {
    if (port_.hamlib.model <= 0) {
        if (error)
            *error = QStringLiteral("Hamlib has no radio model %1.").arg(port_.hamlib.model);
        return false;
    }
    close();
    rig::HamlibSettings settings;
    settings.model = port_.hamlib.model;
    settings.port = port_.path;
    settings.speed = port_.hamlib.speed;
    settings.thresholdDb = port_.hamlib.thresholdDb;
    settings.settleMs = port_.hamlib.settleMs;
    settings.useDcd = port_.hamlib.useDcd;
    relay_ = std::make_shared<Relay>(this);
    auto relay = relay_;
    worker_ = std::make_unique<rig::HamlibWorker>(
        settings, rig::HamlibWorker::Handlers{
                      [relay](std::string text) { relay->received(std::move(text)); },
                      [relay](std::string why) { relay->lost(std::move(why)); },
                      [relay](rig::RigCapabilities c) { relay->opened(std::move(c)); }});
    return true;
}

void HamlibTransport::close() {
    if (relay_)
        relay_->detach();
    relay_.reset();
    received_.clear();
    features_.reset();
    if (!worker_)
        return;
    // The worker may be inside a call that blocks for seconds; it finishes
    // and closes the radio on a thread of its own, which the program's exit
    // waits for.
    rig::closeInBackground(std::move(worker_));
}

QByteArray HamlibTransport::readAll() {
    QByteArray text;
    text.swap(received_);
    return text;
}

void HamlibTransport::write(const QByteArray& bytes) {
    if (worker_)
        worker_->write(bytes.toStdString());
}

void HamlibTransport::takeReadings() {
    if (worker_)
        worker_->takeReadings(
            [relay = relay_](rig::RigReadings readings) { relay->readings(readings); });
}

void HamlibTransport::clearOutput() {
    if (worker_)
        worker_->clearPending();
}

} // namespace kovo
