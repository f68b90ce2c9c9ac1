#include "SoundFile.h"

#include "FolderCap.h"
#include "RecordingName.h"

#include <sndfile.h>

#include <algorithm>
#include <system_error>
#include <utility>

namespace kovo::recorder {

SoundFileSink::SoundFileSink(std::filesystem::path folder, FileFormat format, int sampleRate)
    : folder_(std::move(folder)), format_(format), sampleRate_(sampleRate) {}

SoundFileSink::~SoundFileSink() {
    close();
}

bool SoundFileSink::open(const EntryInfo& entry) {
    close();
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const bool opus = format_ == FileFormat::Opus;
    const std::string name = uniqueRecordingName(
        {entry.frequencyHz, entry.time}, opus ? ".opus" : ".flac",
        [this](const std::string& n) { return std::filesystem::exists(folder_ / n); });
    SF_INFO info{};
    info.samplerate = sampleRate_;
    info.channels = 1;
    info.format = opus ? (SF_FORMAT_OGG | SF_FORMAT_OPUS) : (SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    file_ = sf_open((folder_ / name).c_str(), SFM_WRITE, &info);
    if (!file_) {
        error_ = sf_strerror(nullptr);
        return false;
    }
    // Tags go before the first sample: they are part of the header.
    const std::string title = frequencyText(entry.frequencyHz);
    const std::string date = isoTime(entry.time);
    sf_set_string(file_, SF_STR_TITLE, title.c_str());
    sf_set_string(file_, SF_STR_DATE, date.c_str());
    sf_set_string(file_, SF_STR_COMMENT, entry.comment.c_str());
    sf_set_string(file_, SF_STR_SOFTWARE, "KOVO Recorder");
    current_ = name;
    entry_ = entry;
    unsynced_ = 0;
    written_ = 0;
    return true;
}

void SoundFileSink::write(std::span<const float> samples) {
    if (!file_ || samples.empty())
        return;
    sf_write_float(file_, samples.data(), sf_count_t(samples.size()));
    unsynced_ += std::int64_t(samples.size());
    written_ += std::int64_t(samples.size());
    if (unsynced_ >= sampleRate_) {
        sf_write_sync(file_);
        unsynced_ = 0;
    }
}

void SoundFileSink::close() {
    if (!file_)
        return;
    sf_close(file_);
    file_ = nullptr;
    const std::string name = std::exchange(current_, {});
    // An entry that never heard anything leaves no file: playback then says
    // there is no audio rather than playing nothing.
    if (written_ == 0) {
        std::error_code error;
        std::filesystem::remove(folder_ / name, error);
        if (onDiscarded)
            onDiscarded(name);
        return;
    }
    if (onClosed)
        onClosed(name);
}

std::optional<RecordingContents> readRecording(const std::filesystem::path& file) {
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    if (!f)
        return std::nullopt;
    RecordingContents out;
    out.sampleRate = info.samplerate;
    auto text = [f](int which) {
        const char* s = sf_get_string(f, which);
        return s ? std::string(s) : std::string();
    };
    out.title = text(SF_STR_TITLE);
    out.comment = text(SF_STR_COMMENT);
    out.date = text(SF_STR_DATE);
    out.software = text(SF_STR_SOFTWARE);
    std::vector<float> block(std::size_t(4096 * std::max(1, info.channels)));
    for (;;) {
        const sf_count_t frames = sf_readf_float(f, block.data(), 4096);
        if (frames <= 0)
            break;
        // Mixed down to one channel, whatever the file holds.
        for (sf_count_t i = 0; i < frames; ++i) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[std::size_t(i * info.channels + c)];
            out.samples.push_back(sum / float(info.channels));
        }
    }
    sf_close(f);
    return out;
}

std::optional<std::filesystem::path> findRecording(const std::filesystem::path& folder,
                                                   std::uint32_t frequencyHz, std::int64_t time) {
    std::vector<std::string> matches;
    for (const StoredRecording& r : listRecordings(folder)) {
        const auto key = parseRecordingName(r.name);
        if (key && *key == RecordingKey{frequencyHz, time})
            matches.push_back(r.name);
    }
    if (matches.empty())
        return std::nullopt;
    // The first recording of the entry: the name without a copy number sorts first.
    std::sort(matches.begin(), matches.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return folder / matches.front();
}

} // namespace kovo::recorder
