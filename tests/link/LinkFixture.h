#pragma once
#include <gtest/gtest.h>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "fakes/Recorders.h"
#include "link/CommandChooser.h"
#include "link/PollingLoop.h"
#include "link/ReceiverLink.h"
#include "link/TimerRouter.h"

namespace kovo {

// Sets up reply states no receiver produces, to check what the link does
// from them.
struct ReceiverLinkTestAccess {
    static void forgetEcho(ReceiverLink& link) { link.reply_.echoCount = 0; }
};

} // namespace kovo

namespace kovo::test {

// A receiver link on a fake port, fake timers and a manual clock that starts
// at 10.3 s, so second boundaries fall at 11.0, 12.0, ...
struct LinkParts {
    ManualClock clock{10'300};
    FakeTimerService timers{clock};
    TimerRouter router{timers};
    FakeCommPort port;
    RecordingNotifier notifier;
    AppSettings settings;
    RecordingLinkObserver observer;
    ReceiverLink link{port, router, clock, notifier, settings};

    // Opens the port with a receiver that answers every probe with a prompt
    // (or, for the AR3000, with nothing at all); returns whether it answered.
    bool connect(int portNumber = 1, int speedIndex = 0) {
        port.onOutput = [this](const std::string& text) {
            if (text == "\r" && settings.device != 0)
                port.receive(">");
        };
        bool result = false;
        bool finished = false;
        link.openPort(portNumber, speedIndex, [&](bool ok) {
            result = ok;
            finished = true;
        });
        for (int waited = 0; !finished && waited < 3100; waited += 10)
            timers.advance(10);
        port.onOutput = nullptr;
        return result;
    }
};

// The link with the document, the command chooser and the polling loop on it.
struct PollingParts : LinkParts {
    CKovo5Doc doc{settings, clock};
    PriorityCheck priority;
    CommandChooser chooser{doc, priority, link, router};
    PollingLoop loop{doc, priority, link, chooser, router};
};

} // namespace kovo::test
