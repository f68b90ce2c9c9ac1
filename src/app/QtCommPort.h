#pragma once
#include "data/AppSettings.h"
#include "link/CommPort.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

namespace kovo {

// The serial port of the program on QSerialPort. COM n opens the device path
// configured for it ("Com<n>Device"), unless an override path is set (a
// simulator's pseudo-terminal in demo mode or in tests).
//
// Received bytes collect in a receive buffer of InBufferSize bytes. A receive
// event is raised once at least RThreshold bytes wait (0: no receive events);
// if more than InBufferSize bytes pile up unread they are thrown away and an
// overflow event is raised instead, so a flood from the line cannot grow memory
// without bound. A device that disappears closes the port and raises
// CommEventDeviceLost once. Every event is delivered from the Qt event loop,
// never from inside a call into this object.
class QtCommPort final : public QObject, public CommPort {
    Q_OBJECT
public:
    explicit QtCommPort(const AppSettings& settings, QObject* parent = nullptr);
    ~QtCommPort() override;

    void setCommPort(int portNumber) override;
    void setSettings(const std::string& settings) override;
    void setHandshaking(int mode) override;
    void setInBufferSize(int bytes) override;
    void setOutBufferSize(int bytes) override;
    void setInBufferCount(int count) override;
    void setOutBufferCount(int count) override;
    void setNullDiscard(bool discard) override;
    void setRThreshold(int bytes) override;
    void setSThreshold(int bytes) override;

    bool portOpen() const override;
    void setPortOpen(bool open) override;

    void output(const std::string& text) override;
    std::string input() override;

    void setEventHandler(EventHandler handler) override;

    // An empty path returns to the configured device paths.
    void setDevicePathOverride(const std::string& path);
    // The path COM<commPort> opens; empty for a port number outside 1..4.
    std::string devicePath() const;
    // Bytes waiting in the receive buffer.
    int inBufferCount() const;
    // Why the last open failed or the device was lost, for the user.
    QString lastError() const { return lastError_; }

private:
    void readIncoming();
    void handleError(QSerialPort::SerialPortError error);
    bool applyLineSettings();
    void applyHandshaking();
    void closePort();
    void queueEvent(int code);
    void queueReceiveEventIfDue();
    bool receiveEventDue() const;

    const AppSettings& appSettings_;
    QSerialPort port_;
    QByteArray received_;
    EventHandler handler_;

    std::string devicePathOverride_;
    std::string settingsText_ = "9600,N,8,1";
    int portNumber_ = 1;
    int handshaking_ = 0;
    int inBufferSize_ = 4096;
    int outBufferSize_ = 1024;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool nullDiscard_ = false;

    // Bumped on every open and close so that events queued for an earlier
    // opening are dropped.
    quint64 session_ = 0;
    bool receiveEventQueued_ = false;
    QString lastError_;
};

} // namespace kovo
