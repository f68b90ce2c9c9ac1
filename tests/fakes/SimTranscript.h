#pragma once
// Reads the receiver simulator's transcript file: one line per command taken
// from the line (RX), answer or report put on it (TX) or answer held back
// (DROP), with the simulator's time in milliseconds. Header-only so that the
// scan-rate benchmark can read transcripts too.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::test {

struct TranscriptLine {
    double ms = 0;     // since the simulator started
    std::string kind;  // "RX", "TX" or "DROP"
    std::string bytes; // unescaped
};

// The bytes of a quoted, escaped transcript field (without the quotes).
inline std::string unescapeTranscriptBytes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 'x' && i + 2 < text.size()) {
            out += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// The lines of the transcript written so far; comment lines and lines that
// do not parse are skipped.
inline std::vector<TranscriptLine> readTranscript(const std::string& path) {
    std::vector<TranscriptLine> lines;
    std::ifstream in(path);
    std::string raw;
    while (std::getline(in, raw)) {
        if (raw.empty() || raw[0] == '#')
            continue;
        const auto open = raw.find('"');
        if (open == std::string::npos || raw.size() < open + 2 || raw.back() != '"')
            continue;
        TranscriptLine line;
        char kind[8] = {};
        if (std::sscanf(raw.c_str(), "%lf %7s", &line.ms, kind) != 2)
            continue;
        line.kind = kind;
        line.bytes =
            unescapeTranscriptBytes(std::string_view(raw).substr(open + 1, raw.size() - open - 2));
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace kovo::test
