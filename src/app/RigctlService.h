#pragma once
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

namespace kovo {

class ReceiverCore;
class ReceiverRigTarget;
class RigctlServer;
class SettingsStore;

// The Hamlib network protocol server of the program, as set in "Soft Setting":
// off unless switched on, port 4532, listening on 127.0.0.1 unless another
// address is chosen. A port given on the command line switches it on for one
// run without storing anything.
struct RigctlSettings {
    static constexpr int kDefaultPort = 4532;
    static constexpr const char* kDefaultAddress = "127.0.0.1";

    bool enabled = false;
    int port = kDefaultPort;
    std::string address = kDefaultAddress;

    // Values out of range fall back to the defaults.
    static RigctlSettings load(const SettingsStore& store);
    void store(SettingsStore& store) const;
    bool operator==(const RigctlSettings&) const = default;
};

class RigctlService final : public QObject {
    Q_OBJECT
public:
    explicit RigctlService(ReceiverCore& core, QObject* parent = nullptr);
    ~RigctlService() override;

    // Starts, restarts or stops the server; the reason when it cannot listen.
    std::optional<QString> apply(const RigctlSettings& settings);
    bool listening() const;
    quint16 port() const;
    // The settings last applied, switched on only while the server listens:
    // what the server is doing now, whether the settings or the command line
    // asked for it.
    RigctlSettings inEffect() const;

private:
    RigctlSettings applied_;
    std::unique_ptr<ReceiverRigTarget> target_;
    std::unique_ptr<RigctlServer> server_;
};

} // namespace kovo
