#include "ipc/WindowBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QRandomGenerator>
#include <QThread>

namespace kovo::ipc {
namespace {

constexpr int kHandleAttempts = 32;

QString toQString(std::string_view s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

bool timedOut(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ErrorMessage &&
           (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout"));
}

// The handler's result in a reply; anything else counts as 0.
std::int32_t resultOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return 0;
    bool ok = false;
    const int result = reply.arguments().first().toInt(&ok);
    return ok && reply.arguments().first().userType() == QMetaType::Int ? result : 0;
}

} // namespace

WindowBus::WindowBus(QDBusConnection connection, QList<Message> handles, Handler handler,
                     std::function<QString()> title, QObject* parent)
    : QObject(parent), connection_(std::move(connection)), handles_(std::move(handles)),
      handler_(std::move(handler)), title_(std::move(title)) {
    new WindowAdaptor(*this);
}

WindowBus::~WindowBus() {
    if (own_ != kNoWindow) {
        connection_.unregisterObject(QString::fromLatin1(kPath));
        connection_.unregisterService(serviceName(own_));
    }
}

QString WindowBus::serviceName(WindowHandle window) {
    return QString::fromLatin1(kNamePrefix) + QString::number(window);
}

std::optional<WindowHandle> WindowBus::handleOfService(const QString& service) {
    if (!service.startsWith(QLatin1String(kNamePrefix)))
        return std::nullopt;
    const QString digits = service.mid(qsizetype(qstrlen(kNamePrefix)));
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 10);
    if (!ok || value == 0 || value > kMaxWindowHandle || digits != QString::number(value))
        return std::nullopt;
    return WindowHandle(value);
}

// The titles of the windows already there are learnt before this window
// joins: none of them can be waiting on it meanwhile, so asking them all at
// once costs one timeout at most.
bool WindowBus::open(bool learnTitles) {
    if (own_ != kNoWindow)
        return true;
    if (!connection_.isConnected())
        return false;
    learnTitles_ = learnTitles;
    // Windows that come or go from now on are seen.
    connection_.connect(QStringLiteral("org.freedesktop.DBus"),
                        QStringLiteral("/org/freedesktop/DBus"),
                        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"),
                        this, SLOT(nameOwnerChanged(QString, QString, QString)));
    if (learnTitles_)
        learnTitlesOfWindowsPresent();
    // The object is there before the name, so whoever sees the name can ask.
    if (!connection_.registerObject(QString::fromLatin1(kPath), this,
                                    QDBusConnection::ExportAdaptors))
        return false;
    for (int i = 0; i < kHandleAttempts; ++i) {
        const WindowHandle candidate = QRandomGenerator::system()->bounded(1u, kMaxWindowHandle);
        if (connection_.registerService(serviceName(candidate))) {
            own_ = candidate;
            return true;
        }
    }
    connection_.unregisterObject(QString::fromLatin1(kPath));
    return false;
}

QDBusMessage WindowBus::titleCall(WindowHandle window) const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName(window), QString::fromLatin1(kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(kInterface) << QStringLiteral("Title");
    return call;
}

void WindowBus::learnTitlesOfWindowsPresent() {
    QList<std::pair<WindowHandle, QDBusPendingCall>> calls;
    for (WindowHandle window : otherWindows())
        calls.append({window, connection_.asyncCall(titleCall(window), timeoutMs_)});
    for (auto& [window, call] : calls) {
        call.waitForFinished();
        const QDBusMessage reply = call.reply();
        if (timedOut(reply))
            noteSilence(window);
        else if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1)
            titles_.insert(window,
                           reply.arguments().first().value<QDBusVariant>().variant().toString());
    }
}

void WindowBus::learnTitle(WindowHandle window) {
    auto* watcher =
        new QDBusPendingCallWatcher(connection_.asyncCall(titleCall(window), timeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, window](QDBusPendingCallWatcher* finished) {
                const QDBusMessage reply = finished->reply();
                finished->deleteLater();
                if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1)
                    titles_.insert(
                        window,
                        reply.arguments().first().value<QDBusVariant>().variant().toString());
            });
}

std::optional<WindowHandle> WindowBus::knownWindowTitled(const QString& title) const {
    for (auto it = titles_.constBegin(); it != titles_.constEnd(); ++it)
        if (it.value() == title)
            return it.key();
    return std::nullopt;
}

void WindowBus::nameOwnerChanged(const QString& name, const QString&, const QString& newOwner) {
    const auto window = handleOfService(name);
    if (!window || *window == own_)
        return;
    if (!newOwner.isEmpty()) {
        if (learnTitles_)
            learnTitle(*window);
        return;
    }
    quietPeers_.remove(*window);
    titles_.remove(*window);
    if (windowLeft_)
        windowLeft_(*window);
}

QStringList WindowBus::handleNames() const {
    QStringList names;
    for (Message m : handles_)
        names << toQString(messageName(m));
    return names;
}

std::int32_t WindowBus::deliver(const QString& message, std::uint32_t wParam, std::uint32_t lParam,
                                const QString& caller) {
    const auto m = messageNamed(message.toStdString());
    if (!m || !handles_.contains(*m) || !handler_)
        return 0;
    // Deliveries nest when a handler waits with serving switched on.
    const QString outer = std::exchange(caller_, caller);
    const std::int32_t result = handler_(*m, wParam, lParam);
    caller_ = outer;
    return result;
}

// The bus gives the call's context to the adaptor's parent: this object.
std::int32_t WindowBus::deliverFromBus(const QString& message, std::uint32_t wParam,
                                       std::uint32_t lParam) {
    const bool fromBus = calledFromDBus();
    const std::int32_t result =
        deliver(message, wParam, lParam, fromBus ? QDBusContext::message().service() : QString());
    if (std::exchange(withholdReply_, false) && fromBus)
        setDelayedReply(true);
    return result;
}

