#include "scan/ReceiverCore.h"

#include "link/TimerIds.h"

#include <utility>

namespace kovo {

ReceiverCore::ReceiverCore(const Seams& seams)
    : settings_(seams.settings), state_(seams.doc), router_(seams.timers),
      link_(seams.port, router_, seams.clock, seams.notifier, seams.settings),
      chooser_(seams.doc, state_.priority, link_, router_),
      loop_(seams.doc, state_.priority, link_, chooser_, router_),
      steps_(seams.doc, state_, seams.settings, viewRelay_), scope_(seams.doc, viewRelay_),
      engine_(seams.doc, loop_, router_, steps_, scope_, viewRelay_, seams.notifier,
              link_.features()),
      modes_(seams.doc, steps_, scope_, viewRelay_), hold_(router_),
      ops_({seams.doc, state_, seams.settings, scope_, viewRelay_,
            [this](OperatingMode mode) { modes_.setOperatingMode(mode); },
            [this] { loop_.sendNext(); }, &link_.features(),
            [this]() -> const ReceiverDescription& { return link_.receiver(); },
            [this](OperatingMode mode) { stepScan(mode); }, [this] { engine_.togglePriority(); },
            &modes_, &hold_}) {
    link_.setClient(&loop_);
    link_.setObserver(&linkNotices_);
    // Whatever receiver answered the probe may hold any tuning: tell it everything.
    link_.setReceiverFoundHandler([this] { chooser_.resetSentState(); });
    chooser_.setObserver(&linkNotices_);
    chooser_.setHitContext(&engine_);
    loop_.setObserver(&linkNotices_);
    loop_.setReportSink(&engine_);
    router_.on(TimerOpenLastDocument, [this] { onOpenLastDocumentTimer(); });
}

void ReceiverCore::stepScan(OperatingMode mode) {
    using Step = void (ScanSteps::*)();
    static constexpr std::pair<OperatingMode, Step> kSteps[] = {
        {OperatingMode::MemoryScan, &ScanSteps::memoryScanStep},
        {OperatingMode::ProgramSearch, &ScanSteps::programSearchStep},
        {OperatingMode::OneMegahertzScan, &ScanSteps::oneMegahertzStep},
    };
    for (const auto& [scan, step] : kSteps)
        if (scan == mode)
            (steps_.*step)();
}

void ReceiverCore::openPortFromSettings(ReceiverLink::ProbeDone done) {
    link_.openPort(settings_.portNum, settings_.commSpeed, std::move(done));
}

void ReceiverCore::startOpenLastDocumentTimer(std::function<void()> openLastDocument) {
    openLastDocument_ = std::move(openLastDocument);
    router_.start(TimerOpenLastDocument, kOpenLastDocumentMs);
}

void ReceiverCore::onOpenLastDocumentTimer() {
    router_.stop(TimerOpenLastDocument);
    if (openLastDocument_)
        openLastDocument_();
    modes_.setDocumentLoaded(true);
}

} // namespace kovo
