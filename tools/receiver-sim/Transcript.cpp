#include "Transcript.h"

#include <cerrno>
#include <cstring>

namespace kovo::sim {

namespace {

const char* label(TranscriptKind kind) {
    switch (kind) {
    case TranscriptKind::Received:
        return "RX";
    case TranscriptKind::Sent:
        return "TX";
    case TranscriptKind::Withheld:
        return "DROP";
    }
    return "?";
}

} // namespace

std::string escapeBytes(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += {'\\', char(c)};
        else if (c >= 0x20 && c < 0x7f)
            out += char(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(c));
            out += hex;
        }
    }
    return out;
}

std::string formatTranscriptLine(const TranscriptEntry& entry) {
    char stamp[40];
    const std::int64_t us = entry.timeUs < 0 ? 0 : entry.timeUs;
    std::snprintf(stamp, sizeof stamp, "%10lld.%03lld %-4s ", static_cast<long long>(us / 1000),
                  static_cast<long long>(us % 1000), label(entry.kind));
    return std::string(stamp) + '"' + escapeBytes(entry.bytes) + '"';
}

bool TranscriptFile::open(const std::string& path, std::string* error) {
    file_.reset(std::fopen(path.c_str(), "w"));
    if (!file_ && error)
        *error = path + ": " + std::strerror(errno);
    return file_ != nullptr;
}

void TranscriptFile::writeLine(const std::string& line) {
    if (!file_)
        return;
    std::fputs(line.c_str(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

} // namespace kovo::sim