bool WindowBus::callerIs(WindowHandle window) const {
    if (caller_.isEmpty() || window == kNoWindow || !connection_.interface())
        return false;
    return connection_.interface()->serviceOwner(serviceName(window)).value() == caller_;
}

bool WindowBus::quiet(WindowHandle window) const {
    const auto found = quietPeers_.constFind(window);
    return found != quietPeers_.constEnd() && !found->hasExpired();
}

void WindowBus::noteSilence(WindowHandle window) {
    quietPeers_.insert(window, QDeadlineTimer(kQuietPeerMs));
}

QDBusMessage WindowBus::callTo(WindowHandle to, Message m, std::uint32_t wParam,
                               std::uint32_t lParam) const {
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName(to), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kInterface), QStringLiteral("Send"));
    call << toQString(messageName(m)) << uint(wParam) << uint(lParam);
    return call;
}

std::int32_t WindowBus::send(WindowHandle to, Message m, std::uint32_t wParam,
                             std::uint32_t lParam) {
    if (to == kNoWindow || to > kMaxWindowHandle)
        return 0;
    // A peer may name this very window: the message is handled here, as
    // the bus would, without waiting on ourselves.
    if (to == own_)
        return deliver(toQString(messageName(m)), wParam, lParam);
    if (!connection_.isConnected() || quiet(to))
        return 0;
    const QDBusMessage reply =
        connection_.call(callTo(to, m, wParam, lParam),
                         serveWhileWaiting_ ? QDBus::BlockWithGui : QDBus::Block, timeoutMs_);
    if (timedOut(reply))
        noteSilence(to);
    return resultOf(reply);
}

// Answers never come back inside the call that posted: a caller sees the
// same order of events whether or not the peer is there.
void WindowBus::answerLater(Reply reply, std::int32_t result) {
    if (reply)
        QMetaObject::invokeMethod(
            this, [reply = std::move(reply), result] { reply(result); }, Qt::QueuedConnection);
}

void WindowBus::post(WindowHandle to, Message m, std::uint32_t wParam, std::uint32_t lParam,
                     Reply reply) {
    if (to != kNoWindow && to == own_) {
        QMetaObject::invokeMethod(
            this,
            [this, m, wParam, lParam, reply = std::move(reply)] {
                const std::int32_t result = deliver(toQString(messageName(m)), wParam, lParam);
                if (reply)
                    reply(result);
            },
            Qt::QueuedConnection);
        return;
    }
    if (to == kNoWindow || to > kMaxWindowHandle || !connection_.isConnected() || quiet(to)) {
        answerLater(std::move(reply), 0);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        connection_.asyncCall(callTo(to, m, wParam, lParam), timeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, to, reply = std::move(reply)](QDBusPendingCallWatcher* finished) {
                const QDBusMessage answer = finished->reply();
                finished->deleteLater();
                if (timedOut(answer))
                    noteSilence(to);
                if (reply)
                    reply(resultOf(answer));
            });
}

void WindowBus::postToAll(Message m, std::uint32_t wParam, std::uint32_t lParam) {
    for (WindowHandle window : otherWindows())
        if (!quiet(window))
            post(window, m, wParam, lParam);
}

void WindowBus::settle(int ms) {
    const QDeadlineTimer deadline(ms);
    const auto calls = findChildren<QDBusPendingCallWatcher*>(Qt::FindDirectChildrenOnly);
    for (QDBusPendingCallWatcher* call : calls)
        while (!call->isFinished() && !deadline.hasExpired())
            QThread::msleep(2);
}

QList<WindowHandle> WindowBus::otherWindows() const {
    QList<WindowHandle> windows;
    if (!connection_.isConnected() || !connection_.interface())
        return windows;
    const QStringList names = connection_.interface()->registeredServiceNames().value();
    for (const QString& name : names) {
        const auto handle = handleOfService(name);
        if (handle && *handle != own_)
            windows << *handle;
    }
    return windows;
}

std::int32_t WindowBus::broadcast(Message m, std::uint32_t wParam, std::uint32_t lParam) {
    std::int32_t last = 0;
    const QList<WindowHandle> windows = otherWindows();
    // Marks of windows that have left the bus go with them.
    for (auto it = quietPeers_.begin(); it != quietPeers_.end();)
        it = windows.contains(it.key()) ? std::next(it) : quietPeers_.erase(it);
    for (WindowHandle window : windows)
        if (!quiet(window))
            last = send(window, m, wParam, lParam);
    return last;
}

QVariant WindowBus::property(WindowHandle window, const char* name) {
    if (!connection_.isConnected() || quiet(window))
        return {};
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName(window), QString::fromLatin1(kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(kInterface) << QString::fromLatin1(name);
    const QDBusMessage reply =
        connection_.call(call, serveWhileWaiting_ ? QDBus::BlockWithGui : QDBus::Block, timeoutMs_);
    if (timedOut(reply))
        noteSilence(window);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QString WindowBus::titleOf(WindowHandle window) {
    const QVariant v = property(window, "Title");
    return v.userType() == QMetaType::QString ? v.toString() : QString();
}

QStringList WindowBus::handlesOf(WindowHandle window) {
    const QVariant v = property(window, "Handles");
    return v.userType() == QMetaType::QStringList ? v.toStringList() : QStringList();
}

std::optional<WindowHandle> WindowBus::findWindow(const QString& title) {
    for (WindowHandle window : otherWindows())
        if (titleOf(window) == title)
            return window;
    return std::nullopt;
}

} // namespace kovo::ipc
