#pragma once

namespace kovo {

// The program settings the document and the database panel may ask to change.
enum class SoftSetting { Dtmf, Elm, MbMultiSelect };

struct SoftSettingChange {
    SoftSetting which;
    int value;
};

} // namespace kovo
