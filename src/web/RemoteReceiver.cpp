#include "web/RemoteReceiver.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/ValueTables.h"
#include "scan/ReceiverCore.h"
#include "scan/TuningRules.h"

#include <QJsonValue>

#include <algorithm>
#include <array>

namespace kovo::web {
namespace {

constexpr std::array<const char*, kOperatingModeCount> kScanModeNames{
    "memory scan", "program search", "1 MHz scan", "active band scope", "static band scope", "VFO"};

bool scans(OperatingMode mode) {
    return mode == OperatingMode::MemoryScan || mode == OperatingMode::ProgramSearch ||
           mode == OperatingMode::OneMegahertzScan;
}

QString utf8(const std::string& cp932) {
    return QString::fromStdString(cp932ToUtf8(cp932));
}

} // namespace

QJsonObject RemoteReceiver::readouts() const {
    const CFrequencyData& r = core_.scanState().activeRecord();
    const OperatingMode opMode = doc_.controlParams.mode();
    const bool answering = core_.link().status() == LinkStatus::Polling;
    const SignalState& signal = core_.loop().signal();

    // A hold ends when the mode is changed from anywhere else. Without a
    // receiver, the scan neither runs nor stops on anything.
    QString state = QStringLiteral("stopped");
    if (holding_ && opMode == OperatingMode::Vfo)
        state = QStringLiteral("holding");
    else if (!answering)
        state = QStringLiteral("no receiver");
    else if (scans(opMode))
        state = core_.engine().mainContext().hold != 0 ? QStringLiteral("stopped on a signal")
                                                       : QStringLiteral("scanning");

    int bank = 0;
    QString channel;
    if (opMode == OperatingMode::ProgramSearch) {
        bank = doc_.controlParams.searchBankIndex;
    } else {
        bank = bankOfMask(r.bankMask);
        channel = QString::number(r.bankNumber);
    }
    const auto modeIndex = static_cast<std::size_t>(r.mode);
    return QJsonObject{
        {QStringLiteral("frequency"), QString::fromStdString(formatMegahertz(r.frequency))},
        {QStringLiteral("hz"), double(r.frequency)},
        {QStringLiteral("mode"),
         modeIndex < ModeNameTable.size()
             ? QString::fromLatin1(ModeNameTable[modeIndex].data(),
                                   qsizetype(ModeNameTable[modeIndex].size()))
             : QString()},
        {QStringLiteral("signal"),
         answering ? (signal.squelchOpen == 1 ? signal.signalValue : 0) : -1},
        {QStringLiteral("receiver"), answering},
        {QStringLiteral("scanMode"),
         QString::fromLatin1(kScanModeNames[std::size_t(toStored(opMode))])},
        {QStringLiteral("scanState"), state},
        {QStringLiteral("bank"), bank},
        {QStringLiteral("channel"), channel},
        {QStringLiteral("comment"), utf8(r.comment)},
        {QStringLiteral("linkSet"), doc_.controlParams.currentLinkSet + 1},
    };
}

QString RemoteReceiver::execute(const ControlMessage& message) {
    ReceiverOperations& ops = core_.operations();
    const bool wasHolding = holding_;
    if (message.verb != ControlVerb::Listen && message.verb != ControlVerb::Hold)
        holding_ = false;
    switch (message.verb) {
    case ControlVerb::Scan:
        ops.setOperatingMode(OperatingMode::MemoryScan);
        return {};
    case ControlVerb::Stop:
        ops.setOperatingMode(OperatingMode::Vfo);
        return {};
    case ControlVerb::Hold:
        if (!scans(ops.operatingMode()))
            return QStringLiteral("No scan is running.");
        ops.setOperatingMode(OperatingMode::Vfo);
        holding_ = true;
        return {};
    case ControlVerb::Resume:
        if (!wasHolding || ops.operatingMode() != OperatingMode::Vfo)
            return QStringLiteral("The scan is not held.");
        ops.setOperatingMode(OperatingMode::MemoryScan);
        return {};
    case ControlVerb::Up:
    case ControlVerb::Down: {
        // As the pad steps: the scans take one step, VFO tunes a step.
        if (!ops.stepOnce(message.verb == ControlVerb::Up ? 1 : 0))
            return QStringLiteral("The band scope does not step from here.");
        core_.sendNext();
        return {};
    }
    case ControlVerb::Tune:
        return tune(message.text);
    case ControlVerb::Mode:
        return mode(message.text);
    case ControlVerb::LinkSet:
        if (!ops.chooseLinkSet(message.number - 1))
            return QStringLiteral("No such link set.");
        core_.sendNext();
        return {};
    case ControlVerb::Listen:
        return {}; // the server keeps the listeners
    }
    return QStringLiteral("Unknown command.");
}

QString RemoteReceiver::tune(const std::string& megahertz) {
    ReceiverOperations& ops = core_.operations();
    // Typing a frequency stops a scan and tunes in VFO, as on the panel.
    const TypedFrequency typed = readTypedFrequency(megahertz, ops.tuningRange());
    if (typed.verdict == TypedFrequency::Verdict::NotANumber)
        return QStringLiteral("Not a frequency.");
    if (!typed || !ops.tuneInVfo(typed.hz))
        return QStringLiteral("The receiver cannot tune that frequency.");
    return {};
}

QString RemoteReceiver::mode(const std::string& label) {
    const auto row = std::find(ModeNameTable.begin(), ModeNameTable.end(), label);
    const int mode = int(row - ModeNameTable.begin());
    if (row == ModeNameTable.end() || !core_.operations().offersMode(mode))
        return QStringLiteral("The receiver does not offer that mode.");
    if (!core_.operations().setReceiverMode(mode, std::nullopt))
        return QStringLiteral("The receiver does not offer that mode.");
    return {};
}

} // namespace kovo::web
