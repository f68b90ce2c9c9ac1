#pragma once
// The real ser2net serial server, run as a black box on 127.0.0.1 with a
// configuration written to a test's own directory.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>

#include "QtReceiverRig.h"

namespace kovo::test {

class Ser2net {
public:
    enum class Mode { Raw, Rfc2217 };

    // `immediate`: pass each received character on at once (chardelay off)
    // instead of waiting about two character times for more.
    Ser2net(QString directory, std::string device, Mode mode, bool immediate = false)
        : directory_(std::move(directory)), device_(std::move(device)), mode_(mode),
          immediate_(immediate) {}
    ~Ser2net() { stop(); }

    static bool installed() { return !QStandardPaths::findExecutable("ser2net").isEmpty(); }

    // Starts serving on `port` (0: a free port); true once it accepts.
    bool start(quint16 port = 0) {
        port_ = port ? port : freePort();
        const QString config = QDir(directory_).filePath(QStringLiteral("ser2net.yaml"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray accepter = mode_ == Mode::Raw ? "tcp" : "telnet(rfc2217),tcp";
        file.write("%YAML 1.1\n---\nconnection: &receiver\n  accepter: " + accepter +
                   ",127.0.0.1," + QByteArray::number(port_) + "\n  connector: serialdev," +
                   QByteArray::fromStdString(device_) +
                   ",9600n82,local\n  options:\n    kickolduser: true\n" +
                   (immediate_ ? "    chardelay: false\n" : ""));
        file.close();
        process_.start(QStringLiteral("ser2net"),
                       {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), config,
                        QStringLiteral("-P"),
                        QDir(directory_).filePath(QStringLiteral("ser2net.pid"))});
        if (!process_.waitForStarted(5000))
            return false;
        return waitFor([this] { return accepts(); }, 5000);
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.kill();
        process_.waitForFinished(5000);
    }

    std::string address() const {
        return std::string(mode_ == Mode::Raw ? "tcp" : "rfc2217") +
               "://127.0.0.1:" + std::to_string(port_);
    }
    quint16 port() const { return port_; }

private:
    static quint16 freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }
    bool accepts() const {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port_);
        const bool ok = socket.waitForConnected(200);
        socket.abort();
        return ok;
    }

    QString directory_;
    std::string device_;
    Mode mode_;
    bool immediate_ = false;
    quint16 port_ = 0;
    QProcess process_;
};

} // namespace kovo::test
