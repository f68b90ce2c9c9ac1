#include "CommandLine.h"

#include "SignalPlan.h"

#include <cstdint>

namespace kovo::sim {

namespace {

bool parseNumber(const std::string& text, long lowest, long highest, long* value) {
    if (text.empty() || text.size() > 10)
        return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < lowest || v > highest)
        return false;
    *value = v;
    return true;
}

constexpr const char* kUsage = R"(Usage: receiver-sim [options]

Simulates an AR3000A (default) or AR3000 receiver on a pseudo-terminal. The
device path of the pseudo-terminal is printed on standard output, one line,
as soon as it is ready; open it as the receiver's serial port (raw, 8N2).
SIGINT, SIGTERM or SIGHUP end the simulator and remove the --link.

Options:
  --ar3000             simulate an AR3000 instead of an AR3000A
  --baud N             line speed for pacing: 4800, 9600 (default) or 19200
  --latency MS         extra time before every answer, 0-60000 ms (default 0)
  --no-pacing          deliver at once instead of at 11 bits per character
  --report-interval MS AR3000: time between unprompted reports,
                       10-60000 ms (default 200)
  --plan FILE          signal plan to use instead of the built-in demo plan
  --link PATH          make PATH a symbolic link to the device (an existing
                       link is replaced, any other file is left alone)
  --log FILE           write a transcript of every command and answer
  --drop-reply N       never send answer number N (1 = the first answer); may
                       be given several times. Answers are the AR3000A's
                       replies to command lines (the opening probe counts)
                       and the AR3000's echo lines; reports do not count
  --delay-reply N:MS   send answer number N (counted as for --drop-reply) MS
                       milliseconds late, 1-60000; everything the receiver
                       says after it waits behind it. May be given several times
  --mute               never answer and never report (a dead receiver)
  --rigctl PORT        speak the Hamlib network protocol (what rigctld speaks)
                       on 127.0.0.1:PORT instead of using a pseudo-terminal,
                       for Hamlib's network client (model 2); 0 takes any
                       free port. Prints HOST:PORT once it listens. The plan
                       is the same; --plan and --mute apply
  --rtl-tcp PORT       be an SDR dongle served by rtl_tcp on 127.0.0.1:PORT
                       instead of using a pseudo-terminal (0 takes any free
                       port): greets with "RTL0" and an R820T tuner, streams
                       unsigned 8-bit I/Q at the sample rate and around the
                       centre frequency the client sets (5-byte commands),
                       made from the plan: FM signals carry a 1 kHz tone, AM
                       signals a 1 kHz tone at 50 %, USB/LSB/CW signals are a
                       carrier heard as a 1 kHz tone (CW: on the frequency),
                       all over white noise. Prints HOST:PORT once it
                       listens; --plan applies
  --show-demo-plan     print the built-in demo plan and exit
  -h, --help           this text

AR3000A: every command is a line ended by CR (LF is ignored); every answer
ends with CR LF and the prompt ">".
  CR                 (empty line, the opening probe)   -> "\r\n>"
  Y                  signal report                     -> "%\r\n>" when the
                     squelch is closed, else the level letter, e.g. "G\r\n>"
  145.5  145.  .5    frequency in MHz (0.1-2040)       -> "\r\n>"
  N W A L U C        mode NFM WFM AM LSB USB CW        -> "\r\n>"
  R / T              attenuator on / off               -> "\r\n>"
  F / G              monitor on / off                  -> "\r\n>"
  T145.5N            attenuator letter, frequency and mode letter in one
                     line are accepted as well         -> "\r\n>"
  anything else, or a line over 64 bytes               -> "?\r\n>"

AR3000: commands have no terminator and act character by character:
  R / T attenuator on / off, digits and "." enter a frequency, a mode letter
  (N W A L U C) ends the entry and sets the mode (Tuning command "T145.5N"),
  CR ends an entry without a mode letter, F / G monitor on / off; LF is
  ignored, any other byte or an entry over 16 characters abandons the entry.
  After each Tuning command the receiver sends the command back as one line
  ("T145.5N\r\n") before its reports resume. Reports are sent unprompted
  every --report-interval: "%\r\n" (squelch closed) or the level letter,
  e.g. "M\r\n". No answer is sent to other commands.

Signals: a report letter is A (level 0) to Z (level 25). A signal is heard
when the tuned frequency lies within its tolerance of a plan frequency and
the signal is on the air; the tuned mode does not matter. Where signals
overlap the strongest wins. The attenuator takes 3 letters off the level; a
signal pushed below A is not heard ("%").

Plan file: one signal per line, "#" starts a comment, blank lines are skipped.
  FREQUENCY MODE LEVEL [on=MS off=MS] [phase=MS] [tol=HZ]
  FREQUENCY  MHz with up to six decimals, 0.1 to 2040 (e.g. 145.500000)
  MODE       NFM WFM AM LSB USB CW SAM SAL SAH; it sets the default
             tolerance (Hz either side):
@TOLERANCES@  LEVEL      0 to 25, or the letter A to Z
  on= off=   on the air for `on` ms, then off for `off` ms, repeating (both
             or neither; without them the signal is always on the air)
  phase=     ms into the on/off cycle at the moment the simulator starts
  tol=       reception tolerance in Hz either side, instead of the default
  Example:   145.500000 NFM 12 on=3000 off=5000
A plan with any unreadable line is refused, with the line numbers.

Pacing: each character takes 11 bits on the line, each way. A command is
acted on once its last character would have arrived; its answer is ready
--latency ms later and each of its characters reaches the program 11/baud
seconds after the one before (e.g. "%\r\n>" takes 4.58 ms at 9600 bit/s).

Transcript (--log): one line per event, time in ms since start, then
  RX "bytes"    a command the receiver took from the line
  TX "bytes"    an answer or report as it starts out on the line
  DROP "bytes"  an answer held back (--drop-reply, --mute)
with CR as \r, LF as \n and other control or 8-bit bytes as \xNN.
)";

