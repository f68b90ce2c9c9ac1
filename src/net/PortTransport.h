#pragma once
#include "link/LineSetting.h"
#include "link/ReceiverFeatures.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

namespace kovo {

// The byte pipe under the program's serial port: a local serial device or a
// connection to a serial server. open() never waits for a network: a
// connection that is still being made takes writes and passes them on once it
// stands, and one that cannot be made is reported through lost().
class PortTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False when the port cannot be opened at all; `error` says why.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;
    // Sets the line format; a transport that cannot carry it returns false.
    virtual bool applyLine(const LineSetting& line, QString* error) = 0;
    virtual void setReadBufferSize(qint64 bytes) = 0;
    virtual QByteArray readAll() = 0;
    virtual void write(const QByteArray& bytes) = 0;
    // Throw away what was received and not read, and what waits to go out.
    virtual void clearInput() = 0;
    virtual void clearOutput() = 0;
    // See CommPort::setEventCharacter; a transport that cannot hold bytes
    // back hands them on as they come.
    virtual void setEventCharacter(char) {}
    // What the radio behind the transport told of itself, once open; none
    // for a plain byte pipe.
    virtual std::optional<ReceiverFeatures> receiverFeatures() const { return std::nullopt; }

Q_SIGNALS:
    void readyRead();
    // The device or the connection is gone; the transport is closed.
    void lost(const QString& why);
};

} // namespace kovo
