#include "app/QtCommPort.h"

#include "app/LineSettings.h"

#include <array>

namespace kovo {

namespace {

struct ParityMapping {
    LineSettings::Parity parity;
    QSerialPort::Parity qt;
};

constexpr std::array<ParityMapping, 5> kParities{{
    {LineSettings::Parity::None, QSerialPort::NoParity},
    {LineSettings::Parity::Even, QSerialPort::EvenParity},
    {LineSettings::Parity::Odd, QSerialPort::OddParity},
    {LineSettings::Parity::Mark, QSerialPort::MarkParity},
    {LineSettings::Parity::Space, QSerialPort::SpaceParity},
}};

struct StopBitsMapping {
    LineSettings::StopBits stopBits;
    QSerialPort::StopBits qt;
};

constexpr std::array<StopBitsMapping, 3> kStopBits{{
    {LineSettings::StopBits::One, QSerialPort::OneStop},
    {LineSettings::StopBits::OneAndHalf, QSerialPort::OneAndHalfStop},
    {LineSettings::StopBits::Two, QSerialPort::TwoStop},
}};

// Handshaking modes by number: none, XON/XOFF, RTS/CTS, RTS/CTS with XON/XOFF
// (the last is served by RTS/CTS alone).
constexpr std::array<QSerialPort::FlowControl, 4> kFlowControls{
    QSerialPort::NoFlowControl, QSerialPort::SoftwareControl,
    QSerialPort::HardwareControl, QSerialPort::HardwareControl};

QSerialPort::Parity toQt(LineSettings::Parity parity)
{
    for (const ParityMapping& m : kParities) {
        if (m.parity == parity)
            return m.qt;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(LineSettings::StopBits stopBits)
{
    for (const StopBitsMapping& m : kStopBits) {
        if (m.stopBits == stopBits)
            return m.qt;
    }
    return QSerialPort::OneStop;
}

// Errors after which the device cannot be used any more; reading on would spin.
bool meansDeviceLost(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

} // namespace

QtCommPort::QtCommPort(const AppSettings& settings, QObject* parent)
    : QObject(parent), appSettings_(settings)
{
    connect(&port_, &QSerialPort::readyRead, this, &QtCommPort::readIncoming);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtCommPort::handleError);
}

QtCommPort::~QtCommPort()
{
    // Closing must not call back into a handler whose owner is going away.
    handler_ = nullptr;
    disconnect(&port_, nullptr, this, nullptr);
    port_.close();
}

void QtCommPort::setCommPort(int portNumber) { portNumber_ = portNumber; }

void QtCommPort::setSettings(const std::string& settings)
{
    settingsText_ = settings;
    if (port_.isOpen())
        applyLineSettings();
}

void QtCommPort::setHandshaking(int mode)
{
    handshaking_ = mode;
    if (port_.isOpen())
        applyHandshaking();
}

void QtCommPort::setInBufferSize(int bytes)
{
    inBufferSize_ = bytes > 0 ? bytes : 1;
    port_.setReadBufferSize(inBufferSize_);
}

void QtCommPort::setOutBufferSize(int bytes) { outBufferSize_ = bytes; }

void QtCommPort::setInBufferCount(int count)
{
    if (count != 0)
        return;
    received_.clear();
    if (port_.isOpen())
        port_.clear(QSerialPort::Input);
}

void QtCommPort::setOutBufferCount(int count)
{
    if (count == 0 && port_.isOpen())
        port_.clear(QSerialPort::Output);
}

void QtCommPort::setNullDiscard(bool discard) { nullDiscard_ = discard; }

void QtCommPort::setRThreshold(int bytes)
{
    rThreshold_ = bytes > 0 ? bytes : 0;
    // Bytes that are already waiting must not be left without an event.
    queueReceiveEventIfDue();
}

void QtCommPort::setSThreshold(int bytes) { sThreshold_ = bytes; }

bool QtCommPort::portOpen() const { return port_.isOpen(); }

void QtCommPort::setPortOpen(bool open)
{
    if (!open) {
        if (port_.isOpen())
            closePort();
        return;
    }
    if (port_.isOpen())
        return;

    const std::string path = devicePath();
    if (path.empty()) {
        lastError_ = QStringLiteral("COM%1 is not a serial port number").arg(portNumber_);
        return;
    }
    if (!LineSettings::parse(settingsText_)) {
        lastError_ = QStringLiteral("Invalid line settings \"%1\"").arg(QString::fromStdString(settingsText_));
        return;
    }
    port_.setPortName(QString::fromStdString(path));
    port_.setReadBufferSize(inBufferSize_);
    if (!port_.open(QIODevice::ReadWrite)) {
        lastError_ = QStringLiteral("%1: %2").arg(port_.portName(), port_.errorString());
        port_.clearError();
        return;
    }
    if (!applyLineSettings()) {
        lastError_ = QStringLiteral("%1: %2").arg(port_.portName(), port_.errorString());
        port_.close();
        port_.clearError();
        return;
    }
    applyHandshaking();
    ++session_;
    received_.clear();
    receiveEventQueued_ = false;
    lastError_.clear();
}

void QtCommPort::closePort()
{
    port_.close();
    port_.clearError();
    received_.clear();
    receiveEventQueued_ = false;
    ++session_;
}

bool QtCommPort::applyLineSettings()
{
    const auto line = LineSettings::parse(settingsText_);
    if (!line)
        return false;
    return port_.setBaudRate(line->baudRate) &&
           port_.setDataBits(static_cast<QSerialPort::DataBits>(line->dataBits)) &&
           port_.setParity(toQt(line->parity)) && port_.setStopBits(toQt(line->stopBits));
}

void QtCommPort::applyHandshaking()
{
    const bool known = handshaking_ >= 0 && handshaking_ < static_cast<int>(kFlowControls.size());
    port_.setFlowControl(known ? kFlowControls[static_cast<size_t>(handshaking_)]
                               : QSerialPort::NoFlowControl);
}

void QtCommPort::output(const std::string& text)
{
    if (!port_.isOpen())
        return;
    port_.write(text.data(), static_cast<qint64>(text.size()));
}

std::string QtCommPort::input()
{
    std::string text(received_.constData(), static_cast<size_t>(received_.size()));
    received_.clear();
    return text;
}

void QtCommPort::setEventHandler(EventHandler handler) { handler_ = std::move(handler); }

void QtCommPort::setDevicePathOverride(const std::string& path) { devicePathOverride_ = path; }

std::string QtCommPort::devicePath() const
{
    if (!devicePathOverride_.empty())
        return devicePathOverride_;
    if (portNumber_ < 1 || portNumber_ > static_cast<int>(appSettings_.comDevice.size()))
        return {};
    return appSettings_.comDevice[static_cast<size_t>(portNumber_ - 1)];
}

int QtCommPort::inBufferCount() const { return static_cast<int>(received_.size()); }

void QtCommPort::readIncoming()
{
    QByteArray chunk = port_.readAll();
    if (nullDiscard_)
        chunk.replace('\0', QByteArray());
    received_.append(chunk);
    if (received_.size() > inBufferSize_) {
        received_.clear();
        queueEvent(CommEventRxOverflow);
        return;
    }
    queueReceiveEventIfDue();
}

bool QtCommPort::receiveEventDue() const
{
    return port_.isOpen() && rThreshold_ > 0 && received_.size() >= rThreshold_;
}

void QtCommPort::queueReceiveEventIfDue()
{
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

void QtCommPort::queueEvent(int code)
{
    const quint64 session = session_;
    QMetaObject::invokeMethod(
        this,
        [this, session, code] {
            if (session == session_ && handler_)
                handler_(code);
        },
        Qt::QueuedConnection);
}

void QtCommPort::handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !port_.isOpen())
        return;
    if (!meansDeviceLost(error)) {
        port_.clearError();
        return;
    }
    lastError_ = QStringLiteral("%1: %2").arg(port_.portName(), port_.errorString());
    closePort();
    queueEvent(CommEventDeviceLost);
}

} // namespace kovo