std::string toleranceLines() {
    std::string lines = "            ";
    const auto& names = planModeNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        lines += " " + std::string(names[i]) + " " + std::to_string(defaultToleranceHz(int(i)));
        lines += i + 1 < names.size() ? "," : "\n";
        if (i % 5 == 4 && i + 1 < names.size())
            lines += "\n            ";
    }
    return lines;
}

// "N:MS" of --delay-reply.
bool parseDelaySpec(const std::string& text, long* number, int* delayMs) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    long ms = 0;
    if (!parseNumber(text.substr(0, colon), 1, 2000000000, number) ||
        !parseNumber(text.substr(colon + 1), 1, 60000, &ms))
        return false;
    *delayMs = int(ms);
    return true;
}

} // namespace

std::string helpText() {
    std::string text = kUsage;
    const std::string marker = "@TOLERANCES@";
    text.replace(text.find(marker), marker.size(), toleranceLines());
    return text;
}

CommandLineResult parseCommandLine(const std::vector<std::string>& args, SimOptions* options,
                                   std::string* error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            *out = args[++i];
            return true;
        };
        const auto number = [&](long lowest, long highest, long* out) {
            std::string text;
            if (!value(&text))
                return false;
            if (!parseNumber(text, lowest, highest, out)) {
                *error = arg + ": \"" + text + "\" is not a number from " + std::to_string(lowest) +
                         " to " + std::to_string(highest);
                return false;
            }
            return true;
        };
        long n = 0;
        if (arg == "-h" || arg == "--help")
            return CommandLineResult::ShowHelp;
        if (arg == "--show-demo-plan")
            return CommandLineResult::ShowDemoPlan;
        if (arg == "--ar3000")
            options->ar3000 = true;
        else if (arg == "--no-pacing")
            options->pacing = false;
        else if (arg == "--mute")
            options->mute = true;
        else if (arg == "--baud") {
            if (!number(4800, 19200, &n))
                return CommandLineResult::Error;
            if (n != 4800 && n != 9600 && n != 19200) {
                *error = "--baud: use 4800, 9600 or 19200";
                return CommandLineResult::Error;
            }
            options->baud = int(n);
        } else if (arg == "--latency") {
            if (!number(0, 60000, &n))
                return CommandLineResult::Error;
            options->latencyMs = int(n);
        } else if (arg == "--report-interval") {
            if (!number(10, 60000, &n))
                return CommandLineResult::Error;
            options->reportIntervalMs = int(n);
        } else if (arg == "--drop-reply") {
            if (!number(1, 2000000000, &n))
                return CommandLineResult::Error;
            options->dropReplies.push_back(n);
        } else if (arg == "--delay-reply") {
            std::string spec;
            if (!value(&spec))
                return CommandLineResult::Error;
            long answer = 0;
            int delayMs = 0;
            if (!parseDelaySpec(spec, &answer, &delayMs)) {
                *error = "--delay-reply: use N:MS, N from 1, MS from 1 to 60000";
                return CommandLineResult::Error;
            }
            options->delayReplies.emplace_back(answer, delayMs);
        } else if (arg == "--plan") {
            if (!value(&options->planFile))
                return CommandLineResult::Error;
        } else if (arg == "--link") {
            if (!value(&options->linkPath))
                return CommandLineResult::Error;
        } else if (arg == "--rigctl") {
            if (!number(0, 65535, &n))
                return CommandLineResult::Error;
            options->rigctlPort = int(n);
        } else if (arg == "--rtl-tcp") {
            if (!number(0, 65535, &n))
                return CommandLineResult::Error;
            options->rtlTcpPort = int(n);
        } else if (arg == "--log") {
            if (!value(&options->logPath))
                return CommandLineResult::Error;
        } else {
            *error = "unknown option \"" + arg + "\" (see --help)";
            return CommandLineResult::Error;
        }
    }
    if (options->rigctlPort >= 0 && options->rtlTcpPort >= 0) {
        *error = "--rigctl and --rtl-tcp are two different receivers; give one";
        return CommandLineResult::Error;
    }
    return CommandLineResult::Run;
}

} // namespace kovo::sim
