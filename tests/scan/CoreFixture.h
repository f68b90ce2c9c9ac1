#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "fakes/Recorders.h"
#include "link/TimerIds.h"
#include "scan/ReceiverCore.h"
#include "scan/ViewSink.h"

namespace kovo::test {

// What the recorder hears from the scan: every step onwards and every hit
// that begins.
class RecordingRecorder final {
public:
    int movedOn = 0;
    // Frequency and time of every hit handed over, in order.
    std::vector<std::pair<std::uint32_t, std::int32_t>> hits;
    void follow(ReceiverCore& core) {
        moveSubscription_ = core.movesOn().subscribe([this](const ScanMovedOn&) { ++movedOn; });
        hitSubscription_ = core.hits().subscribe([this](const HitNotice& hit) {
            if (hit.kind == HitNotice::Kind::Began)
                hits.emplace_back(hit.frequency, std::int32_t(hit.time));
        });
    }

private:
    Subscription moveSubscription_;
    Subscription hitSubscription_;
};

// A document on a manual clock that starts at 2002-03-07 10:05:00 UTC, and a
// view that records.
struct DocParts {
    DocParts() {
        setenv("TZ", "UTC", 1);
        tzset();
        noticeSubscription = doc.changes().subscribe(
            [this](const DocumentChange& change) { notices.push_back(change); });
    }

    ManualClock clock{1015495500LL * 1000};
    AppSettings settings;
    CKovo5Doc doc{settings, clock};
    RecordingViewSink view;
    // What the document reported, in order.
    std::vector<DocumentChange> notices;
    Subscription noticeSubscription;
    int noticeCount(DocumentChange::Kind kind, int row = -1, bool droppedOldest = false) const {
        int n = 0;
        for (const DocumentChange& c : notices)
            n += c.kind == kind && (row < 0 || c.row == row) && c.droppedOldest == droppedOldest;
        return n;
    }

    // Adds a channel by hand at `hz` in the given banks.
    int addChannel(std::uint32_t hz, std::int32_t bankMask = 2, int mode = 0) {
        doc.mainRecord.mode = mode;
        const int row = doc.channelTable().storeChannel(hz);
        doc.channels[std::size_t(row)]->bankMask = bankMask;
        return row;
    }
    void linkBanks(std::uint32_t mask) { doc.banks().setLinkFlags(mask); }
};

// The whole receiver core on fakes, talking to a scripted AR3000A: every
// command is acknowledged by `report` until the core asks for a signal report,
// which gets the given answer.
struct CoreParts : DocParts {
    FakeTimerService timers{clock};
    FakeCommPort port;
    RecordingNotifier notifier;
    RecordingLinkObserver observer;
    RecordingRecorder recorder;
    ReceiverCore core{ReceiverCore::Seams{port, timers, clock, notifier, settings, doc}};
    Subscription viewAttachment = core.attachView(view);
    Subscription observerSubscription = relayLinkNotices(core.linkNotices(), observer);

    bool connect() {
        recorder.follow(core);
        port.onOutput = [this](const std::string& text) {
            if (text == "\r")
                port.receive(">");
        };
        bool finished = false, result = false;
        core.openPort(1, 0, [&](bool ok) {
            finished = true;
            result = ok;
        });
        for (int waited = 0; !finished && waited < 3100; waited += 10)
            timers.advance(10);
        port.onOutput = nullptr;
        return result;
    }

    bool signalRequestInFlight() {
        return core.link().awaitingReply() && !core.link().awaitingStaleAnswers() &&
               !port.written.empty() && port.written.back() == "Y\r";
    }

    // Brings the receiver to the wanted tuning and answers the next signal
    // request with `reply` ("%" squelch closed, "A".."Z" level).
    void report(const std::string& reply) {
        for (int i = 0; i < 20 && !signalRequestInFlight(); ++i) {
            // A resent request's first copy was lost here: nothing else comes.
            if (core.link().awaitingStaleAnswers())
                timers.advance(kStaleReplyGuardMs);
            else if (core.link().awaitingReply())
                port.receive("\r\n>");
            else
                timers.advance(kPollDelayMs);
        }
        ASSERT_TRUE(signalRequestInFlight());
        port.receive(reply + "\r\n>");
    }
    void reports(const std::string& reply, int n) {
        for (int i = 0; i < n; ++i)
            report(reply);
    }
};

} // namespace kovo::test
