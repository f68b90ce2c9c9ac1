#pragma once

namespace kovo {

// Ids of the main frame's timers. 1 to 12 are the classic ids, which users
// and other programs know; 20 and up are the link's own timers. The splash
// window keeps 199.
enum TimerId : int {
    TimerMainDelay = 1,         // delay after the last signal, main scan
    TimerMainPause = 2,         // limit of a stop, main scan
    TimerPriorityDelay = 3,     // delay after the last signal, priority check
    TimerPriorityPause = 4,     // limit of a stop, priority check
    TimerPriorityInterval = 10, // next priority check
    TimerDatabaseHold = 11,     // the database lists follow the receiver again
    TimerOpenLastDocument = 12,
    TimerPollDelay = 20,       // short pause before asking for a signal report
    TimerReplyTimeout = 21,    // a command got no reply: send it again
    TimerProbe = 22,           // steps of the receiver probe
    TimerReconnect = 23,       // try to reopen a port whose device went away
    TimerStaleReplyGuard = 24, // after a resend: wait for the second answer before writing on
    TimerSplash = 199,
};

inline constexpr int kPriorityIntervalMs = 5000;
inline constexpr int kDatabaseHoldMs = 5000;
inline constexpr int kOpenLastDocumentMs = 5000;
// About 1/140 s, the pause the receiver needs between a settled command and
// the next signal request.
inline constexpr int kPollDelayMs = 7;
inline constexpr int kReplyTimeoutMs = 1000;
inline constexpr int kProbePollMs = 10;
inline constexpr int kReconnectIntervalMs = 3000;
// How long the link waits, after the answer to a resent command, for the
// answer to the other copy. A receiver answers in order, so that answer
// follows at once when the first copy's answer was only late; when the first
// copy was lost, nothing comes and this is all the resend costs extra.
inline constexpr int kStaleReplyGuardMs = 200;

} // namespace kovo
