#pragma once
#include "data/Notices.h"
#include "link/LinkObserver.h"

namespace kovo {

// What the link reports about the receiver, for any number of listeners
// (the window bus, the network server, the recorder).
struct LinkNotice {
    enum class Kind {
        StatusChanged,  // status: whether a receiver answers
        SquelchChanged, // squelchOpen
        Signal,         // squelchOpen and level (0 to 15) of every report
    };
    Kind kind;
    LinkStatus status = LinkStatus::Closed;
    bool squelchOpen = false;
    int level = 0;
};

// Stands between the link and its one observer (the front panel): the
// observer hears everything first, then every subscriber gets a notice.
class LinkNotices final : public LinkObserver {
public:
    explicit LinkNotices(LinkObserver& panel) : panel_(panel) {}

    Notices<LinkNotice>& notices() { return notices_; }

    void refreshPanels() override { panel_.refreshPanels(); }
    void showSignal(bool squelchOpen, int signalValue) override {
        panel_.showSignal(squelchOpen, signalValue);
        notices_.notify({LinkNotice::Kind::Signal, LinkStatus::Polling, squelchOpen, signalValue});
    }
    void squelchChanged(bool open) override {
        panel_.squelchChanged(open);
        notices_.notify({LinkNotice::Kind::SquelchChanged, LinkStatus::Polling, open, 0});
    }
    void linkStatusChanged(LinkStatus status) override {
        panel_.linkStatusChanged(status);
        notices_.notify({LinkNotice::Kind::StatusChanged, status, false, 0});
    }

private:
    LinkObserver& panel_;
    Notices<LinkNotice> notices_;
};

} // namespace kovo
