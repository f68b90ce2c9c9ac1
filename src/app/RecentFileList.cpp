#include "app/RecentFileList.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"

#include <algorithm>

namespace kovo {

using settings::kRecentFileCount;
using settings::kRecentFileSection;
using settings::recentFileName;

RecentFileList::RecentFileList(AppSettings& settings, SettingsStore& store)
    : settings_(settings), store_(store) {}

void RecentFileList::load() {
    files_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const auto path = store_.readString(kRecentFileSection, recentFileName(i));
        if (path && !path->empty() &&
            std::find(files_.begin(), files_.end(), *path) == files_.end())
            files_.push_back(*path);
    }
}

void RecentFileList::add(const std::string& path) {
    if (path.empty())
        return;
    std::erase(files_, path);
    files_.insert(files_.begin(), path);
    if (files_.size() > static_cast<size_t>(kRecentFileCount))
        files_.resize(kRecentFileCount);
    settings_.lastFile = path;
    save();
}

void RecentFileList::remove(const std::string& path) {
    if (std::erase(files_, path) == 0)
        return;
    save();
}

void RecentFileList::save() {
    if (!stored_)
        return;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const auto index = static_cast<size_t>(i - 1);
        if (index < files_.size())
            store_.writeString(kRecentFileSection, recentFileName(i), files_[index]);
        else
            store_.remove(kRecentFileSection, recentFileName(i));
    }
}

} // namespace kovo
