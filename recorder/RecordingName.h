#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kovo::recorder {

// Recordings are named by the moment their log entry began (UTC, so that a
// change of time zone or daylight saving never hides a file from playback)
// and the frequency: "20240101-080000Z_145.500000MHz.flac". A second
// recording of the same frequency in the same second gets "-2", "-3", ...
struct RecordingKey {
    std::uint32_t frequencyHz = 0;
    std::int64_t time = 0; // seconds since 1970
    bool operator==(const RecordingKey&) const = default;
};

std::string recordingBaseName(const RecordingKey& key);
// The first name from base + extension on that `taken` says is free.
std::string uniqueRecordingName(const RecordingKey& key, std::string_view extension,
                                const std::function<bool(const std::string&)>& taken);
// The key a file name stands for; nothing for names this program did not make.
std::optional<RecordingKey> parseRecordingName(std::string_view fileName);
// Whether a name ends with one of the extensions recordings are written with.
bool isRecordingFile(std::string_view fileName);
// "145.500000 MHz"
std::string frequencyText(std::uint32_t frequencyHz);
// "2024-01-01T08:00:00Z"
std::string isoTime(std::int64_t time);

} // namespace kovo::recorder
