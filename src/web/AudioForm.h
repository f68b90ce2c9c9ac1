#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kovo::web {

// How the live sound travels to a page. Opus needs the browser's WebCodecs,
// which exist only in secure contexts (https, or a page on localhost); a
// phone on the house network over plain http asks for IMA ADPCM instead,
// which the page decodes in plain JavaScript.
enum class AudioForm {
    Opus,
    Adpcm,
};

struct AudioFormName {
    std::string_view word;
    AudioForm form;
};

// The words a page names the forms by in "listen on <form>".
inline constexpr std::array<AudioFormName, 2> kAudioFormNames{{
    {"opus", AudioForm::Opus},
    {"adpcm", AudioForm::Adpcm},
}};

inline std::optional<AudioForm> audioFormNamed(std::string_view word) {
    for (const AudioFormName& row : kAudioFormNames)
        if (row.word == word)
            return row.form;
    return std::nullopt;
}

} // namespace kovo::web
