#pragma once

#include "web/AudioForm.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kovo::web {

// One command of the web remote's page, sent as a line of text: a verb and at
// most one argument ("scan", "stop", "hold", "resume", "up", "down",
// "tune 145.5", "mode NFM", "linkset 3", "listen on", "listen on adpcm").
// Anything else is refused as a whole; nothing is taken from a message that
// does not parse.
enum class ControlVerb {
    Scan,
    Stop,
    Hold,
    Resume,
    Up,
    Down,
    Tune,
    Mode,
    LinkSet,
    Listen,
};

struct ControlMessage {
    ControlVerb verb = ControlVerb::Stop;
    // Tune: the typed frequency in megahertz, as the user wrote it.
    // Mode: the mode's label ("NFM").
    std::string text;
    // LinkSet: 1..20 as the page numbers them; Listen: 1 on, 0 off.
    int number = 0;
    // Listen on: the form the page wants its audio in (Opus when it names none).
    AudioForm audioForm = AudioForm::Opus;
};

// The longest message the page ever sends; longer ones are refused unread.
inline constexpr std::size_t kMaxControlMessageBytes = 64;

std::optional<ControlMessage> parseControlMessage(std::string_view line);

// Compares two secrets in time that depends on their lengths only, never on
// where they first differ.
bool sameSecret(std::string_view a, std::string_view b);

// At most `burst` commands at once and `perSecond` on average; a command
// over that is refused. Time comes from the caller (milliseconds).
class CommandRateLimit {
public:
    CommandRateLimit(int perSecond, int burst)
        : perSecond_(perSecond), burst_(burst), tokens_(burst) {}
    bool allow(std::int64_t nowMs);

private:
    int perSecond_;
    int burst_;
    double tokens_;
    std::optional<std::int64_t> lastMs_;
};

} // namespace kovo::web
