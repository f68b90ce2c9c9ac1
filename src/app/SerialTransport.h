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

private:
    void handleError(QSerialPort::SerialPortError error);
    QString failure() const;

    QString path_;
    QSerialPort port_;
};

} // namespace kovo
