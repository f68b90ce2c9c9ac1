#pragma once
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

#include "ipc/Messages.h"

namespace kovo::ipc {

// One window on the D-Bus session bus: it owns the name
// org.fennelworks.Window.h<HANDLE> and exports /window with the interface
// org.fennelworks.Window1 (Send, Title, Handles). It sends to other windows
// the same way: one name, or every name under the prefix but its own.
// The program only posts (it never waits on a peer, so it keeps answering
// calls while its own are out); the command-line tools also send and wait.
// A peer that let a call time out is left alone for a while, whichever way
// it is reached.
class WindowBus final : public QObject, public MessageSender, protected QDBusContext {
    Q_OBJECT
public:
    using Handler = std::function<std::int32_t(Message, std::uint32_t, std::uint32_t)>;
    static constexpr const char* kNamePrefix = "org.fennelworks.Window.h";
    static constexpr const char* kInterface = "org.fennelworks.Window1";
    static constexpr const char* kPath = "/window";
    // A peer that has not answered after this long counts as an answer of 0.
    static constexpr int kReplyTimeoutMs = 5000;
    // A peer that did not answer is sent nothing for this long.
    static constexpr int kQuietPeerMs = 60000;

    WindowBus(QDBusConnection connection, QList<Message> handles, Handler handler,
              std::function<QString()> title, QObject* parent = nullptr);
    ~WindowBus() override;

    // Takes a free handle and exports the window; false without a bus.
    // With `learnTitles` it first learns the titles of the windows there
    // and then of every window that comes (see knownWindowTitled).
    bool open(bool learnTitles = false);
    bool isOpen() const { return own_ != kNoWindow; }
    // Keep handling incoming calls while waiting for an answer (a client
    // that is called back in the middle of its own call needs this).
    void setServeWhileWaiting(bool serve) { serveWhileWaiting_ = serve; }
    void setReplyTimeout(int ms) { timeoutMs_ = ms; }

    // Sends and waits for the answer (0 when there is none).
    std::int32_t send(WindowHandle to, Message m, std::uint32_t wParam, std::uint32_t lParam);
    std::int32_t broadcast(Message m, std::uint32_t wParam, std::uint32_t lParam);

    // MessageSender: sends without waiting. A message to this very window
    // is handled here once the current event is over.
    void post(WindowHandle to, Message m, std::uint32_t wParam, std::uint32_t lParam,
              Reply reply = {}) override;
    void postToAll(Message m, std::uint32_t wParam, std::uint32_t lParam) override;
    WindowHandle ownWindow() const override { return own_; }

    // Waits at most `ms` for the answers to what was posted, so that a
    // program about to end has its last messages out of the door.
    void settle(int ms);
    // Called when another window leaves the bus.
    void setWindowLeft(std::function<void(WindowHandle)> left) { windowLeft_ = std::move(left); }
    bool quiet(WindowHandle window) const;

    // The windows on the bus other than this one.
    QList<WindowHandle> otherWindows() const;
    // The first other window whose title is `title`.
    std::optional<WindowHandle> findWindow(const QString& title);
    // The same from what this window has learnt without waiting: the titles
    // of the windows there at open, and of each window that came since.
    std::optional<WindowHandle> knownWindowTitled(const QString& title) const;
    // Another window's title and handled messages (empty when it does not answer).
    QString titleOf(WindowHandle window);
    QStringList handlesOf(WindowHandle window);

    static QString serviceName(WindowHandle window);
    static std::optional<WindowHandle> handleOfService(const QString& service);

    // The adaptor's side. `caller` is the unique bus name of the sender.
    std::int32_t deliver(const QString& message, std::uint32_t wParam, std::uint32_t lParam,
                         const QString& caller = {});
    // A call that came over the bus (the adaptor's Send).
    std::int32_t deliverFromBus(const QString& message, std::uint32_t wParam, std::uint32_t lParam);
    // While a message is handled: whether window `window` sent it.
    bool callerIs(WindowHandle window) const;
    // While a message is handled: its sender gets no answer at all (the
    // program is ending; the sender learns that from the bus).
    void withholdReply() { withholdReply_ = true; }
    QString title() const { return title_ ? title_() : QString(); }
    QStringList handleNames() const;

private slots:
    void nameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    QVariant property(WindowHandle window, const char* name);
    QDBusMessage callTo(WindowHandle to, Message m, std::uint32_t wParam,
                        std::uint32_t lParam) const;
    void answerLater(Reply reply, std::int32_t result);
    QDBusMessage titleCall(WindowHandle window) const;
    void learnTitlesOfWindowsPresent();
    void learnTitle(WindowHandle window);
    void noteSilence(WindowHandle window);

    QDBusConnection connection_;
    QList<Message> handles_;
    Handler handler_;
    std::function<QString()> title_;
    WindowHandle own_ = kNoWindow;
    bool serveWhileWaiting_ = false;
    int timeoutMs_ = kReplyTimeoutMs;
    QHash<WindowHandle, QDeadlineTimer> quietPeers_;
    std::function<void(WindowHandle)> windowLeft_;
    QHash<WindowHandle, QString> titles_;
    bool learnTitles_ = false;
    QString caller_;
    bool withholdReply_ = false;
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
        return bus_.deliverFromBus(message, wParam, lParam);
    }

private:
    WindowBus& bus_;
};

} // namespace kovo::ipc
