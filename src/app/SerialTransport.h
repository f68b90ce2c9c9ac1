#pragma once
#include "net/PortTransport.h"

#include <QSerialPort>

namespace kovo {

// A local serial device (or pseudo-terminal) on QSerialPort.
class SerialTransport final : public PortTransport {
    Q_OBJECT
public:
    explicit SerialTransport(QString path, QObject* parent = nullptr);
    ~SerialTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool applyLine(const LineSetting& line, QString* error) override;
    void setReadBufferSize(qint64 bytes) override { port_.setReadBufferSize(bytes); }
    QByteArray readAll() override { return port_.readAll(); }
    void write(const QByteArray& bytes) override;
    void clearInput() override;
    void clearOutput() override;
    void setEventCharacter(char c) override;

    // Whether the device's driver now hands received bytes on at once (see
    // open()); false for devices without such a mode, a pseudo-terminal say.
    bool lowLatency() const { return lowLatency_; }

private:
    void enterLowLatency();
    void applyEventCharacter();
    void leaveLowLatency();
    void handleError(QSerialPort::SerialPortError error);
    QString failure() const;

    QString path_;
    QSerialPort port_;
    bool lowLatency_ = false;
    bool lowLatencyWasOff_ = false; // we switched it on and switch it back
    char eventCharacter_ = '\0';
};

} // namespace kovo
