#include "InterfaceLanguage.h"

#include "app/Language.h"

#include <QCoreApplication>

namespace kovo {

InterfaceLanguage interfaceLanguageFor(const QString& setting, const QString& desktopLocale) {
    return speaksEnglish(languageChoiceFrom(setting.toStdString()), desktopLocale.toStdString())
               ? InterfaceLanguage::English
               : InterfaceLanguage::Japanese;
}

InterfaceLanguage interfaceLanguageInUse() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && englishInstalled(*app) ? InterfaceLanguage::English : InterfaceLanguage::Japanese;
}

} // namespace kovo
