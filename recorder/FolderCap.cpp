#include "FolderCap.h"

#include "RecordingName.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace kovo::recorder {

std::vector<std::string> recordingsOverCap(std::vector<StoredRecording> files,
                                           std::uint64_t capBytes, const std::string& keep) {
    std::uint64_t total = 0;
    for (const StoredRecording& f : files)
        total += f.bytes;
    std::vector<std::string> doomed;
    if (capBytes == 0 || total <= capBytes)
        return doomed;
    std::sort(files.begin(), files.end(), [](const StoredRecording& a, const StoredRecording& b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });
    for (const StoredRecording& f : files) {
        if (total <= capBytes)
            break;
        if (f.name == keep)
            continue;
        doomed.push_back(f.name);
        total -= f.bytes;
    }
    return doomed;
}

std::vector<StoredRecording> listRecordings(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::vector<StoredRecording> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code fileError;
        if (!it->is_regular_file(fileError) || !isRecordingFile(it->path().filename().string()))
            continue;
        const auto size = it->file_size(fileError);
        const auto written = it->last_write_time(fileError);
        if (fileError)
            continue;
        const auto since1970 = std::chrono::file_clock::to_sys(written);
        files.push_back(
            {it->path().filename().string(), size,
             std::chrono::duration_cast<std::chrono::seconds>(since1970.time_since_epoch())
                 .count()});
    }
    return files;
}

std::vector<std::string> enforceCap(const std::filesystem::path& folder, std::uint64_t capBytes,
                                    const std::string& keep) {
    std::vector<std::string> removed;
    for (const std::string& name : recordingsOverCap(listRecordings(folder), capBytes, keep)) {
        std::error_code error;
        if (std::filesystem::remove(folder / name, error))
            removed.push_back(name);
    }
    return removed;
}

std::uint64_t freeBytes(const std::filesystem::path& folder) {
    std::error_code error;
    const auto space = std::filesystem::space(folder, error);
    return error ? 0 : space.available;
}

} // namespace kovo::recorder
