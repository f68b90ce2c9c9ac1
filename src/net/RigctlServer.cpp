#include "net/RigctlServer.h"

#include "net/GatedTcpServer.h"
#include "net/RigctlProtocol.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace kovo {

namespace {
// What Qt takes from one client's connection ahead of its turn; the rest
// waits with the sender.
constexpr qint64 kReadBufferBytes = 4096;
constexpr int kRefillWaitMs = 1000 / RigctlServer::kLinesPerSecond + 1;

// Lines a client may still have answered: kLinesPerSecond on average, up to
// a second's worth at once.
class LineAllowance {
public:
    LineAllowance() { clock_.start(); }
    int available() {
        const qint64 now = clock_.elapsed();
        left_ = std::min(double(RigctlServer::kLinesPerSecond),
                         left_ + double(now - lastMs_) * RigctlServer::kLinesPerSecond / 1000.0);
        lastMs_ = now;
        return int(left_);
    }
    void take(int lines) { left_ -= lines; }

private:
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    double left_ = RigctlServer::kLinesPerSecond;
};
} // namespace

// One connected client: its socket, its partial line and its protocol state.
// Bytes are taken in turns of at most kLinesPerTurn lines; a turn that leaves
// bytes behind asks for another in the next turn of the event loop.
class RigctlServer::Client final : public QObject {
public:
    Client(QTcpSocket* socket, RigTarget& target, GatedTcpServer& server, QObject* parent)
        : QObject(parent), socket_(socket), server_(server), protocol_(target) {
        socket_->setParent(this);
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket_->setReadBufferSize(kReadBufferBytes);
        turn_.setSingleShot(true);
        connect(&turn_, &QTimer::timeout, this, &Client::takeTurn);
        // Bytes that come are served at once (a client that sends a few
        // lines and shuts its sending side is answered before the socket
        // sees the end); what a turn leaves waits for the next turn.
        connect(socket_, &QTcpSocket::readyRead, this, &Client::takeTurn);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        if (socket_->bytesAvailable() > 0)
            turn_.start(0);
    }

private:
    void takeTurn() {
        const int budget = std::min(kLinesPerTurn, allowance_.available());
        int lines = 0;
        qint64 bytes = 0;
        char c = 0;
        while (!closing_ && lines < budget && bytes < kReadBufferBytes && socket_->getChar(&c)) {
            ++bytes;
            if (c == '\n' || c == '\0') {
                ++lines;
                endLine();
            } else if (line_.size() < RigctlProtocol::kMaxLineLength) {
                line_ += c;
            } else {
                overlong_ = true;
            }
        }
        allowance_.take(lines);
        if (aborted_)
            return;
        // A client that sends its lines and then shuts its sending side
        // (`echo f | nc host 4532`) makes the socket close at the next read,
        // dropping whatever still waits to be written: the answers go out now.
        socket_->flush();
        // More waiting: at once while the client has lines left this
        // second, otherwise when the next one is due.
        if (!closing_ && socket_->bytesAvailable() > 0 && !turn_.isActive())
            turn_.start(allowance_.available() > 0 ? 0 : kRefillWaitMs);
    }

    void endLine() {
        server_.noteActive(socket_);
        std::string line = std::move(line_);
        line_.clear();
        if (overlong_) {
            overlong_ = false;
            send("RPRT " + std::to_string(RigctlProtocol::kInvalid) + "\n");
            return;
        }
        const RigctlProtocol::Answer answer = protocol_.handle(line);
        if (!answer.text.empty())
            send(answer.text);
        if (answer.close && !aborted_) {
            closing_ = true;
            socket_->disconnectFromHost();
        }
    }

    void send(const std::string& text) {
        socket_->write(text.data(), qint64(text.size()));
        // A client that sends and never reads would grow this without end.
        if (socket_->bytesToWrite() > kMaxUnsentBytes) {
            closing_ = true;
            aborted_ = true;
            socket_->abort();
            deleteLater();
        }
    }

    QTcpSocket* socket_;
    GatedTcpServer& server_;
    RigctlProtocol protocol_;
    QTimer turn_;
    LineAllowance allowance_;
    std::string line_;
    bool overlong_ = false;
    bool closing_ = false;
    bool aborted_ = false;
};

RigctlServer::RigctlServer(RigTarget& target, QObject* parent, ConnectionGate::Limits limits)
    : QObject(parent), target_(target), server_(std::make_unique<GatedTcpServer>(limits)) {
    server_->setMaxPendingConnections(kMaxClients);
    connect(server_.get(), &QTcpServer::newConnection, this, &RigctlServer::onNewConnection);
}

RigctlServer::~RigctlServer() {
    close();
}

bool RigctlServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    close();
    if (server_->listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("%1 port %2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(server_->errorString());
    return false;
}

void RigctlServer::close() {
    server_->close();
    for (Client* client : findChildren<Client*>(Qt::FindDirectChildrenOnly))
        delete client;
}

bool RigctlServer::isListening() const {
    return server_->isListening();
}

quint16 RigctlServer::port() const {
    return server_->serverPort();
}

int RigctlServer::clientCount() const {
    return int(findChildren<Client*>(Qt::FindDirectChildrenOnly).size());
}

// The gate has admitted every connection handed out here.
void RigctlServer::onNewConnection() {
    while (QTcpSocket* socket = server_->nextPendingConnection())
        new Client(socket, target_, *server_, this);
}

} // namespace kovo
