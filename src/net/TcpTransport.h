#pragma once
#include "link/PortDescription.h"
#include "net/PortTransport.h"
#include "net/TelnetCodec.h"

#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace kovo {

// A serial line on a serial server, over TCP: raw (the far end already runs
// the line at the right speed) or with Telnet COM-port control (RFC 2217: the
// line format is set on the far port). Connecting runs in the background;
// what is written meanwhile goes out once the connection stands and, with
// COM-port control, once the server has answered the negotiation and the line
// has been set. A connection that cannot be made, or that ends, is lost().
class TcpTransport final : public PortTransport {
    Q_OBJECT
public:
    enum class Mode { Raw, Rfc2217 };
    // How long the server has to answer the Telnet negotiation before data
    // goes out anyway.
    static constexpr int kNegotiationTimeoutMs = 2000;

    TcpTransport(QString host, quint16 port, Mode mode, QObject* parent = nullptr);
    ~TcpTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool applyLine(const LineSetting& line, QString* error) override;
    void setReadBufferSize(qint64 bytes) override;
    QByteArray readAll() override;
    void write(const QByteArray& bytes) override;
    void clearInput() override;
    void clearOutput() override;

    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    // The line the server reported for its port (COM-port control only).
    const TelnetCodec::FarLine& farLine() const { return codec_.farLine(); }

private:
    void onConnected();
    void onReadyRead();
    void acknowledgeAtOnce();
    void onError();
    void onDisconnected();
    void settle();
    bool ready() const;
    void sendRaw(const std::string& bytes);
    QString where() const;

    QString host_;
    quint16 port_;
    Mode mode_;
    QTcpSocket socket_;
    TelnetCodec codec_;
    QTimer negotiationTimer_;
    std::optional<LineSetting> line_;
    QByteArray pendingOut_; // written before the line was ready
    QByteArray received_;   // line bytes not yet read
    qint64 readBufferSize_ = 0;
    bool open_ = false;
    bool settled_ = false;
};

} // namespace kovo
