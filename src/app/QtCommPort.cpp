#include "app/QtCommPort.h"

#include "app/PortTransportFactory.h"
#include "net/PortTransport.h"

namespace kovo {

QtCommPort::QtCommPort(QObject* parent) : QObject(parent) {}

QtCommPort::~QtCommPort() {
    // Closing must not call back into a handler whose owner is going away.
    handler_ = nullptr;
    delete transport_.data();
}

void QtCommPort::setPort(const PortDescription& port) {
    port_ = port;
}

void QtCommPort::setLine(const LineSetting& line) {
    line_ = line;
    if (portOpen())
        transport_->applyLine(line_, nullptr);
}

void QtCommPort::setInBufferSize(int bytes) {
    inBufferSize_ = bytes > 0 ? bytes : 1;
    if (transport_)
        transport_->setReadBufferSize(inBufferSize_);
}

void QtCommPort::setOutBufferSize(int bytes) {
    outBufferSize_ = bytes;
}

void QtCommPort::setInBufferCount(int count) {
    if (count != 0)
        return;
    received_.clear();
    if (transport_)
        transport_->clearInput();
}

void QtCommPort::setOutBufferCount(int count) {
    if (count == 0 && transport_)
        transport_->clearOutput();
}

void QtCommPort::setNullDiscard(bool discard) {
    nullDiscard_ = discard;
}

void QtCommPort::setRThreshold(int bytes) {
    rThreshold_ = bytes > 0 ? bytes : 0;
    // Bytes that are already waiting must not be left without an event.
    queueReceiveEventIfDue();
}

void QtCommPort::setSThreshold(int bytes) {
    sThreshold_ = bytes;
}

void QtCommPort::setEventCharacter(char c) {
    eventCharacter_ = c;
    if (transport_)
        transport_->setEventCharacter(c);
}

bool QtCommPort::portOpen() const {
    return !transport_.isNull();
}

PortDescription QtCommPort::description() const {
    return devicePathOverride_.empty() ? port_ : PortDescription::parse(devicePathOverride_);
}

void QtCommPort::setPortOpen(bool open) {
    if (!open) {
        if (portOpen())
            closePort();
        return;
    }
    if (portOpen())
        return;

    const PortDescription port = description();
    std::unique_ptr<PortTransport> transport = makePortTransport(port);
    if (!transport) {
        lastError_ = QString::fromStdString(port.text.empty() ? port.problem
                                                              : port.text + ": " + port.problem);
        return;
    }
    transport->setReadBufferSize(inBufferSize_);
    QString error;
    if (!transport->open(&error)) {
        lastError_ = error;
        return;
    }
    if (!transport->applyLine(line_, &error)) {
        lastError_ = error;
        transport->close();
        return;
    }
    transport->setEventCharacter(eventCharacter_);
    connect(transport.get(), &PortTransport::readyRead, this, &QtCommPort::readIncoming);
    connect(transport.get(), &PortTransport::lost, this, &QtCommPort::onLost);
    transport_ = transport.release();
    transport_->setParent(this);
    ++session_;
    received_.clear();
    receiveEventQueued_ = false;
    lastError_.clear();
}

void QtCommPort::closePort() {
    if (PortTransport* transport = transport_.data()) {
        transport_ = nullptr;
        disconnect(transport, nullptr, this, nullptr);
        transport->close();
        // The transport may be the sender of the signal being handled.
        transport->deleteLater();
    }
    received_.clear();
    receiveEventQueued_ = false;
    ++session_;
}

void QtCommPort::output(const std::string& text) {
    if (!portOpen())
        return;
    transport_->write(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<ReceiverFeatures> QtCommPort::receiverFeatures() const {
    return transport_ ? transport_->receiverFeatures() : std::nullopt;
}

std::string QtCommPort::input() {
    std::string text(received_.constData(), static_cast<size_t>(received_.size()));
    received_.clear();
    return text;
}

void QtCommPort::setEventHandler(EventHandler handler) {
    handler_ = std::move(handler);
}

void QtCommPort::setDevicePathOverride(const std::string& path) {
    devicePathOverride_ = path;
}

int QtCommPort::inBufferCount() const {
    return static_cast<int>(received_.size());
}

void QtCommPort::readIncoming() {
    if (!portOpen())
        return;
    QByteArray chunk = transport_->readAll();
    if (nullDiscard_)
        chunk.replace('\0', QByteArray());
    received_.append(chunk);
    if (received_.size() > inBufferSize_) {
        received_.clear();
        queueEvent(CommEventRxOverflow);
        return;
    }
    queueReceiveEventIfDue();
    // A device that delivers one byte at a time leaves the last byte of an
    // odd-length answer (an AR3000A's "\r\n>") below a threshold of two for
    // good. Such a byte is reported at once: the read took everything the
    // device had, so nothing more came with it, and this runs from the event
    // loop, not from a call into the port. Waiting for another pass of the
    // loop would put that pass into every answer's turnaround. Nothing may
    // follow the handler here: it may close the port.
    if (rThreshold_ > 0 && !received_.isEmpty() && received_.size() < rThreshold_ && handler_)
        handler_(CommEventReceive);
}

bool QtCommPort::receiveEventDue() const {
    return portOpen() && rThreshold_ > 0 && received_.size() >= rThreshold_;
}

void QtCommPort::queueReceiveEventIfDue() {
    if (receiveEventQueued_ || !receiveEventDue())
        return;
    receiveEventQueued_ = true;
    const quint64 session = session_;
    QMetaObject::invokeMethod(
        this,
        [this, session] {
            if (session != session_)
                return;
            receiveEventQueued_ = false;
            if (receiveEventDue() && handler_)
                handler_(CommEventReceive);
        },
        Qt::QueuedConnection);
}

void QtCommPort::queueEvent(int code) {
    const quint64 session = session_;
    QMetaObject::invokeMethod(
        this,
        [this, session, code] {
            if (session == session_ && handler_)
                handler_(code);
        },
        Qt::QueuedConnection);
}

void QtCommPort::onLost(const QString& why) {
    lastError_ = why;
    closePort();
    queueEvent(CommEventDeviceLost);
}

} // namespace kovo
