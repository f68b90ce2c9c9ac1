#pragma once
#include <cstdint>
#include <string>

#include "SoundFile.h"

namespace kovo {
class SettingsStore;
}

namespace kovo::recorder {

// What the recorder is set to, from its own section of the settings file.
struct RecorderSettings {
    std::string folder; // empty: "recordings" in the per-user data folder
    std::string source; // empty: the default sound input
    FileFormat format = FileFormat::Flac;
    int sampleRate = 24000; // receiver audio needs no more
    int preRollMs = 300;
    std::uint64_t capMegabytes = 2048; // 0: no cap
    std::uint64_t minFreeMegabytes = 200;
    // The program's hit history, where each kept file is named; empty while
    // the program keeps no history ("History" 0). Not stored.
    std::string historyPath;

    static RecorderSettings load(const SettingsStore& store);
    void save(SettingsStore& store) const;
};

} // namespace kovo::recorder
