#include "app/SettingsTable.h"

#include <stdexcept>

namespace kovo::settings {

std::string comDeviceName(int portNumber) {
    return "Com" + std::to_string(portNumber) + "Device";
}

std::string recentFileName(int index) {
    return "File" + std::to_string(index);
}

const IntSetting& intSettingFor(int AppSettings::*field) {
    for (const IntSetting& setting : kIntSettings) {
        if (setting.field == field)
            return setting;
    }
    throw std::logic_error("AppSettings field without a stored value");
}

} // namespace kovo::settings
