#include "ipc/WindowBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QRandomGenerator>

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

bool WindowBus::open() {
    if (own_ != kNoWindow)
        return true;
    if (!connection_.isConnected())
        return false;
    for (int i = 0; i < kHandleAttempts; ++i) {
        const WindowHandle candidate = QRandomGenerator::system()->bounded(1u, kMaxWindowHandle);
        if (!connection_.registerService(serviceName(candidate)))
            continue; // taken: choose again
        if (!connection_.registerObject(QString::fromLatin1(kPath), this,
                                        QDBusConnection::ExportAdaptors)) {
            connection_.unregisterService(serviceName(candidate));
            return false;
        }
        own_ = candidate;
        return true;
    }
    return false;
}

QStringList WindowBus::handleNames() const {
    QStringList names;
    for (Message m : handles_)
        names << toQString(messageName(m));
    return names;
}

std::int32_t WindowBus::deliver(const QString& message, std::uint32_t wParam,
                                std::uint32_t lParam) {
    const auto m = messageNamed(message.toStdString());
    if (!m || !handles_.contains(*m) || !handler_)
        return 0;
    return handler_(*m, wParam, lParam);
}

bool WindowBus::quiet(WindowHandle window) const {
    const auto found = quietPeers_.constFind(window);
    return found != quietPeers_.constEnd() && !found->hasExpired();
}

void WindowBus::noteSilence(WindowHandle window) {
    quietPeers_.insert(window, QDeadlineTimer(kQuietPeerMs));
}

std::int32_t WindowBus::send(WindowHandle to, Message m, std::uint32_t wParam,
                             std::uint32_t lParam) {
    if (to == kNoWindow || to > kMaxWindowHandle)
        return 0;
    // A peer may name this very window: the message is handled here, as
    // the bus would, without waiting on ourselves.
    if (to == own_)
        return deliver(toQString(messageName(m)), wParam, lParam);
    if (!connection_.isConnected())
        return 0;
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName(to), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kInterface), QStringLiteral("Send"));
    call << toQString(messageName(m)) << uint(wParam) << uint(lParam);
    const QDBusMessage reply =
        connection_.call(call, serveWhileWaiting_ ? QDBus::BlockWithGui : QDBus::Block, timeoutMs_);
    if (timedOut(reply))
        noteSilence(to);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return 0;
    bool ok = false;
    const int result = reply.arguments().first().toInt(&ok);
    return ok && reply.arguments().first().userType() == QMetaType::Int ? result : 0;
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
