#pragma once
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

#include "ipc/WindowBus.h"

namespace kovo::ipc::test {

// A window of another program: its own bus connection, answering on its
// own thread, with a handler that may take its time.
class PeerWindow {
public:
    // What the peer does with a message before it answers, on its own thread.
    using Reaction = std::function<void(WindowBus& own, std::uint32_t code, std::uint32_t value)>;
    explicit PeerWindow(const QString& name, std::int32_t answer = 1, int delayMs = 0,
                        QString title = QStringLiteral("peer"), Reaction react = {})
        : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
        bus_ = std::make_unique<WindowBus>(
            connection_, QList<Message>{Message::KovoStatus, Message::BromControl},
            [this, answer, delayMs, react](Message, std::uint32_t code, std::uint32_t value) {
                if (delayMs)
                    QThread::msleep(delayMs);
                if (react)
                    react(*bus_, code, value);
                lastCode = code;
                lastValue = value;
                ++calls;
                return answer;
            },
            [title] { return title; });
        EXPECT_TRUE(bus_->open());
        bus_->moveToThread(&thread_);
        thread_.start();
    }
    ~PeerWindow() {
        thread_.quit();
        thread_.wait();
        bus_.reset();
        QDBusConnection::disconnectFromBus(connection_.name());
    }
    WindowHandle handle() const { return bus_->ownWindow(); }
    // For calls from the test's thread (they block it, never the peer).
    WindowBus& bus() { return *bus_; }
    std::atomic<std::uint32_t> lastCode{0}, lastValue{0};
    std::atomic<int> calls{0};

private:
    QDBusConnection connection_;
    QThread thread_;
    std::unique_ptr<WindowBus> bus_;
};

} // namespace kovo::ipc::test
