#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/AppSettings.h"
#include "data/ReceiverRange.h"
#include "link/LineSetting.h"
#include "link/TimerIds.h"

namespace kovo {

// How the receiver takes a new tuning.
enum class TuningForm {
    // The frequency alone; mode and attenuator follow in commands of their own.
    Separate,
    // One command: attenuator letter, frequency, mode letter.
    Combined,
};

// When the receiver speaks.
enum class ReplyPacing {
    // It sends replies and reports on its own; a lost answer is not waited for.
    Unprompted,
    // It answers every command it receives, every copy of a resent one too,
    // and says nothing otherwise.
    Answered,
};

// Whose command language the receiver speaks: what a stand-in for it, such
// as the demo's simulator, must answer in.
enum class CommandSet {
    Ar3000,
    Ar3000A,
};

// Everything in which one receiver model differs from another: the bytes of
// its commands, how its replies are cut and read, how it is found on the
// line, how long its squelch needs after a jump, how its port is set up and
// which of the panel's features it has. The link, the command chooser, the
// polling loop and the panels ask the description; none of them knows models
// by name.
struct ReceiverDescription {
    std::string_view model;
    CommandSet commandSet = CommandSet::Ar3000A;

    // ---- commands ----
    TuningForm tuning;
    // Ends a tuning command: the frequency alone, or the combined command.
    std::string_view tuningEnd;
    // Ends the attenuator command ("R" on, "T" off).
    std::string_view attenuatorEnd;
    // Ends the mode and monitor commands.
    std::string_view commandEnd = "\r";
    // Asks for a signal report once everything is sent; empty when the
    // receiver reports without being asked.
    std::string_view signalRequest;
    // Whether the mode command carries the IF bandwidth as a passband in Hz
    // ("N 15000"), so that a new bandwidth alone sends the mode again.
    bool modeCarriesPassband = false;
    // Whether the tuning command asks for a signal report as well (its end
    // carries the request), so that its answer is the report on the new
    // frequency. The mode, attenuator and monitor then go out before it, so
    // that the report is taken as the channel is heard.
    bool tuningAnswersReport = false;
    // The pause before a signal request, in ms; 0 asks at once.
    int signalRequestPauseMs = kPollDelayMs;
    // Signal-shaped replies after a tuning command that may be its echo (0:
    // tuning commands are not echoed).
    int tuningEchoReplies;

    // ---- replies ----
    // Characters that end a reply. CR, LF and the prompt ">" never belong to
    // a reply; those not listed here are dropped.
    std::string_view replyEnds;
    ReplyPacing pacing;

    // ---- finding the receiver ----
    std::string_view probeCommand = "\r";
    // Text in the probe's answer that shows a receiver; empty when any read
    // counts, for a receiver that has nothing to say.
    std::string_view probeAnswer;

    // ---- settling ----
    // Squelch-closed reports let pass after a jump: one per full step, at most
    // the maximum.
    std::uint32_t settleStepHz = 5'000'000;
    int maxSettleReports = 20;

    // ---- port ----
    // Reached through Hamlib with the "Hamlib…" settings rather than through
    // the COM port's device.
    bool reachedThroughHamlib = false;
    // Receive and transmit buffers of the open port.
    int inBufferSize = 16384;
    int outBufferSize = 256;
    LineSetting::Parity parity = LineSetting::Parity::None;
    int dataBits = 8;
    LineSetting::StopBits stopBits = LineSetting::StopBits::Two;
    LineSetting::FlowControl flowControl = LineSetting::FlowControl::RtsCts;

    // ---- tuning range ----
    // The lowest and highest frequency it tunes.
    std::uint32_t lowestHz = kLowestFrequency;
    std::uint32_t highestHz = kHighestFrequency;

    // ---- features ----
    bool hasVoiceSquelch;
    // An attenuator change is sent at once rather than with the next pass.
    bool attenuatorSentAtOnce;

    // Reports to let pass after a jump of `jumpHz`.
    int settleReportsFor(std::uint32_t jumpHz) const;
    bool tunes(std::uint32_t hz) const { return hz >= lowestHz && hz <= highestHz; }
    bool echoesTuning() const { return tuningEchoReplies > 0; }
    bool endsReply(char c) const { return replyEnds.find(c) != std::string_view::npos; }
    // The character after which the text received so far can be read whole:
    // the one that ends a reply, for a receiver that speaks only when spoken
    // to and whose line characters never end a reply. '\0' when every byte
    // must be read as it comes.
    char eventCharacter() const;
    // The line format at `bitsPerSecond`.
    LineSetting line(int bitsPerSecond) const;
};

extern const ReceiverDescription kAr3000Description;
extern const ReceiverDescription kAr3000aDescription;
// Any radio Hamlib drives, spoken to in the AR3000A's commands.
extern const ReceiverDescription kHamlibDescription;

// The receiver the "Device" setting names: 0 is the AR3000, any other value
// the AR3000A.
const ReceiverDescription& receiverDescriptionFor(int device);
// The receiver the settings name: a Hamlib radio when "UseHamlib" is 1,
// otherwise the one of "Device".
const ReceiverDescription& receiverDescriptionFor(const AppSettings& settings);

} // namespace kovo
