#include "app/AppSettingsLoader.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"

namespace kovo {

namespace {

// An empty path could never be opened, so it counts as missing.
std::string readPath(const SettingsStore& store, const char* section, const std::string& name,
                     const std::string& fallback) {
    std::string path = store.readString(section, name).value_or(fallback);
    return path.empty() ? fallback : path;
}

} // namespace

AppSettings loadAppSettings(const SettingsStore& store) {
    using namespace settings;
    const AppSettings defaults;
    AppSettings loaded;

    for (const IntSetting& setting : kIntSettings) {
        int& field = loaded.*setting.field;
        if (!setting.readAtStart) {
            field = 0;
            continue;
        }
        const int fallback = defaults.*setting.field;
        const int value = store.readInt(setting.section, setting.name).value_or(fallback);
        field = value > setting.loadLimit ? fallback : value;
    }

    for (int port = 1; port <= kComPortCount; ++port) {
        std::string& path = loaded.comDevice[port - 1];
        path = readPath(store, kHardwareSection, comDeviceName(port), path);
    }

    loaded.hamlibPort = store.readString(kHardwareSection, kHamlibPortName).value_or("");
    loaded.lastFile = readPath(store, kRecentFileSection, recentFileName(1), defaults.lastFile);
    return loaded;
}

} // namespace kovo
