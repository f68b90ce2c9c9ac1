// The web remote under load on the loopback, on wall-clock time: silent
// connections by the thousand and a page that floods without reading.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "fakes/RawPeer.h"
#include "web/RemoteReceiver.h"
#include "web/WebRemoteServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <map>
#include <thread>

namespace kovo::web {
namespace {

const QByteArray kToken = QByteArray(64, 'a');

bool runUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

struct LoadRig : test::CoreParts {
    LoadRig() {
        server.setToken(kToken);
        EXPECT_FALSE(server.start(QHostAddress::LocalHost, 0));
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.port()); }
    // Milliseconds until /api/state with the token is answered 200; -1 when not in `ms`.
    qint64 stateAnsweredWithin(int ms) {
        QElapsedTimer elapsed;
        elapsed.start();
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        const QByteArray request = "GET /api/state?token=" + kToken +
                                   " HTTP/1.1\r\nHost: " + host().toLatin1() +
                                   "\r\nConnection: close\r\n\r\n";
        bool sent = false;
        QByteArray reply;
        const bool answered = runUntil(
            [&] {
                if (!sent && socket.state() == QAbstractSocket::ConnectedState) {
                    socket.write(request);
                    sent = true;
                }
                reply += socket.readAll();
                return reply.startsWith("HTTP/1.1 200") && reply.endsWith("}");
            },
            ms);
        return answered ? elapsed.elapsed() : -1;
    }

