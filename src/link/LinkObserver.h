#pragma once

namespace kovo {

// Where the serial link stands, for a status display.
enum class LinkStatus {
    Closed,  // no port open; nothing is sent
    Probing, // the port is open and the receiver is being asked whether it is there
    Polling, // the receiver answered; commands and replies flow
    Lost,    // the port's device went away; reopening is tried periodically
};

// What the receiver link tells the front panel and the external peers. The
// program implements it (panels, signal meter, external clients and the
// recorder); tests record the calls. All calls come on the user-interface
// thread, in the order the events happen.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;

    // The active tuning record switched between the main and the priority
    // record: every panel shows the record now active.
    virtual void refreshPanels() = 0;

    // Every signal report: the signal meter shows the state and the level
    // (0 to 15).
    virtual void showSignal(bool squelchOpen, int signalValue) = 0;

    // The squelch opened or closed since the last report; the recorder and the
    // external clients are told.
    virtual void squelchChanged(bool open) = 0;

    // The link moved to another state.
    virtual void linkStatusChanged(LinkStatus status) = 0;
};

} // namespace kovo
