#include "web/WebRemoteServer.h"

#include "web/ControlMessage.h"
#include "web/ReadoutNews.h"
#include "web/RemoteReceiver.h"

#include "net/GatedTcpServer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>

#include <array>

namespace kovo::web {
void registerResources();
namespace {

using Status = QHttpServerResponder::StatusCode;

// A connection that sends more than kMaxRequestBytes between two answers of
// the server is cut: no request of the page comes near it. The count is
// taken as data arrives, before the HTTP server (connected later) reads it.
// No more than kReadBufferBytes are taken from it at a time.
class BoundedSocket final : public QTcpSocket {
public:
    explicit BoundedSocket(QObject* parent) : QTcpSocket(parent) {
        setReadBufferSize(WebRemoteServer::kReadBufferBytes);
        connect(this, &QIODevice::readyRead, this, [this] {
            if ((unanswered_ += bytesAvailable()) > WebRemoteServer::kMaxRequestBytes)
                abort();
        });
    }

protected:
    qint64 writeData(const char* data, qint64 size) override {
        unanswered_ = 0;
        return QTcpSocket::writeData(data, size);
    }

private:
    qint64 unanswered_ = 0;
};

} // namespace

class RequestTcpServer final : public GatedTcpServer {
public:
    explicit RequestTcpServer(QObject* parent)
        : GatedTcpServer({WebRemoteServer::kMaxConnections,
                          WebRemoteServer::kMaxConnectionsPerAddress,
                          WebRemoteServer::kRequestTimeoutMs, 0},
                         parent) {}

protected:
    QTcpSocket* makeSocket() override { return new BoundedSocket(this); }
};

namespace {

struct Asset {
    const char* path;
    const char* resource;
    const char* mimeType;
};

// Everything the server hands out besides the read-outs: the page itself.
constexpr std::array<Asset, 4> kAssets{{
    {"/", ":/kovo/web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/kovo/web/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/kovo/web/style.css", "text/css; charset=utf-8"},
    {"/audio.js", ":/kovo/web/audio.js", "text/javascript; charset=utf-8"},
}};

const QHttpServerResponder::HeaderList& safetyHeaders() {
    static const QHttpServerResponder::HeaderList headers{
        {"Cache-Control", "no-store"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Content-Security-Policy",
         "default-src 'self'; connect-src 'self'; media-src 'self' blob:; frame-ancestors 'none'"},
    };
    return headers;
}

QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray headerValue(const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& key) {
    for (const auto& [name, value] : headers)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

bool isWebSocketUpgrade(const QList<QPair<QByteArray, QByteArray>>& headers) {
    return headerValue(headers, "Upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

// "Connection: close" (a list of options) asks for the connection to end
// with the answer.
bool asksToClose(const QList<QPair<QByteArray, QByteArray>>& headers) {
    for (const QByteArray& option : headerValue(headers, "Connection").split(','))
        if (option.trimmed().compare("close", Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QByteArray tokenOf(const QUrl& url) {
    return QUrlQuery(url).queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toUtf8();
}

} // namespace

struct WebRemoteServer::Client {
    Client(QWebSocket* s, int perSecond, int burst) : socket(s), rate(perSecond, burst) {}
    QWebSocket* socket;
    CommandRateLimit rate;
    QByteArray lastState;
    std::optional<AudioSource::ListenerId> listener;
    AudioForm listenForm = AudioForm::Opus;
    // Commands dropped over the rate limit in the current window.
    std::int64_t floodWindowStartMs = 0;
    int dropped = 0;
};

WebRemoteServer::WebRemoteServer(RemoteReceiver& receiver, QObject* parent)
    : QAbstractHttpServer(parent), receiver_(receiver) {
    registerResources();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    nowMs_ = [clock] { return clock->elapsed(); };
    hitsMessage_ = compact(
        {{QStringLiteral("type"), QStringLiteral("hits")}, {QStringLiteral("hits"), QJsonArray()}});
    pushTimer_.setSingleShot(true);
    pushTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pushTimer_, &QTimer::timeout, this, &WebRemoteServer::pushState);
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this,
            &WebRemoteServer::acceptWebSockets);
}

void WebRemoteServer::answer(const QHttpServerRequest& request, QTcpSocket* socket,
                             QHttpServerResponder::StatusCode status, const QByteArray& body,
                             const QByteArray& mimeType) {
    auto responder = makeResponder(request, socket);
    responder.writeStatusLine(status);
    responder.writeHeaders(safetyHeaders());
    responder.writeHeader("Content-Type", mimeType);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeBody(body);
}

WebRemoteServer::~WebRemoteServer() {
    while (!clients_.empty())
        dropClient(clients_.begin()->first);
}

std::optional<QString> WebRemoteServer::start(const QHostAddress& address, quint16 port) {
    auto* tcp = new RequestTcpServer(this);
    tcp->setClock(nowMs_);
    if (!tcp->listen(address, port)) {
        const QString reason = tcp->errorString();
        delete tcp;
        return reason;
    }
    bind(tcp);
    tcp_ = tcp;
    address_ = address;
    port_ = tcp->serverPort();
    news_ = receiver_.followChanges([this] { noteChange(); });
    return std::nullopt;
}

void WebRemoteServer::setClock(std::function<std::int64_t()> nowMs) {
    nowMs_ = std::move(nowMs);
    if (tcp_)
        tcp_->setClock(nowMs_);
}

void WebRemoteServer::closeIdleConnections() {
    if (tcp_)
        tcp_->closeIdle();
}

int WebRemoteServer::connectionCount() const {
    return tcp_ ? tcp_->connectionCount() : 0;
}

void WebRemoteServer::setToken(const QByteArray& token) {
    if (token == token_)
        return;
    token_ = token;
    while (!clients_.empty()) {
        QWebSocket* socket = clients_.begin()->first;
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                      QStringLiteral("The link was revoked."));
        dropClient(socket);
    }
}

// A browser sends the name it used to reach the server. Only this machine's
// own names and addresses are taken: a page of another site whose name was
// pointed at this machine (DNS rebinding) names itself and is refused.
bool WebRemoteServer::hostAllowed(const QByteArray& host) const {
    const QString text = QString::fromLatin1(host);
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0 || text.mid(colon + 1) != QString::number(port_))
        return false;
    QString name = text.left(colon);
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    if (name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QString& extra : extraHostNames_)
        if (name.compare(extra, Qt::CaseInsensitive) == 0)
            return true;
    const QHostAddress literal(name);
    if (literal.isNull())
        return false;
    // Bound to one address: that one (or the loopback) only.
    if (address_ != QHostAddress::Any && address_ != QHostAddress::AnyIPv4 &&
        address_ != QHostAddress::AnyIPv6)
        return literal.isEqual(address_, QHostAddress::ConvertV4MappedToIPv4) ||
               literal.isLoopback();
    return true;
}

bool WebRemoteServer::tokenMatches(const QByteArray& given) const {
    return !token_.isEmpty() &&
           sameSecret(std::string_view(given.constData(), std::size_t(given.size())),
                      std::string_view(token_.constData(), std::size_t(token_.size())));
}

bool WebRemoteServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const auto headers = request.headers();
    // A WebSocket handshake taken here (true, nothing written) is completed by
    // the WebSocket server, which hands the socket over for the same checks
    // (acceptWebSockets).
    if (isWebSocketUpgrade(headers))
        return true;
    if (tcp_)
        tcp_->noteActive(socket);
    // A new request while much of the last answer is still unsent: the
    // client asks without reading, and its answers would pile up.
    if (socket->bytesToWrite() > kMaxQueuedBytes) {
        socket->abort();
        return true;
    }
    serve(request, socket, headers);
    // Closed once the answer is out.
    if (asksToClose(headers))
        socket->disconnectFromHost();
    return true;
}

void WebRemoteServer::serve(const QHttpServerRequest& request, QTcpSocket* socket,
                            const QList<QPair<QByteArray, QByteArray>>& headers) {
    if (!hostAllowed(headerValue(headers, "Host"))) {
        answer(request, socket, Status::Forbidden,
               "This server answers to its own address only.\n");
        return;
    }
    // The page names no icon; a browser asks for one all the same.
    if (request.url().path() == QLatin1String("/favicon.ico")) {
        answer(request, socket, Status::NoContent, {});
        return;
    }
    if (!tokenMatches(tokenOf(request.url()))) {
        answer(request, socket, Status::Forbidden, "The access token is missing or wrong.\n");
        return;
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        answer(request, socket, Status::MethodNotAllowed, "Only GET is served.\n");
        return;
    }
    const QString path = request.url().path();
    if (path == QLatin1String("/api/state")) {
        QJsonObject state = receiver_.readouts();
        state.insert(QStringLiteral("hits"),
                     QJsonDocument::fromJson(hitsMessage_).object().value(QStringLiteral("hits")));
        answer(request, socket, Status::Ok, compact(state), "application/json");
        return;
    }
    if (path == QLatin1String("/recording")) {
        serveRecording(request, socket);
        return;
    }
    serveAsset(request, socket, path);
}

void WebRemoteServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (isWebSocketUpgrade(request.headers()))
        return;
    answer(request, socket, Status::NotFound, "Not found.\n");
}

void WebRemoteServer::serveAsset(const QHttpServerRequest& request, QTcpSocket* socket,
                                 const QString& path) {
    for (const Asset& asset : kAssets) {
        if (path != QLatin1String(asset.path))
            continue;
        QFile file(QString::fromLatin1(asset.resource));
        if (!file.open(QIODevice::ReadOnly))
            break;
        QByteArray body = file.readAll();
        // The page's links carry the token (hexadecimal: safe in HTML).
        body.replace("@TOKEN@", token_);
        answer(request, socket, Status::Ok, body, asset.mimeType);
        return;
    }
    missingHandler(request, socket);
}

// A recording of one of the hits shown: the file named by the history store,
// never a path from the request.
void WebRemoteServer::serveRecording(const QHttpServerRequest& request, QTcpSocket* socket) {
    bool ok = false;
    const qint64 id = request.query().queryItemValue(QStringLiteral("id")).toLongLong(&ok);
    const auto found = ok ? recordings_.find(id) : recordings_.end();
    QFile file(found == recordings_.end() ? QString() : found->second);
    constexpr qint64 kMaxRecordingBytes = 64LL * 1024 * 1024;
    if (found == recordings_.end() || file.size() > kMaxRecordingBytes ||
        !file.open(QIODevice::ReadOnly)) {
        missingHandler(request, socket);
        return;
    }
    const QString suffix = QFileInfo(file).suffix().toLower();
    const QByteArray mime = suffix == QLatin1String("wav")    ? "audio/wav"
                            : suffix == QLatin1String("ogg")  ? "audio/ogg"
                            : suffix == QLatin1String("opus") ? "audio/ogg"
                            : suffix == QLatin1String("mp3")  ? "audio/mpeg"
                                                              : "application/octet-stream";
    answer(request, socket, Status::Ok, file.readAll(), mime);
}

void WebRemoteServer::acceptWebSockets() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> owned = nextPendingWebSocketConnection();
        QWebSocket* socket = owned.release();
        socket->setParent(this);
        connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
        const QNetworkRequest handshake = socket->request();
        const QByteArray host = handshake.rawHeader("Host");
        const QString origin = socket->origin();
        // A browser always names the page that opened the socket: it must be
        // a page of this server.
        const bool originOk =
            origin.isEmpty() || origin == QLatin1String("http://") + QString::fromLatin1(host);
        QString refusal;
        if (!hostAllowed(host) || !originOk)
            refusal = QStringLiteral("Foreign host or origin.");
        else if (!tokenMatches(tokenOf(handshake.url())))
            refusal = QStringLiteral("The access token is missing or wrong.");
        else if (clients_.size() >= std::size_t(kMaxClients))
            refusal = QStringLiteral("Too many pages are open.");
        if (!refusal.isEmpty()) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, refusal);
            continue;
        }
        socket->setMaxAllowedIncomingMessageSize(quint64(kMaxSocketMessageBytes));
        socket->setMaxAllowedIncomingFrameSize(quint64(kMaxSocketMessageBytes));
        socket->setReadBufferSize(kReadBufferBytes);
        // An open page is closed by its own limits, never for idling.
        if (tcp_)
            tcp_->keep(socket->peerAddress(), socket->peerPort());
        auto client = std::make_unique<Client>(socket, kCommandsPerSecond, kCommandBurst);
        Client& ref = *client;
        clients_.emplace(socket, std::move(client));
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, &ref](const QString& text) { onText(ref, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [socket] {
            socket->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported,
                          QStringLiteral("The page sends text only."));
        });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropClient(socket); });
        send(ref, QString::fromUtf8(audioMessage()));
        QJsonObject state = receiver_.readouts();
        ref.lastState = compact(state);
        state.insert(QStringLiteral("type"), QStringLiteral("state"));
        send(ref, QString::fromUtf8(compact(state)));
        sendHits(ref);
    }
}

