#pragma once
// The receiver core wired the way the application wires it, on the real
// QSerialPort port, Qt timers and the system clock, for the end-to-end tests
// and the scan-rate benchmark. Header-only for the benchmark's sake.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Recorders.h"
#include "app/QtCommPort.h"
#include "app/QtTimerService.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "scan/ReceiverCore.h"
#include "scan/ViewSink.h"

namespace kovo::test {

// Runs the Qt event loop until `done` holds or `timeoutMs` passed; true when
// it holds. Waits on events, so serial events and timers are handled as they
// come; the condition is looked at every couple of milliseconds.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(2);
    deadline.start(timeoutMs);
    loop.exec();
    return done();
}

// Runs the Qt event loop for `ms` milliseconds, waking for nothing else.
inline void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct QtReceiverRig {
    // Speed index 1: 9,600 bit/s.
    static constexpr int kSpeed9600 = 1;

    QtReceiverRig(const std::string& devicePath, bool ar3000) {
        settings.device = ar3000 ? 0 : 1;
        settings.commSpeed = kSpeed9600;
        port.setDevicePathOverride(devicePath);
        view.keepCalls = false;
        core.createControl();
    }

    // Starts opening the port; probeResult is set when the probe ends.
    void open() {
        probeResult.reset();
        core.openPortFromSettings([this](bool ok) { probeResult = ok; });
    }
    // Opens and waits for the probe's verdict; nullopt if none came in time.
    std::optional<bool> openAndWait(int timeoutMs = 10000) {
        open();
        waitFor([this] { return probeResult.has_value(); }, timeoutMs);
        return probeResult;
    }

    // Stores `count` channels `spacingHz` apart from `firstHz` in memory bank
    // `bank`, with the main record's settings, and links that bank alone.
    void addScanChannels(std::uint32_t firstHz, std::uint32_t spacingHz, int count, int bank) {
        const std::uint32_t mask = 1u << bank;
        for (int i = 0; i < count; ++i) {
            const int row = doc.channelTable().storeChannel(firstHz + std::uint32_t(i) * spacingHz);
            doc.channels[std::size_t(row)]->bankMask = std::int32_t(mask);
        }
        doc.banks().setLinkFlags(mask); // also counts the channels memory scan reaches
    }

    AppSettings settings;
    SystemClock clock;
    QtTimerService timers;
    QtCommPort port;
    RecordingNotifier notifier;
    CKovo5Doc doc{settings, clock};
    RecordingLinkObserver observer;
    RecordingViewSink view;
    ReceiverCore core{ReceiverCore::Seams{port, timers, clock, notifier, settings, doc}};
    Subscription viewAttachment = core.attachView(view);
    Subscription observerSubscription = relayLinkNotices(core.linkNotices(), observer);
    std::optional<bool> probeResult;
};

} // namespace kovo::test
