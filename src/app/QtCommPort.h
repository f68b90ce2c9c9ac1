#pragma once
#include "link/CommPort.h"
#include "net/PortTransport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

namespace kovo {

// The program's serial port. Each opening builds the transport for the port
// description it was given (a serial device, raw TCP or TCP with COM-port
// control), unless an override device path is set (a simulator's
// pseudo-terminal in demo mode or in tests).
//
// Received bytes collect in a receive buffer of InBufferSize bytes. A receive
// event is raised once at least RThreshold bytes wait (0: no receive events);
// if more than InBufferSize bytes pile up unread they are thrown away and an
// overflow event is raised instead, so a flood from the line cannot grow memory
// without bound. A device or connection that goes away closes the port and
// raises CommEventDeviceLost once. Every event is delivered from the Qt event
// loop, never from inside a call into this object. Bytes left below the
// threshold with nothing more to read (a lone last byte) are reported as soon
// as they are read.
class QtCommPort final : public QObject, public CommPort {
    Q_OBJECT
public:
    explicit QtCommPort(QObject* parent = nullptr);
    ~QtCommPort() override;

    void setPort(const PortDescription& port) override;
    void setLine(const LineSetting& line) override;
    void setInBufferSize(int bytes) override;
    void setOutBufferSize(int bytes) override;
    void setInBufferCount(int count) override;
    void setOutBufferCount(int count) override;
    void setNullDiscard(bool discard) override;
    void setRThreshold(int bytes) override;
    void setSThreshold(int bytes) override;
    void setEventCharacter(char c) override;

    bool portOpen() const override;
    void setPortOpen(bool open) override;

    void output(const std::string& text) override;
    std::string input() override;

    void setEventHandler(EventHandler handler) override;
    std::string lastError() const override { return lastError_.toStdString(); }
    std::optional<ReceiverFeatures> receiverFeatures() const override;

    // An empty path returns to the port description.
    void setDevicePathOverride(const std::string& path);
    // What the next opening opens.
    PortDescription description() const;
    // Bytes waiting in the receive buffer.
    int inBufferCount() const;
    // The transport of the open port (nothing while closed).
    PortTransport* transport() const { return transport_; }

private:
    void readIncoming();
    void onLost(const QString& why);
    void closePort();
    void queueEvent(int code);
    void queueReceiveEventIfDue();
    bool receiveEventDue() const;

    QPointer<PortTransport> transport_;
    QByteArray received_;
    EventHandler handler_;

    std::string devicePathOverride_;
    PortDescription port_;
    LineSetting line_;
    int inBufferSize_ = 4096;
    int outBufferSize_ = 1024;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool nullDiscard_ = false;
    char eventCharacter_ = '\0';

    // Bumped on every open and close so that events queued for an earlier
    // opening are dropped.
    quint64 session_ = 0;
    bool receiveEventQueued_ = false;
    QString lastError_;
};

} // namespace kovo
