#include "net/RigctlServer.h"

#include "net/RigctlProtocol.h"

#include <QTcpSocket>

namespace kovo {

// One connected client: its socket, its partial line and its protocol state.
class RigctlServer::Client final : public QObject {
public:
    Client(QTcpSocket* socket, RigTarget& target, QObject* parent)
        : QObject(parent), socket_(socket), protocol_(target) {
        socket_->setParent(this);
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket_, &QTcpSocket::readyRead, this, &Client::onReadyRead);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }

private:
    void onReadyRead() {
        const QByteArray bytes = socket_->readAll();
        for (char c : bytes) {
            if (c == '\n' || c == '\0') {
                endLine();
                if (closing_)
                    break;
            } else if (line_.size() < RigctlProtocol::kMaxLineLength) {
                line_ += c;
            } else {
                overlong_ = true;
            }
        }
        // A client that sends its lines and then shuts its sending side
        // (`echo f | nc host 4532`) makes the socket close at the next read,
        // dropping whatever still waits to be written: the answers go out now.
        if (!aborted_)
            socket_->flush();
    }

    void endLine() {
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
        if (answer.close) {
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
    RigctlProtocol protocol_;
    std::string line_;
    bool overlong_ = false;
    bool closing_ = false;
    bool aborted_ = false;
};

RigctlServer::RigctlServer(RigTarget& target, QObject* parent) : QObject(parent), target_(target) {
    server_.setMaxPendingConnections(kMaxClients);
    connect(&server_, &QTcpServer::newConnection, this, &RigctlServer::onNewConnection);
}

RigctlServer::~RigctlServer() {
    close();
}

bool RigctlServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    close();
    if (server_.listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("%1 port %2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(server_.errorString());
    return false;
}

void RigctlServer::close() {
    server_.close();
    for (Client* client : findChildren<Client*>(Qt::FindDirectChildrenOnly))
        delete client;
}

int RigctlServer::clientCount() const {
    return int(findChildren<Client*>(Qt::FindDirectChildrenOnly).size());
}

void RigctlServer::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (clientCount() >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Client(socket, target_, this);
    }
}

} // namespace kovo
