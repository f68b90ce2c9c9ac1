#pragma once
#include <QString>

namespace kovo {

enum class InterfaceLanguage { Japanese, English };

// The language the interface speaks for a "Language" setting ("System", "ja"
// or "en"; anything else counts as "System") and a desktop locale name such
// as "en_GB.UTF-8": the same rule the program's texts follow.
InterfaceLanguage interfaceLanguageFor(const QString& setting, const QString& desktopLocale);

// The language the program's texts speak in this run: a language chosen
// anew takes effect at the next start, for the guide as for the rest.
InterfaceLanguage interfaceLanguageInUse();

} // namespace kovo
