#pragma once
#include <QString>

namespace kovo {

class SettingsStore;

enum class InterfaceLanguage { Japanese, English };

// The language the interface speaks: the "Language" setting ("System", "ja"
// or "en"; absent counts as "System"). "System" follows the desktop: English
// unless its language is Japanese or unset (empty, C or POSIX keep the
// program's own Japanese texts). `desktopLocale` is a locale name such as
// "en_GB.UTF-8".
InterfaceLanguage interfaceLanguageFor(const QString& setting, const QString& desktopLocale);

// The same for this run: the stored setting and the desktop's locale from
// the environment (LC_ALL, LC_MESSAGES, LANG, first that is set).
InterfaceLanguage interfaceLanguage(const SettingsStore& store);

} // namespace kovo
