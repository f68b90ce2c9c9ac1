#pragma once

#include "web/AudioSource.h"
#include "web/PushPacer.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QWebSocket;

namespace kovo::web {

class ReadoutNews;
class RemoteReceiver;
class RequestTcpServer;

// The web remote's server: the page's own assets, the read-outs as JSON and a
// WebSocket per page that pushes the read-outs and the latest hits and takes
// the page's controls. Every request and socket needs the access token, and
// a Host (and, from a browser, an Origin) naming this server; anything else
// is refused before it is read further.
class WebRemoteServer final : public QAbstractHttpServer {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 8;
    // The read-outs reach the pages within this of a change, and no page
    // gets them more often.
    static constexpr int kPushIntervalMs = 100;
    static constexpr int kCommandsPerSecond = 10;
    static constexpr int kCommandBurst = 20;
    static constexpr qint64 kMaxRequestBytes = 16 * 1024;
    static constexpr qint64 kMaxSocketMessageBytes = 1024;
    // Commands over the rate limit are dropped unread; the page hears of it
    // once a window, and one that sends more than kMaxDroppedPerWindow in a
    // window is closed.
    static constexpr std::int64_t kFloodWindowMs = 1000;
    static constexpr int kMaxDroppedPerWindow = 50;
    // What may wait to be sent to one page; a page that lets more pile up is
    // not reading and is closed.
    static constexpr qint64 kMaxQueuedBytes = 256 * 1024;
    // What is taken from one connection in one turn of the event loop.
    static constexpr qint64 kReadBufferBytes = 2 * kMaxRequestBytes;
    // Connections at once, in all and from one address; one that sends no
    // whole request for kRequestTimeoutMs is closed (a page's socket is
    // not, once open).
    static constexpr std::size_t kMaxConnections = 96;
    static constexpr std::size_t kMaxConnectionsPerAddress = 24;
    static constexpr std::int64_t kRequestTimeoutMs = 5000;

    explicit WebRemoteServer(RemoteReceiver& receiver, QObject* parent = nullptr);
    ~WebRemoteServer() override;

    // Listens on `address`:`port` (0: any free port); the reason when it
    // cannot.
    std::optional<QString> start(const QHostAddress& address, quint16 port);
    quint16 port() const { return port_; }
    bool listening() const { return port_ != 0; }

    // A new token closes every page opened with the old one.
    void setToken(const QByteArray& token);
    // Names of this machine that a browser may use besides its addresses
    // (its host name when other devices may connect).
    void setExtraHostNames(const QStringList& names) { extraHostNames_ = names; }
    // The live sound for "Listen"; none: the page says audio is not available.
    void setAudioSource(AudioSource* audio) { audio_ = audio; }
    // A fault in the live sound (the input failed, the encoder refused),
    // told to every page that is listening.
    void reportAudioProblem(const QString& message);
    // Milliseconds for the command rate limit and the idle connections
    // (tests give their own).
    void setClock(std::function<std::int64_t()> nowMs);
    // Closes the connections that sent no whole request in time (also done
    // on a timer).
    void closeIdleConnections();
    // Connections held now, pages included.
    int connectionCount() const;

    // The latest hits, newest first: each an object with id, start (UTC
    // seconds), frequency, mode, signal, comment and recording (bool). Pushed
    // to every page at once.
    void setHits(const QJsonArray& hits, const std::map<std::int64_t, QString>& recordings);

    int clientCount() const { return int(clients_.size()); }

signals:
    // The read-outs went to the pages that had not seen them yet (none is
    // sent when every page has them).
    void statePushed();

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Client;

    void serve(const QHttpServerRequest& request, QTcpSocket* socket,
               const QList<QPair<QByteArray, QByteArray>>& headers);
    static void answer(const QHttpServerRequest& request, QTcpSocket* socket,
                       QHttpServerResponder::StatusCode status, const QByteArray& body,
                       const QByteArray& mimeType = "text/plain; charset=utf-8");
    bool hostAllowed(const QByteArray& host) const;
    bool tokenMatches(const QByteArray& given) const;
    void serveAsset(const QHttpServerRequest& request, QTcpSocket* socket, const QString& path);
    void serveRecording(const QHttpServerRequest& request, QTcpSocket* socket);
    void acceptWebSockets();
    void onText(Client& client, const QString& text);
    void dropFlood(Client& client, const QString& text, std::int64_t nowMs);
    // Sends unless too much waits for the page already; then closes it.
    void send(Client& client, const QString& text);
    void sendBinary(QWebSocket* socket, const QByteArray& frame);
    bool overQueued(QWebSocket* socket);
    QString setListening(Client& client, bool on, AudioForm form);
    // Something the read-outs show may have changed: a push is due.
    void noteChange();
    void pushState();
    void sendHits(Client& client);
    QByteArray audioMessage(const QString& problem = {}) const;
    void dropClient(QWebSocket* socket);
    std::vector<Client*> clientList() const;

    RemoteReceiver& receiver_;
    AudioSource* audio_ = nullptr;
    QByteArray token_;
    QStringList extraHostNames_;
    quint16 port_ = 0;
    QHostAddress address_;
    RequestTcpServer* tcp_ = nullptr;
    QTimer pushTimer_;
    std::function<std::int64_t()> nowMs_;
    PushPacer pacer_{kPushIntervalMs};
    std::unique_ptr<ReadoutNews> news_;
    std::map<QWebSocket*, std::unique_ptr<Client>> clients_;
    std::uint64_t nextListenerId_ = 1;
    QByteArray hitsMessage_;
    std::map<std::int64_t, QString> recordings_;
};

} // namespace kovo::web
