#include "net/GatedTcpServer.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace kovo {
namespace {

constexpr const char* kIdProperty = "kovoConnectionId";
constexpr rlim_t kDescriptorCeiling = 16384;
constexpr rlim_t kMinimumReserve = 16;

// The peer's address of an accepted descriptor, before any socket object.
QString peerOf(qintptr fd) {
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    if (::getpeername(int(fd), reinterpret_cast<sockaddr*>(&peer), &size) != 0)
        return {};
    QHostAddress address(reinterpret_cast<const sockaddr*>(&peer));
    // The same machine over IPv4 or IPv6 is one peer.
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

} // namespace

void raiseDescriptorLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return;
        const rlim_t wanted = std::min(limit.rlim_max, kDescriptorCeiling);
        if (limit.rlim_cur >= wanted)
            return;
        limit.rlim_cur = wanted;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    });
}

bool leavesDescriptorsInReserve(qintptr fd) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return true;
    const rlim_t reserve = std::max(kMinimumReserve, limit.rlim_cur / 4);
    return rlim_t(fd) + reserve < limit.rlim_cur;
}

GatedTcpServer::GatedTcpServer(ConnectionGate::Limits limits, QObject* parent)
    : QTcpServer(parent), gate_(limits) {
    raiseDescriptorLimit();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    nowMs_ = [clock] { return clock->elapsed(); };
    sweep_.setInterval(int(std::clamp<std::int64_t>(limits.idleMs / 4, 50, 1000)));
    connect(&sweep_, &QTimer::timeout, this, &GatedTcpServer::closeIdle);
    sweep_.start();
}

GatedTcpServer::~GatedTcpServer() = default;

QTcpSocket* GatedTcpServer::makeSocket() {
    return new QTcpSocket(this);
}

void GatedTcpServer::incomingConnection(qintptr handle) {
    if (!leavesDescriptorsInReserve(handle)) {
        ::close(int(handle));
        return;
    }
    forgetClosed();
    const ConnectionGate::Id id = nextId_++;
    const auto admission = gate_.admit(id, peerOf(handle).toStdString(), nowMs_());
    if (!admission.admitted) {
        ::close(int(handle));
        return;
    }
    for (ConnectionGate::Id evicted : admission.close)
        closeConnection(evicted);
    QTcpSocket* socket = makeSocket();
    if (!socket->setSocketDescriptor(handle)) {
        gate_.closed(id);
        delete socket;
        ::close(int(handle));
        return;
    }
    socket->setProperty(kIdProperty, QVariant::fromValue(id));
    sockets_.emplace(id, socket);
    addPendingConnection(socket);
}

void GatedTcpServer::noteActive(QTcpSocket* socket) {
    gate_.active(socket->property(kIdProperty).toULongLong(), nowMs_());
}

void GatedTcpServer::keep(const QHostAddress& peer, quint16 port) {
    for (const auto& [id, socket] : sockets_)
        if (socket && socket->peerPort() == port &&
            socket->peerAddress().isEqual(peer, QHostAddress::ConvertV4MappedToIPv4))
            gate_.keep(id);
}

// A connection still taking in a long answer (a recording) is busy, not
// idle, as long as what waits for it shrinks.
void GatedTcpServer::closeIdle() {
    forgetClosed();
    const std::int64_t now = nowMs_();
    for (ConnectionGate::Id id : gate_.idle(now)) {
        const auto held = sockets_.find(id);
        const qint64 unsent =
            held != sockets_.end() && held->second ? held->second->bytesToWrite() : 0;
        const auto before = unsentAtSweep_.find(id);
        if (unsent > 0 && (before == unsentAtSweep_.end() || unsent < before->second)) {
            unsentAtSweep_[id] = unsent;
            gate_.active(id, now);
            continue;
        }
        gate_.closed(id);
        closeConnection(id);
    }
}

int GatedTcpServer::connectionCount() {
    forgetClosed();
    return int(gate_.count());
}

// Sockets deleted or disconnected by their users leave the gate here.
void GatedTcpServer::forgetClosed() {
    for (auto it = sockets_.begin(); it != sockets_.end();) {
        if (it->second && it->second->state() != QAbstractSocket::UnconnectedState) {
            ++it;
            continue;
        }
        gate_.closed(it->first);
        unsentAtSweep_.erase(it->first);
        it = sockets_.erase(it);
    }
}

void GatedTcpServer::closeConnection(ConnectionGate::Id id) {
    const auto it = sockets_.find(id);
    if (it == sockets_.end())
        return;
    const QPointer<QTcpSocket> socket = it->second;
    sockets_.erase(it);
    unsentAtSweep_.erase(id);
    // Its owner deletes it when it sees the disconnection.
    if (socket)
        socket->abort();
}

} // namespace kovo
