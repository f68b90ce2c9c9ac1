#pragma once
#include "net/RigTarget.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace kovo {

// Serves the Hamlib network protocol on one TCP address and port to any
// number of clients (up to kMaxClients at once), each with its own line
// buffer. Lines are cut at kMaxLineLength; a client that sends more without a
// line end gets an error for that line and loses nothing else; a client that
// does not read its answers is disconnected before they pile up. Nothing
// here ever waits: everything happens on the event loop as bytes arrive.
class RigctlServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 16;
    static constexpr qint64 kMaxUnsentBytes = 64 * 1024;

    explicit RigctlServer(RigTarget& target, QObject* parent = nullptr);
    ~RigctlServer() override;

    // Listens on `address`:`port`; false with the reason when it cannot.
    bool listen(const QHostAddress& address, quint16 port, QString* error = nullptr);
    void close();
    bool isListening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    int clientCount() const;

private:
    class Client;
    void onNewConnection();

    RigTarget& target_;
    QTcpServer server_;
};

} // namespace kovo
