#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kovo::recorder {

struct StoredRecording {
    std::string name;
    std::uint64_t bytes = 0;
    std::int64_t modified = 0; // seconds since 1970
};

// Which recordings to delete, oldest first, so that the folder holds at
// most `capBytes`; `keep` (the file being written) is never chosen. A cap
// of 0 means no cap.
std::vector<std::string> recordingsOverCap(std::vector<StoredRecording> files,
                                           std::uint64_t capBytes, const std::string& keep);

// The recordings in a folder (files whose names end like a recording).
std::vector<StoredRecording> listRecordings(const std::filesystem::path& folder);

// Deletes what is over the cap; returns the names deleted.
std::vector<std::string> enforceCap(const std::filesystem::path& folder, std::uint64_t capBytes,
                                    const std::string& keep);

// Bytes free to this user on the folder's file system (0 when unknown).
std::uint64_t freeBytes(const std::filesystem::path& folder);

} // namespace kovo::recorder
