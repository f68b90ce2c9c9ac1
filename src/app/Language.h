#pragma once
#include <optional>
#include <string>

class QCoreApplication;

namespace kovo {

class SettingsStore;

// The language of the program's texts: the desktop's, the classic Japanese texts,
// or English. Stored as "Language" in "Soft Setting": "System", "ja", "en".
enum class LanguageChoice { System, Japanese, English };

LanguageChoice languageChoiceFrom(const std::optional<std::string>& stored);
std::string languageSettingValue(LanguageChoice choice);
LanguageChoice loadLanguageChoice(const SettingsStore& store);
void storeLanguageChoice(SettingsStore& store, LanguageChoice choice);

// The locale the desktop asks for messages in: the first of LC_ALL,
// LC_MESSAGES and LANG that is set (as the C library reads them), unless
// LANGUAGE names a language this program speaks (see messageLocale).
std::string desktopMessageLocale();
// The locale for messages from `locale` and GNU's LANGUAGE list: outside the
// C locale the list comes first, and its first entry in Japanese or English
// wins; entries in other languages are passed over.
std::string messageLocale(const std::string& locale, const std::string& languageList);

// Whether the program speaks English: always when chosen, never when Japanese
// is chosen, and with "System" when the desktop's locale is set and is
// neither Japanese nor the C/POSIX locale (which keep the classic texts).
bool speaksEnglish(LanguageChoice choice, const std::string& desktopLocale);

// Installs the English catalogue for the application's texts and for the
// toolkit-free layers' texts and user data; false when it cannot be loaded.
bool installEnglish(QCoreApplication& app);
// Back to the classic texts (a test renders both languages in one run).
void removeEnglish(QCoreApplication& app);
// Whether the English catalogue is in use in this run.
bool englishInstalled(const QCoreApplication& app);

} // namespace kovo
