#include "app/SerialTransport.h"

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace kovo {

namespace {

template <typename From, typename To> struct Mapping {
    From from;
    To to;
};

template <typename From, typename To, std::size_t N>
To lookUp(const std::array<Mapping<From, To>, N>& table, From value, To otherwise) {
    for (const auto& m : table) {
        if (m.from == value)
            return m.to;
    }
    return otherwise;
}

constexpr std::array<Mapping<LineSetting::Parity, QSerialPort::Parity>, 5> kParities{{
    {LineSetting::Parity::None, QSerialPort::NoParity},
    {LineSetting::Parity::Even, QSerialPort::EvenParity},
    {LineSetting::Parity::Odd, QSerialPort::OddParity},
    {LineSetting::Parity::Mark, QSerialPort::MarkParity},
    {LineSetting::Parity::Space, QSerialPort::SpaceParity},
}};

constexpr std::array<Mapping<LineSetting::StopBits, QSerialPort::StopBits>, 3> kStopBits{{
    {LineSetting::StopBits::One, QSerialPort::OneStop},
    {LineSetting::StopBits::OneAndHalf, QSerialPort::OneAndHalfStop},
    {LineSetting::StopBits::Two, QSerialPort::TwoStop},
}};

constexpr std::array<Mapping<LineSetting::FlowControl, QSerialPort::FlowControl>, 3> kFlows{{
    {LineSetting::FlowControl::None, QSerialPort::NoFlowControl},
    {LineSetting::FlowControl::XonXoff, QSerialPort::SoftwareControl},
    {LineSetting::FlowControl::RtsCts, QSerialPort::HardwareControl},
}};

constexpr int kLowLatencyFlag = ASYNC_LOW_LATENCY;

// Errors after which the device cannot be used any more; reading on would spin.
bool meansDeviceLost(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

} // namespace

SerialTransport::SerialTransport(QString path, QObject* parent)
    : PortTransport(parent), path_(std::move(path)) {
    port_.setPortName(path_);
    connect(&port_, &QSerialPort::readyRead, this, &PortTransport::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::handleError);
}

SerialTransport::~SerialTransport() {
    disconnect(&port_, nullptr, this, nullptr);
    leaveLowLatency();
    port_.close();
}

QString SerialTransport::failure() const {
    return QStringLiteral("%1: %2").arg(path_, port_.errorString());
}

bool SerialTransport::open(QString* error) {
    if (port_.open(QIODevice::ReadWrite)) {
        enterLowLatency();
        return true;
    }
    if (error)
        *error = failure();
    port_.clearError();
    return false;
}

// USB serial adapters (FTDI and the like) hold received bytes for up to
// 16 ms before passing them on, hoping for more to come; the driver's
// low-latency mode passes them on after about 1 ms. Where the driver has no
// such mode (or refuses), the port is used as it is.
void SerialTransport::enterLowLatency() {
    lowLatency_ = false;
    lowLatencyWasOff_ = false;
    serial_struct serial{};
    if (ioctl(int(port_.handle()), TIOCGSERIAL, &serial) != 0)
        return;
    if (serial.flags & kLowLatencyFlag) {
        lowLatency_ = true;
        return;
    }
    serial.flags |= kLowLatencyFlag;
    if (ioctl(int(port_.handle()), TIOCSSERIAL, &serial) != 0)
        return;
    lowLatency_ = lowLatencyWasOff_ = true;
}

// The device is left as it was found for the next program that opens it.
void SerialTransport::leaveLowLatency() {
    if (!lowLatencyWasOff_ || !port_.isOpen())
        return;
    lowLatencyWasOff_ = false;
    serial_struct serial{};
    if (ioctl(int(port_.handle()), TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags &= ~kLowLatencyFlag;
    ioctl(int(port_.handle()), TIOCSSERIAL, &serial);
}

void SerialTransport::close() {
    leaveLowLatency();
    lowLatency_ = false;
    port_.close();
    port_.clearError();
}

bool SerialTransport::applyLine(const LineSetting& line, QString* error) {
    const bool ok =
        line.valid() && port_.setBaudRate(line.bitsPerSecond) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
        port_.setParity(lookUp(kParities, line.parity, QSerialPort::NoParity)) &&
        port_.setStopBits(lookUp(kStopBits, line.stopBits, QSerialPort::OneStop)) &&
        port_.setFlowControl(lookUp(kFlows, line.flowControl, QSerialPort::NoFlowControl));
    if (!ok && error)
        *error = line.valid() ? failure()
                              : QStringLiteral("%1: the line format %2 is not possible")
                                    .arg(path_, QString::fromStdString(line.text()));
    return ok;
}

void SerialTransport::write(const QByteArray& bytes) {
    if (!port_.isOpen())
        return;
    // A command goes to the device at once rather than on the next pass of
    // the event loop, and without the port's write notifications (two more
    // passes of the loop per command). The descriptor does not block; what
    // the device does not take now, and anything while earlier bytes still
    // wait, goes through the port's own buffer as usual.
    qsizetype sent = 0;
    if (port_.bytesToWrite() == 0) {
        while (sent < bytes.size()) {
            const ssize_t n = ::write(int(port_.handle()), bytes.constData() + sent,
                                      std::size_t(bytes.size() - sent));
            if (n > 0)
                sent += n;
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
    }
    if (sent < bytes.size())
        port_.write(bytes.constData() + sent, bytes.size() - sent);
}

void SerialTransport::setEventCharacter(char c) {
    eventCharacter_ = c;
    applyEventCharacter();
}

// The terminal's line mode holds received bytes in the kernel until a line
// ends, so the program wakes once per reply instead of once per byte. The
// event character and XOFF end a line; a line feed is turned into a carriage
// return so that it does not end one. The editing characters of line mode
// (erase, kill, end of file and the like) are set to the line feed, which no
// longer reaches them, so that no received byte edits or swallows another.
// Without an event character the line goes back to raw bytes; whatever the
// kernel still held is handed on then.
void SerialTransport::applyEventCharacter() {
    if (!port_.isOpen())
        return;
    const int fd = int(port_.handle());
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    if (eventCharacter_ == '\0') {
        t.c_lflag &= ~tcflag_t(ICANON | IEXTEN);
        t.c_iflag &= ~tcflag_t(INLCR);
    } else {
        constexpr cc_t kXOff = 0x13;
        for (int editing : {VERASE, VKILL, VEOF, VWERASE, VLNEXT, VREPRINT})
            t.c_cc[editing] = '\n';
        t.c_cc[VEOL] = cc_t(eventCharacter_);
        t.c_cc[VEOL2] = kXOff;
        t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ISIG);
        t.c_lflag |= ICANON | IEXTEN;
        t.c_iflag &= ~tcflag_t(ICRNL | IGNCR);
        t.c_iflag |= INLCR;
    }
    tcsetattr(fd, TCSANOW, &t);
}

void SerialTransport::clearInput() {
    if (port_.isOpen())
        port_.clear(QSerialPort::Input);
}

void SerialTransport::clearOutput() {
    if (port_.isOpen())
        port_.clear(QSerialPort::Output);
}

void SerialTransport::handleError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || !port_.isOpen())
        return;
    if (!meansDeviceLost(error)) {
        port_.clearError();
        return;
    }
    const QString why = failure();
    close();
    Q_EMIT lost(why);
}

} // namespace kovo
