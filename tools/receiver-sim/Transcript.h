#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace kovo::sim {

enum class TranscriptKind { Received, Sent, Withheld };

// One line of the transcript: a command taken from the line, an answer or
// report put on it, or an answer held back on purpose.
struct TranscriptEntry {
    std::int64_t timeUs = 0; // since the simulator started
    TranscriptKind kind = TranscriptKind::Received;
    std::string bytes;
};

// Printable ASCII as it is; CR, LF, quote, backslash and every other byte escaped.
std::string escapeBytes(std::string_view bytes);
// "  1234.567 RX \"145.5\\r\"": milliseconds, direction, the bytes escaped.
std::string formatTranscriptLine(const TranscriptEntry& entry);

// Appends transcript lines to a file, flushing each so that readers see them at once.
class TranscriptFile {
public:
    bool open(const std::string& path, std::string* error);
    void writeLine(const std::string& line);
    void write(const TranscriptEntry& entry) { writeLine(formatTranscriptLine(entry)); }
    bool isOpen() const { return file_ != nullptr; }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace kovo::sim
