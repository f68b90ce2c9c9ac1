#pragma once
#include "link/PortDescription.h"
#include "net/PortTransport.h"
#include "rig/RigControl.h"

#include <memory>
#include <optional>

namespace kovo {

namespace rig {
class HamlibWorker;
}

// A radio driven through Hamlib, seen as the byte pipe of the program's port:
// the receiver commands written to it are carried out on the radio by a
// worker thread, and its answers come back as received text. A radio that
// does not open or stops answering is reported through lost() with Hamlib's
// own words. Nothing here waits for the radio: opening, every command and
// closing run on the worker.
class HamlibTransport final : public PortTransport {
    Q_OBJECT
public:
    explicit HamlibTransport(const PortDescription& port, QObject* parent = nullptr);
    ~HamlibTransport() override;

    bool open(QString* error) override;
    void close() override;
    // The radio's speed is Hamlib's business ("HamlibSpeed"); any line is taken.
    bool applyLine(const LineSetting&, QString*) override { return true; }
    void setReadBufferSize(qint64) override {}
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;
    void clearInput() override { received_.clear(); }
    void clearOutput() override;
    std::optional<ReceiverFeatures> receiverFeatures() const override { return features_; }

    // Reads the radio's squelch report (DCD) and its strength once, on the
    // worker after the commands already written; readingsTaken follows.
    // Nothing while closed.
    void takeReadings();

Q_SIGNALS:
    void readingsTaken(const kovo::rig::RigReadings& readings);

private:
    class Relay;

    PortDescription port_;
    std::shared_ptr<Relay> relay_;
    std::unique_ptr<rig::HamlibWorker> worker_;
    QByteArray received_;
    std::optional<ReceiverFeatures> features_;
};

} // namespace kovo
