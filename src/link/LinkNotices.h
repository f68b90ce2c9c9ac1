#pragma once
#include "data/Notices.h"
#include "link/LinkObserver.h"

namespace kovo {

// What the link reports about the receiver, for any number of listeners
// (the front panel, the window bus, the network server, the recorder).
struct LinkNotice {
    enum class Kind {
        ActiveRecordSwitched, // between the main and the priority record
        StatusChanged,        // status: whether a receiver answers
        SquelchChanged,       // squelchOpen
        Signal,               // squelchOpen and level (0 to 15) of every report
    };
    Kind kind;
    LinkStatus status = LinkStatus::Closed;
    bool squelchOpen = false;
    int level = 0;
};

// Turns what the link's parts report into notices, in the order the events
// happen.
class LinkNotices final : public LinkObserver {
public:
    Notices<LinkNotice>& notices() { return notices_; }

    void refreshPanels() override { notices_.notify({LinkNotice::Kind::ActiveRecordSwitched}); }
    void showSignal(bool squelchOpen, int signalValue) override {
        notices_.notify({LinkNotice::Kind::Signal, LinkStatus::Polling, squelchOpen, signalValue});
    }
    void squelchChanged(bool open) override {
        notices_.notify({LinkNotice::Kind::SquelchChanged, LinkStatus::Polling, open, 0});
    }
    void linkStatusChanged(LinkStatus status) override {
        notices_.notify({LinkNotice::Kind::StatusChanged, status, false, 0});
    }

private:
    Notices<LinkNotice> notices_;
};

} // namespace kovo
