#include "DemoReceiver.h"

// No Qt in this file: the simulator has a member called signals().

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/ValueTables.h"
#include "link/ReceiverDescription.h"
#include "link/ReceiverPort.h"

#include "ReceiverSimulator.h"
#include "SignalPlan.h"

#include <algorithm>
#include <cstdio>

namespace kovo {

namespace {

constexpr int modeNfm = 0;
constexpr int modeWfm = 1;
constexpr int modeAm = 2;
constexpr std::int32_t step12k5 = 8;
constexpr std::int32_t step25k = 11;
constexpr std::uint32_t upperEdgeHz = 400000000; // air band and 2 m only

struct DemoBank {
    int bank;
    const char* name;
    const char* comment;
};
constexpr DemoBank airBand{1, "Air band", "Air band"};
constexpr DemoBank twoMetres{2, "2m", "2m amateur"};

sim::SimOptions simulatorOptions(const AppSettings& settings, const ReceiverDescription& receiver) {
    sim::SimOptions options;
    options.ar3000 = receiver.commandSet == CommandSet::Ar3000;
    const int speed = settings.commSpeed >= 0 && settings.commSpeed < int(kCommSpeedTable.size())
                          ? settings.commSpeed
                          : 0;
    options.baud = kCommSpeedTable[std::size_t(speed)];
    return options;
}

// Search banks, ranges, search strings and a short log over the demo
// channels, so that every database view has something to show.
void fillRangesAndLog(CKovo5Doc& doc, int nfmBandwidth, int amBandwidth) {
    auto range = [](auto& r, std::uint32_t start, std::uint32_t stop, int mode, int step,
                    int bandwidth, const char* comment) {
        r.inUse = 1;
        r.startFrequency = start;
        r.stopFrequency = stop;
        r.mode = static_cast<std::uint8_t>(mode);
        r.step = step;
        r.ifBandwidth = bandwidth;
        r.attenuator = 0;
        r.comment = comment;
    };
    range(doc.searchBanks[0], 118000000, 136975000, modeAm, step25k, amBandwidth, "Air band");
    range(doc.searchBanks[1], 144000000, 146000000, modeNfm, step12k5, nfmBandwidth, "2m amateur");
    range(doc.autoRanges[0], 108000000, 137000000, modeAm, step25k, amBandwidth, "Air band AM");
    range(doc.autoRanges[1], 144000000, 146000000, modeNfm, step12k5, nfmBandwidth, "2m FM");
    CPassBank& beacon = doc.passRanges[0];
    beacon.inUse = 1;
    beacon.lowFrequency = 144800000;
    beacon.highFrequency = 144800000;
    beacon.comment = "APRS";
    doc.searchStrings[0] = "Air";
    doc.searchStrings[1] = "2m";
    // A day of hits on the first channels, an hour apart.
    constexpr std::int32_t kStart = 1704096000; // 2024-01-01 08:00 UTC
    const int channels = std::min(doc.channelCount, 6);
    for (int i = 0; i < 24 && channels > 0; ++i) {
        const CFrequencyData& ch = *doc.channels[std::size_t(i * 5 % channels)];
        CLogData& entry = doc.logRing[std::size_t(i)];
        entry.frequency = ch.frequency;
        entry.comment = ch.comment;
        entry.firstHeard = kStart + i * 3600 + (i % 4) * 600;
        entry.lastHeard = entry.firstHeard + 40 + i * 7;
        entry.maxSignal = 3 + i % 10;
        doc.logCount = i + 1;
    }
    doc.log().analyseLog(0);
}

} // namespace

// The simulator answers in the commands of the AR model "Device" names.
DemoReceiver::DemoReceiver(const AppSettings& settings)
    : receiver_(&receiverDescriptionFor(settings.device)),
      simulator_(std::make_unique<sim::ReceiverSimulator>(simulatorOptions(settings, *receiver_))) {
}

DemoReceiver::~DemoReceiver() {
    simulator_->stop();
}

bool DemoReceiver::start(std::string* error) {
    if (!simulator_->start(error))
        return false;
    simulator_->startInThread();
    return true;
}

std::string DemoReceiver::devicePath() const {
    return simulator_->slavePath();
}

void DemoReceiver::fillDocument(CKovo5Doc& doc) {
    doc.onNewDocument();
    const int nfmBandwidth = doc.settings().nfmBandWidth + 2;
    const int amBandwidth = doc.settings().amBandWidth + 2;
    for (const DemoBank& bank : {airBand, twoMetres}) {
        doc.memoryBanks[std::size_t(bank.bank)].name = bank.name;
        doc.memoryBanks[std::size_t(bank.bank)].linkFlags[0] = 1;
    }
    doc.linkSetNames[0] = "Demo";

    int numberInBank[3] = {0, 0, 0};
    const sim::SignalPlan plan = sim::SignalPlan::demo();
    for (const sim::PlannedSignal& signal : plan.signals()) {
        if (signal.frequencyHz >= upperEdgeHz || signal.mode == modeWfm)
            continue;
        const DemoBank& bank = signal.mode == modeAm ? airBand : twoMetres;
        doc.mainRecord.mode = signal.mode;
        doc.mainRecord.step = signal.mode == modeAm ? step25k : step12k5;
        doc.mainRecord.ifBandwidth = signal.mode == modeNfm ? nfmBandwidth : amBandwidth;
        const int row = doc.channelTable().storeChannel(signal.frequencyHz);
        if (row < 0)
            break;
        CFrequencyData& channel = *doc.channels[std::size_t(row)];
        channel.bankMask = 1 << bank.bank;
        channel.bankNumber = numberInBank[bank.bank]++;
        char comment[64];
        std::snprintf(comment, sizeof comment, "%s %u.%03u", bank.comment,
                      unsigned(signal.frequencyHz / 1000000),
                      unsigned(signal.frequencyHz / 1000 % 1000));
        channel.comment = comment;
    }
    fillRangesAndLog(doc, nfmBandwidth, amBandwidth);
    doc.tuning().recallChannel(0);
    doc.controlParams.setMode(OperatingMode::MemoryScan);
    doc.banks().setCurrentLinkSet(0);
    doc.recountDerivedValues();
    doc.setModified(false);
}

std::string DemoReceiver::describe(const ScanStop& stop) {
    char line[160];
    std::snprintf(line, sizeof line, "stop %4u.%06u MHz  %-3.*s  level %2d  ",
                  unsigned(stop.frequency / 1000000), unsigned(stop.frequency % 1000000),
                  int(modeName(stop.mode).size()), modeName(stop.mode).data(), stop.level);
    return line + cp932ToUtf8(stop.comment);
}

} // namespace kovo
