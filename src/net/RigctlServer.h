#pragma once
#include "net/ConnectionGate.h"
#include "net/RigTarget.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

namespace kovo {

class GatedTcpServer;

// Serves the Hamlib network protocol on one TCP address and port to any
// number of clients (up to kMaxClients at once), each with its own line
// buffer. Lines are cut at kMaxLineLength; a client that sends more without a
// line end gets an error for that line and loses nothing else; a client that
// does not read its answers is disconnected before they pile up. A client
// that sends no line for kIdleMs is disconnected, and one silent for
// kEvictableMs gives its place up to a newcomer when all are taken. Each
// client gets at most kLinesPerTurn lines answered in one turn of the event
// loop and kLinesPerSecond on average (far more than any Hamlib client
// polls), so that many busy clients share the thread fairly with the scan;
// what a client sends beyond that waits with it.
// Nothing here ever waits: everything happens on the event loop.
class RigctlServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 16;
    static constexpr qint64 kMaxUnsentBytes = 64 * 1024;
    static constexpr std::int64_t kIdleMs = 120'000;
    static constexpr std::int64_t kEvictableMs = 10'000;
    static constexpr int kLinesPerTurn = 16;
    static constexpr int kLinesPerSecond = 500;
    static constexpr ConnectionGate::Limits kLimits{kMaxClients, kMaxClients, kIdleMs,
                                                    kEvictableMs};

    explicit RigctlServer(RigTarget& target, QObject* parent = nullptr,
                          ConnectionGate::Limits limits = kLimits);
    ~RigctlServer() override;

    // Listens on `address`:`port`; false with the reason when it cannot.
    bool listen(const QHostAddress& address, quint16 port, QString* error = nullptr);
    void close();
    bool isListening() const;
    quint16 port() const;
    int clientCount() const;

private:
    class Client;
    void onNewConnection();

    RigTarget& target_;
    // Not a child: the clients are the only children.
    std::unique_ptr<GatedTcpServer> server_;
};

} // namespace kovo
