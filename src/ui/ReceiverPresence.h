#pragma once
#include "link/LinkObserver.h"

namespace kovo {

// Whether the front panel should say that no receiver answers, worked out
// from the link's status changes. Nothing is said before the first probe
// (the port is simply not opened yet) nor while a port that was answering is
// closed on purpose and probed again (a file being read or written); a probe
// that ends without an answer, or a device that went away, makes the
// receiver absent until a probe succeeds.
class ReceiverPresence {
public:
    // Takes the new status and returns whether the receiver is absent.
    bool update(LinkStatus status) {
        switch (status) {
        case LinkStatus::Polling:
            absent_ = false;
            break;
        case LinkStatus::Lost:
            absent_ = true;
            break;
        case LinkStatus::Closed:
            absent_ = absent_ || last_ == LinkStatus::Probing;
            break;
        case LinkStatus::Probing:
            break;
        }
        last_ = status;
        return absent_;
    }
    bool absent() const { return absent_; }

private:
    LinkStatus last_ = LinkStatus::Closed;
    bool absent_ = false;
};

} // namespace kovo
