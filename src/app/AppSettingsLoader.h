#pragma once
#include "data/AppSettings.h"

namespace kovo {

class SettingsStore;

// Reads every setting once at start: missing or unreadable values take their
// defaults, positions off a 1600 x 1300 screen come back to the defaults, and
// the option flags and tool-window toggles start at 0 whatever is stored.
AppSettings loadAppSettings(const SettingsStore& store);

} // namespace kovo
