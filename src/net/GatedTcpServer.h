#pragma once
#include "net/ConnectionGate.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>

class QTcpSocket;

namespace kovo {

// A TCP server whose connections pass a ConnectionGate before anyone sees
// them: a connection refused is closed at once, before a socket object is
// made for it, and one that would leave the program short of file
// descriptors for its own files is refused whatever the gate says. The
// connections idle too long are closed on a timer of the server's own.
class GatedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GatedTcpServer(ConnectionGate::Limits limits, QObject* parent = nullptr);
    ~GatedTcpServer() override;

    // Milliseconds for the idle times (tests give their own clock and call
    // closeIdle themselves).
    void setClock(std::function<std::int64_t()> nowMs) { nowMs_ = std::move(nowMs); }

    // A whole request (or line) came on `socket`.
    void noteActive(QTcpSocket* socket);
    // The connection from `peer`:`port` lives by its own rules from now on.
    void keep(const QHostAddress& peer, quint16 port);
    // Closes the connections idle too long.
    void closeIdle();
    // Connections held now.
    int connectionCount();

protected:
    // The socket for an admitted connection (subclasses bound what it takes).
    virtual QTcpSocket* makeSocket();
    void incomingConnection(qintptr handle) override;

private:
    void forgetClosed();
    void closeConnection(ConnectionGate::Id id);

    ConnectionGate gate_;
    std::function<std::int64_t()> nowMs_;
    std::map<ConnectionGate::Id, QPointer<QTcpSocket>> sockets_;
    std::map<ConnectionGate::Id, qint64> unsentAtSweep_;
    ConnectionGate::Id nextId_ = 1;
    QTimer sweep_;
};

// Raises the soft limit of open file descriptors to the hard one (up to a
// sane ceiling), once for the process.
void raiseDescriptorLimit();
// Whether a connection on descriptor `fd` still leaves a quarter of the
// descriptors free for the program's own files and shared
// memory. Descriptors are handed out lowest first, so the number of a new
// one tells how many are open.
bool leavesDescriptorsInReserve(qintptr fd);

} // namespace kovo