void WebRemoteServer::onText(Client& client, const QString& text) {
    const std::int64_t now = nowMs_();
    // Over the limit, nothing of the message is looked at.
    if (!client.rate.allow(now)) {
        dropFlood(client, text, now);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    const auto message =
        parseControlMessage(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    QJsonObject reply{
        {QStringLiteral("type"), QStringLiteral("reply")},
        {QStringLiteral("command"), QString::fromUtf8(utf8.left(int(kMaxControlMessageBytes)))}};
    QString error;
    if (!message)
        error = QStringLiteral("Unknown command.");
    else if (message->verb == ControlVerb::Listen)
        error = setListening(client, message->number == 1, message->audioForm);
    else {
        error = receiver_.execute(*message);
        // A hold of the page's own shows without any notice of the core.
        noteChange();
    }
    reply.insert(QStringLiteral("ok"), error.isEmpty());
    if (!error.isEmpty())
        reply.insert(QStringLiteral("error"), error);
    send(client, QString::fromUtf8(compact(reply)));
}

// The page hears once a window that its commands are dropped; a page that
// goes on sending many more than it may is closed.
void WebRemoteServer::dropFlood(Client& client, const QString& text, std::int64_t nowMs) {
    if (client.dropped == 0 || nowMs - client.floodWindowStartMs >= kFloodWindowMs) {
        client.floodWindowStartMs = nowMs;
        client.dropped = 0;
    }
    if (++client.dropped > kMaxDroppedPerWindow) {
        QWebSocket* socket = client.socket;
        dropClient(socket);
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                      QStringLiteral("Too many commands."));
        // A page that does not answer the close does not keep its socket.
        QTimer::singleShot(kFloodWindowMs, socket, [socket] { socket->abort(); });
        return;
    }
    if (client.dropped > 1)
        return;
    const QJsonObject reply{
        {QStringLiteral("type"), QStringLiteral("reply")},
        {QStringLiteral("command"), text.left(int(kMaxControlMessageBytes))},
        {QStringLiteral("ok"), false},
        {QStringLiteral("error"), QStringLiteral("Too many commands; wait a moment.")}};
    send(client, QString::fromUtf8(compact(reply)));
}

bool WebRemoteServer::overQueued(QWebSocket* socket) {
    if (socket->bytesToWrite() <= kMaxQueuedBytes)
        return false;
    // A page that does not read what it is sent: everything queued for it
    // goes with it.
    socket->abort();
    dropClient(socket);
    return true;
}

void WebRemoteServer::send(Client& client, const QString& text) {
    QWebSocket* socket = client.socket;
    if (!overQueued(socket))
        socket->sendTextMessage(text);
}

void WebRemoteServer::sendBinary(QWebSocket* socket, const QByteArray& frame) {
    if (clients_.contains(socket) && !overQueued(socket))
        socket->sendBinaryMessage(frame);
}

// A page listens in one form at a time; asking for another switches it.
QString WebRemoteServer::setListening(Client& client, bool on, AudioForm form) {
    if (!on) {
        if (client.listener && audio_)
            audio_->removeListener(*client.listener);
        client.listener.reset();
        return {};
    }
    if (client.listener && client.listenForm == form)
        return {};
    if (!audio_ || !audio_->isAvailable())
        return QStringLiteral("Audio is not available.");
    if (!client.listener)
        client.listener = nextListenerId_++;
    client.listenForm = form;
    QWebSocket* socket = client.socket;
    audio_->addListener(*client.listener, form,
                        [this, socket](const QByteArray& frame) { sendBinary(socket, frame); });
    return {};
}

// Runs inside the core's notices, which come with every report of a
// scan: it only arms the push, which reads the read-outs once for all the
// notices of the burst.
void WebRemoteServer::noteChange() {
    if (clients_.empty())
        return;
    if (const auto delayMs = pacer_.changed(nowMs_()))
        pushTimer_.start(int(*delayMs));
}

// Each page gets the read-outs only when they differ from what it has.
void WebRemoteServer::pushState() {
    if (clients_.empty()) {
        pacer_.nothingToPush();
        return;
    }
    const QJsonObject readouts = receiver_.readouts();
    const QByteArray key = compact(readouts);
    QJsonObject message = readouts;
    message.insert(QStringLiteral("type"), QStringLiteral("state"));
    const QString text = QString::fromUtf8(compact(message));
    bool sent = false;
    for (Client* client : clientList()) {
        if (client->lastState == key)
            continue;
        client->lastState = key;
        send(*client, text);
        sent = true;
    }
    if (!sent) {
        pacer_.nothingToPush();
        return;
    }
    pacer_.pushed(nowMs_());
    emit statePushed();
}

void WebRemoteServer::setHits(const QJsonArray& hits,
                              const std::map<std::int64_t, QString>& recordings) {
    recordings_ = recordings;
    hitsMessage_ =
        compact({{QStringLiteral("type"), QStringLiteral("hits")}, {QStringLiteral("hits"), hits}});
    for (Client* client : clientList())
        sendHits(*client);
}

void WebRemoteServer::sendHits(Client& client) {
    send(client, QString::fromUtf8(hitsMessage_));
}

QByteArray WebRemoteServer::audioMessage(const QString& problem) const {
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("audio")},
                        {QStringLiteral("available"), audio_ != nullptr && audio_->isAvailable()}};
    if (!problem.isEmpty())
        message.insert(QStringLiteral("problem"), problem);
    return compact(message);
}

void WebRemoteServer::reportAudioProblem(const QString& message) {
    const QString text = QString::fromUtf8(audioMessage(message));
    for (Client* client : clientList())
        if (client->listener)
            send(*client, text);
}

// The pages now; a send may close one while the list is walked.
std::vector<WebRemoteServer::Client*> WebRemoteServer::clientList() const {
    std::vector<Client*> list;
    for (const auto& [socket, client] : clients_)
        list.push_back(client.get());
    return list;
}

void WebRemoteServer::dropClient(QWebSocket* socket) {
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    if (it->second->listener && audio_)
        audio_->removeListener(*it->second->listener);
    socket->disconnect(this);
    clients_.erase(it);
}

} // namespace kovo::web
