#include "RecorderSettings.h"

#include "app/SettingsStore.h"
#include "history/HistoryDatabase.h"

#include <algorithm>

namespace kovo::recorder {
namespace {

constexpr const char* kSection = "Recorder";

int clampedInt(const SettingsStore& store, const char* name, int fallback, int low, int high) {
    return std::clamp(store.readInt(kSection, name).value_or(fallback), low, high);
}

} // namespace

RecorderSettings RecorderSettings::load(const SettingsStore& store) {
    RecorderSettings s;
    s.folder = store.readString(kSection, "Folder").value_or("");
    s.source = store.readString(kSection, "Source").value_or("");
    s.format = store.readString(kSection, "Format").value_or("flac") == "opus" ? FileFormat::Opus
                                                                               : FileFormat::Flac;
    // Opus takes only these rates; FLAC any of them.
    const int rate = clampedInt(store, "SampleRate", s.sampleRate, 8000, 48000);
    for (int allowed : {8000, 12000, 16000, 24000, 48000})
        if (rate <= allowed) {
            s.sampleRate = allowed;
            break;
        }
    s.preRollMs = clampedInt(store, "PreRollMs", s.preRollMs, 0, 5000);
    s.capMegabytes =
        std::uint64_t(clampedInt(store, "CapMegabytes", int(s.capMegabytes), 0, 1 << 24));
    s.minFreeMegabytes =
        std::uint64_t(clampedInt(store, "MinFreeMegabytes", int(s.minFreeMegabytes), 0, 1 << 20));
    if (store.readInt("Soft Setting", "History").value_or(1) != 0)
        s.historyPath = history::defaultHistoryPath();
    return s;
}

void RecorderSettings::save(SettingsStore& store) const {
    store.writeString(kSection, "Folder", folder);
    store.writeString(kSection, "Source", source);
    store.writeString(kSection, "Format", format == FileFormat::Opus ? "opus" : "flac");
    store.writeInt(kSection, "SampleRate", sampleRate);
    store.writeInt(kSection, "PreRollMs", preRollMs);
    store.writeInt(kSection, "CapMegabytes", int(capMegabytes));
    store.writeInt(kSection, "MinFreeMegabytes", int(minFreeMegabytes));
}

} // namespace kovo::recorder
