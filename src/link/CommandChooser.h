#pragma once
#include "data/AppSettings.h"
#include "data/CFrequencyData.h"
#include "data/CKovo5Doc.h"
#include "link/LinkObserver.h"
#include "link/PriorityCheck.h"
#include "link/ReceiverLink.h"
#include "link/SentState.h"
#include "link/TimerRouter.h"

namespace kovo {

// What the chooser needs of the scan engine: when a new frequency goes out, the
// stop on the old one is over, and the receiver needs a number of reports to
// settle on it.
class HitContextControl {
public:
    virtual ~HitContextControl() = default;
    // Stop the delay and pause timers and clear the hold flag of the priority
    // context (`priorityContext`) or of the main context.
    virtual void endStop(bool priorityContext) = 0;
    // A new frequency went out: the next `reports` squelch-closed reports
    // come from a receiver still settling (0 for a short step).
    virtual void settleAfterJump(int reports) = 0;
};

// Picks the one command that brings the receiver closer to the document's
// active tuning record, in the fixed order frequency, mode, attenuator,
// monitor switch; with nothing left to change it asks for a signal report
// after a short pause, if the receiver has to be asked. Keeps `SentState`, what the receiver was
// last told.
class CommandChooser {
public:
    CommandChooser(CKovo5Doc& doc, PriorityCheck& priority, ReceiverLink& link,
                   TimerRouter& timers);
    ~CommandChooser();
    CommandChooser(const CommandChooser&) = delete;
    CommandChooser& operator=(const CommandChooser&) = delete;

    void setObserver(LinkObserver* observer) { observer_ = observer; }
    void setHitContext(HitContextControl* hits) { hits_ = hits; }

    void chooseNextCommand();

    // The record the receiver is to follow: the priority record while a
    // priority check runs, else the main record.
    const CFrequencyData& activeRecord() const;

    SentState& sentState() { return sent_; }
    const SentState& sentState() const { return sent_; }
    // Forget what the receiver was told, so the next passes send everything.
    void resetSentState() { sent_ = SentState{}; }

private:
    void sendFrequency(const CFrequencyData& record, const ReceiverDescription& receiver);
    bool sendFirstDifference(const CFrequencyData& record, const ReceiverDescription& receiver);
    void onPollDelay();

    CKovo5Doc& doc_;
    PriorityCheck& priority_;
    ReceiverLink& link_;
    TimerRouter& timers_;
    LinkObserver* observer_ = nullptr;
    HitContextControl* hits_ = nullptr;
    SentState sent_;
};

} // namespace kovo
