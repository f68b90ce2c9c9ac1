#pragma once
#include "data/AppSettings.h"

#include <string>
#include <vector>

namespace kovo {

class SettingsStore;

// The list of recently used document files, newest first, at most five.
// It is written to the store whenever it changes, so a crash loses nothing;
// the newest entry is also the last document file opened at start.
class RecentFileList {
public:
    RecentFileList(AppSettings& settings, SettingsStore& store);

    // Reads "File1" ... "File5"; empty entries are skipped.
    void load();
    const std::vector<std::string>& files() const { return files_; }

    // Puts `path` first (moving it up if already listed).
    void add(const std::string& path);
    // Drops `path`, for example after it failed to open.
    void remove(const std::string& path);
    // From now on changes hold for this run only: the stored list and the
    // stored last document stay as they are (a demonstration run).
    void keepForThisRunOnly() { stored_ = false; }

private:
    void save();

    AppSettings& settings_;
    SettingsStore& store_;
    std::vector<std::string> files_;
    bool stored_ = true;
};

} // namespace kovo
