#include "net/TcpTransport.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace kovo {

TcpTransport::TcpTransport(QString host, quint16 port, Mode mode, QObject* parent)
    : PortTransport(parent), host_(std::move(host)), port_(port), mode_(mode) {
    connect(&socket_, &QTcpSocket::connected, this, &TcpTransport::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &TcpTransport::onReadyRead);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpTransport::onError);
    connect(&socket_, &QTcpSocket::disconnected, this, &TcpTransport::onDisconnected);
    negotiationTimer_.setSingleShot(true);
    connect(&negotiationTimer_, &QTimer::timeout, this, &TcpTransport::settle);
}

TcpTransport::~TcpTransport() {
    disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

QString TcpTransport::where() const {
    return QStringLiteral("%1:%2").arg(host_).arg(port_);
}

bool TcpTransport::open(QString*) {
    close();
    open_ = true;
    codec_ = TelnetCodec{};
    socket_.connectToHost(host_, port_);
    return true;
}

void TcpTransport::close() {
    open_ = false;
    settled_ = false;
    negotiationTimer_.stop();
    pendingOut_.clear();
    received_.clear();
    socket_.abort();
}

bool TcpTransport::applyLine(const LineSetting& line, QString* error) {
    if (!line.valid()) {
        if (error)
            *error = QStringLiteral("%1: the line format %2 is not possible")
                         .arg(where(), QString::fromStdString(line.text()));
        return false;
    }
    if (line_ == line)
        return true;
    line_ = line;
    // Raw TCP: the far end runs the line as it is set up there.
    if (mode_ == Mode::Rfc2217 && ready())
        sendRaw(TelnetCodec::lineSettings(line));
    return true;
}

void TcpTransport::setReadBufferSize(qint64 bytes) {
    readBufferSize_ = bytes;
}

QByteArray TcpTransport::readAll() {
    return std::exchange(received_, QByteArray());
}

void TcpTransport::write(const QByteArray& bytes) {
    if (!open_)
        return;
    if (!ready()) {
        pendingOut_.append(bytes);
        return;
    }
    if (mode_ == Mode::Raw) {
        socket_.write(bytes);
        socket_.flush();
        return;
    }
    sendRaw(codec_.encode(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

void TcpTransport::clearInput() {
    received_.clear();
}

// Bytes already handed to the connection cannot be called back; only what
// waits for the connection is dropped.
void TcpTransport::clearOutput() {
    pendingOut_.clear();
}

bool TcpTransport::ready() const {
    return connected() && (mode_ == Mode::Raw || settled_);
}

// Written to the connection now, not on the next pass of the event loop;
// what the socket does not take at once follows as usual.
void TcpTransport::sendRaw(const std::string& bytes) {
    socket_.write(bytes.data(), qint64(bytes.size()));
    socket_.flush();
}

void TcpTransport::onConnected() {
    // Commands go out as they are written: one command in flight is the
    // whole traffic, and holding a segment back for coalescing (Nagle) only
    // costs scan rate. The option can only be set on a socket that exists,
    // that is, once connected.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (mode_ == Mode::Raw) {
        settle();
        return;
    }
    sendRaw(codec_.start());
    negotiationTimer_.start(kNegotiationTimeoutMs);
}

// The line is ready: set the far port's line, then send what waited.
void TcpTransport::settle() {
    if (settled_ || !connected())
        return;
    settled_ = true;
    negotiationTimer_.stop();
    if (mode_ == Mode::Rfc2217 && line_)
        sendRaw(TelnetCodec::lineSettings(*line_));
    const QByteArray waiting = std::exchange(pendingOut_, QByteArray());
    if (!waiting.isEmpty())
        write(waiting);
}

// A serial server that sends each character as it comes (ser2net with
// chardelay off) and keeps Nagle's algorithm on its side holds the rest of an
// answer until its first character is acknowledged; a delayed acknowledgement
// (up to 40 ms, waiting to ride on our next command, which waits for the end
// of the answer) would then stall every answer. Acknowledging at once breaks
// that wait. Linux leaves quick-acknowledge mode by itself, so it is asked
// for again after every read.
void TcpTransport::acknowledgeAtOnce() {
#ifdef TCP_QUICKACK
    const int on = 1;
    setsockopt(int(socket_.socketDescriptor()), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

void TcpTransport::onReadyRead() {
    const QByteArray bytes = socket_.readAll();
    acknowledgeAtOnce();
    if (mode_ == Mode::Raw) {
        received_.append(bytes);
    } else {
        const TelnetCodec::Decoded d =
            codec_.decode(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        if (!d.reply.empty())
            sendRaw(d.reply);
        received_.append(d.data.data(), qsizetype(d.data.size()));
        if (!settled_ && codec_.settled())
            settle();
    }
    if (!received_.isEmpty())
        Q_EMIT readyRead();
}

void TcpTransport::onError() {
    if (!open_)
        return;
    const QString why = QStringLiteral("%1: %2").arg(where(), socket_.errorString());
    close();
    Q_EMIT lost(why);
}

void TcpTransport::onDisconnected() {
    if (!open_)
        return;
    close();
    Q_EMIT lost(QStringLiteral("%1: the connection was closed").arg(where()));
}

} // namespace kovo
