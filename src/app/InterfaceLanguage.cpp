#include "InterfaceLanguage.h"

#include "SettingsStore.h"

#include <QtGlobal>

namespace kovo {

InterfaceLanguage interfaceLanguageFor(const QString& setting, const QString& desktopLocale) {
    const QString chosen = setting.trimmed().toLower();
    if (chosen == QLatin1String("ja"))
        return InterfaceLanguage::Japanese;
    if (chosen == QLatin1String("en"))
        return InterfaceLanguage::English;
    const QString locale = desktopLocale.trimmed();
    const bool unset = locale.isEmpty() || locale == QLatin1String("C") ||
                       locale.startsWith(QLatin1String("C.")) || locale == QLatin1String("POSIX");
    if (unset || locale.startsWith(QLatin1String("ja")))
        return InterfaceLanguage::Japanese;
    return InterfaceLanguage::English;
}

InterfaceLanguage interfaceLanguage(const SettingsStore& store) {
    const QString setting =
        QString::fromStdString(store.readString("Soft Setting", "Language").value_or("System"));
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(name);
        if (!locale.isEmpty())
            break;
    }
    return interfaceLanguageFor(setting, locale);
}

} // namespace kovo