    RemoteReceiver receiver{doc, core};
    WebRemoteServer server{receiver};
};

// 1,100 connections held open by another process, with a limit of 512
// descriptors (half the common 1,024, so that they run out soon without the
// caps): a page with the token is still served at once, and the program
// still opens its own files and shared memory.
TEST(WebRemoteLoad, ThousandsOfSilentConnectionsKeepNeitherAPageNorTheProgramsFilesOut) {
    LoadRig rig;
    constexpr int kSilent = 1100;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const quint16 port = rig.server.port();
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        std::vector<int> held;
        for (int i = 0; i < kSilent; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
            held.push_back(fd);
        }
        // Ready once the server has taken every one (it may close them).
        std::vector<pollfd> pending;
        for (int fd : held)
            pending.push_back({fd, POLLOUT, 0});
        for (int waited = 0; waited < 15'000; waited += 10) {
            if (::poll(pending.data(), pending.size(), 10) < 0)
                break;
            std::size_t finished = 0;
            for (pollfd& p : pending) {
                if (p.revents != 0)
                    p.events = 0;
                finished += p.events == 0;
            }
            if (finished == pending.size())
                break;
        }
        const char done = 1;
        (void)!::write(ready[1], &done, 1);
        ::pause();
        ::_exit(0);
    }
    const rlimit small{512, 512};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &small), 0);
    pollfd wait{ready[0], POLLIN, 0};
    ASSERT_TRUE(runUntil([&] { return ::poll(&wait, 1, 0) == 1; }, 20'000));
    runUntil([] { return false; }, 500); // the server takes what came

    const qint64 ms = rig.stateAnsweredWithin(3000);
    EXPECT_GE(ms, 0) << "no answer within 3 s";
    EXPECT_LE(rig.server.connectionCount(), int(WebRemoteServer::kMaxConnectionsPerAddress));
    std::vector<int> own;
    for (int i = 0; i < 100; ++i)
        own.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int shm = ::shm_open("/kovo-web-load-test", O_RDWR | O_CREAT | O_EXCL, 0600);
    EXPECT_GE(shm, 0);
    if (shm >= 0) {
        ::close(shm);
        ::shm_unlink("/kovo-web-load-test");
    }
    for (int fd : own) {
        EXPECT_GE(fd, 0);
        ::close(fd);
    }
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

// A page floods tiny commands as fast as its socket allows and reads
// nothing: it is closed, and another page is answered all the while.
TEST(WebRemoteLoad, AFloodingPageIsClosedWhileAnotherIsAnswered) {
    LoadRig rig;
    const quint16 port = rig.server.port();
    std::atomic<bool> stop{false};
    std::atomic<bool> cut{false};
    std::thread flooder([&] {
        test::RawPeer peer(port, 4096);
        timeval timeout{0, 100'000};
        ::setsockopt(peer.fd(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        peer.send(test::RawPeer::upgradeRequest(port, kToken.toStdString()));
        std::string burst;
        while (burst.size() < 64 * 1024)
            burst += test::RawPeer::textFrame("up");
        QElapsedTimer clock;
        clock.start();
        while (!stop && clock.elapsed() < 20'000) {
            const ssize_t n = ::send(peer.fd(), burst.data(), burst.size(), MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                cut = true;
                return;
            }
        }
    });
    QWebSocket page(QStringLiteral("http://") + rig.host());
    QList<QJsonObject> replies;
    QObject::connect(&page, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
        if (m.value(QStringLiteral("type")) == QStringLiteral("reply"))
            replies.append(m);
    });
    page.open(QUrl(QStringLiteral("ws://%1/ws?token=%2").arg(rig.host(), kToken)));
    ASSERT_TRUE(runUntil([&] { return page.state() == QAbstractSocket::ConnectedState; }, 5000));
    for (int i = 0; i < 5; ++i) {
        page.sendTextMessage(QStringLiteral("tune 145.5"));
        EXPECT_TRUE(runUntil([&] { return replies.size() == i + 1; }, 1000))
            << "command " << i << " not answered within a second";
        runUntil([] { return false; }, 100);
    }
    EXPECT_TRUE(runUntil([&] { return cut.load(); }, 10'000)) << "the flooding page stays open";
    stop = true;
    flooder.join();
    EXPECT_TRUE(runUntil([&] { return rig.server.clientCount() == 1; }, 5000));
}

// The tuned frequency changes every 10 ms for two seconds, faster than any
// scan steps: the page sees each change soon after it happens, and gets the
// read-outs no more than ten times a second.
TEST(WebRemoteLoad, AFastChangingReceiverReachesThePageSoonAndAtMostTenTimesASecond) {
    LoadRig rig;
    QWebSocket page(QStringLiteral("http://") + rig.host());
    QElapsedTimer clock;
    clock.start();
    std::map<double, qint64> changedAt;           // hz -> ms
    std::vector<std::pair<qint64, double>> shown; // ms -> hz
    QObject::connect(&page, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject m = QJsonDocument::fromJson(text.toUtf8()).object();
        if (m.value(QStringLiteral("type")) == QStringLiteral("state"))
            shown.emplace_back(clock.elapsed(), m.value(QStringLiteral("hz")).toDouble());
    });
    page.open(QUrl(QStringLiteral("ws://%1/ws?token=%2").arg(rig.host(), kToken)));
    ASSERT_TRUE(runUntil([&] { return !shown.empty(); }, 5000));
    shown.clear();
    constexpr int kChanges = 200;
    int changes = 0;
    QTimer step;
    step.setTimerType(Qt::PreciseTimer);
    QObject::connect(&step, &QTimer::timeout, [&] {
        // 100 kHz apart: on the step grid whatever the step.
        const std::uint32_t hz = 145'000'000u + 100'000u * std::uint32_t(changes);
        ASSERT_TRUE(rig.core.operations().tuneInVfo(hz));
        changedAt[double(hz)] = clock.elapsed();
        if (++changes == kChanges)
            step.stop();
    });
    const qint64 start = clock.elapsed();
    step.start(10);
    const double last = 145'000'000.0 + 100'000.0 * (kChanges - 1);
    ASSERT_TRUE(runUntil([&] { return !shown.empty() && shown.back().second == last; }, 10'000));
    const qint64 spanMs = shown.back().first - start;
    // Each change is on the page by the first push after it: the delay
    // from a change to the next push that shows it or a later one.
    qint64 worstMs = 0;
    for (const auto& [hz, at] : changedAt) {
        const auto seen = std::find_if(shown.begin(), shown.end(), [&](const auto& s) {
            return s.first >= at && s.second >= hz;
        });
        ASSERT_NE(seen, shown.end());
        worstMs = std::max(worstMs, seen->first - at);
    }
    std::cout << shown.size() << " pushes for " << kChanges << " changes in " << spanMs
              << " ms; slowest change on the page after " << worstMs << " ms\n";
    EXPECT_LE(qint64(shown.size()), spanMs / WebRemoteServer::kPushIntervalMs + 1);
    // The interval itself, and some room for a loaded machine's event loop.
    EXPECT_LE(worstMs, WebRemoteServer::kPushIntervalMs + 100);
}

} // namespace
} // namespace kovo::web

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
