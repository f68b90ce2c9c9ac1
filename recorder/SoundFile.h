#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "RecordingGate.h"

typedef struct sf_private_tag SNDFILE;

namespace kovo::recorder {

enum class FileFormat { Flac, Opus };

// Writes each entry's recording as a file in the folder (libsndfile), mono,
// with the frequency, time and comment as tags. The data reaches the disk
// at least once a second, so a crash of either program leaves a file that
// plays up to its last second.
class SoundFileSink final : public RecordingSink {
public:
    SoundFileSink(std::filesystem::path folder, FileFormat format, int sampleRate);
    ~SoundFileSink() override;

    bool open(const EntryInfo& entry) override;
    void write(std::span<const float> samples) override;
    void close() override;

    // The file being written (empty when none).
    std::string currentName() const { return current_; }
    // The entry of the file being written; still the closed file's entry
    // while onClosed runs.
    const EntryInfo& currentEntry() const { return entry_; }
    std::filesystem::path folder() const { return folder_; }
    std::string lastError() const { return error_; }
    // Called with a file's name once it is complete.
    std::function<void(const std::string&)> onClosed;
    // Called instead when a file ends without a sample and is removed.
    std::function<void(const std::string&)> onDiscarded;

private:
    std::filesystem::path folder_;
    FileFormat format_;
    int sampleRate_;
    SNDFILE* file_ = nullptr;
    std::string current_;
    EntryInfo entry_;
    std::string error_;
    std::int64_t unsynced_ = 0;
    std::int64_t written_ = 0;
};

// What a recording file holds, as read back.
struct RecordingContents {
    int sampleRate = 0;
    std::vector<float> samples;
    std::string title, comment, date, software;
};
std::optional<RecordingContents> readRecording(const std::filesystem::path& file);

// The recording of a log entry (frequency and first-heard time), if any.
std::optional<std::filesystem::path> findRecording(const std::filesystem::path& folder,
                                                   std::uint32_t frequencyHz, std::int64_t time);

} // namespace kovo::recorder
