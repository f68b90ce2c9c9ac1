#pragma once
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

#include "ipc/Messages.h"

namespace kovo::ipc {

// One window on the D-Bus session bus: it owns the name
// org.fennelworks.Window.h<HANDLE> and exports /window with the interface
// org.fennelworks.Window1 (Send, Title, Handles). It sends to other windows
// the same way: one name, or every name under the prefix but its own.
class WindowBus final : public QObject, public MessageSender {
    Q_OBJECT
public:
    using Handler = std::function<std::int32_t(Message, std::uint32_t, std::uint32_t)>;
    static constexpr const char* kNamePrefix = "org.fennelworks.Window.h";
    static constexpr const char* kInterface = "org.fennelworks.Window1";
    static constexpr const char* kPath = "/window";
    // A peer that has not answered after this long counts as an answer of 0.
    static constexpr int kReplyTimeoutMs = 5000;
    // A peer that did not answer is left out of broadcasts for this long.
    static constexpr int kQuietPeerMs = 60000;

    WindowBus(QDBusConnection connection, QList<Message> handles, Handler handler,
              std::function<QString()> title, QObject* parent = nullptr);
    ~WindowBus() override;

    // Takes a free handle and exports the window; false without a bus.
    bool open();
    bool isOpen() const { return own_ != kNoWindow; }
    // Keep handling incoming calls while waiting for an answer (a client
    // that is called back in the middle of its own call needs this).
    void setServeWhileWaiting(bool serve) { serveWhileWaiting_ = serve; }
    void setReplyTimeout(int ms) { timeoutMs_ = ms; }

    std::int32_t send(WindowHandle to, Message m, std::uint32_t wParam,
                      std::uint32_t lParam) override;
    std::int32_t broadcast(Message m, std::uint32_t wParam, std::uint32_t lParam) override;
    WindowHandle ownWindow() const override { return own_; }

    // The windows on the bus other than this one.
    QList<WindowHandle> otherWindows() const;
    // The first other window whose title is `title`.
    std::optional<WindowHandle> findWindow(const QString& title);
    // Another window's title and handled messages (empty when it does not answer).
    QString titleOf(WindowHandle window);
    QStringList handlesOf(WindowHandle window);

    static QString serviceName(WindowHandle window);
    static std::optional<WindowHandle> handleOfService(const QString& service);

    // The adaptor's side.
    std::int32_t deliver(const QString& message, std::uint32_t wParam, std::uint32_t lParam);
    QString title() const { return title_ ? title_() : QString(); }
    QStringList handleNames() const;

private:
    QVariant property(WindowHandle window, const char* name);
    bool quiet(WindowHandle window) const;
    void noteSilence(WindowHandle window);

    QDBusConnection connection_;
    QList<Message> handles_;
    Handler handler_;
    std::function<QString()> title_;
    WindowHandle own_ = kNoWindow;
    bool serveWhileWaiting_ = false;
    int timeoutMs_ = kReplyTimeoutMs;
    QHash<WindowHandle, QDeadlineTimer> quietPeers_;
};

// The exported interface of a WindowBus.
class WindowAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fennelworks.Window1")
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QStringList Handles READ handles)
public:
    explicit WindowAdaptor(WindowBus& bus) : QDBusAbstractAdaptor(&bus), bus_(bus) {}
    QString title() const { return bus_.title(); }
    QStringList handles() const { return bus_.handleNames(); }

public slots:
    int Send(const QString& message, uint wParam, uint lParam) {
        return bus_.deliver(message, wParam, lParam);
    }

private:
    WindowBus& bus_;
};

} // namespace kovo::ipc
