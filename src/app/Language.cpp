#include "app/Language.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"
#include "data/UiText.h"

#include <QCoreApplication>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace kovo {
namespace {

constexpr std::array<std::pair<LanguageChoice, const char*>, 3> kValues{{
    {LanguageChoice::System, "System"},
    {LanguageChoice::Japanese, "ja"},
    {LanguageChoice::English, "en"},
}};

constexpr const char* kTranslatorName = "kovo3000_en";

std::string translated(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

} // namespace

LanguageChoice languageChoiceFrom(const std::optional<std::string>& stored) {
    if (stored)
        for (const auto& [choice, value] : kValues)
            if (*stored == value)
                return choice;
    return LanguageChoice::System;
}

std::string languageSettingValue(LanguageChoice choice) {
    for (const auto& [known, value] : kValues)
        if (known == choice)
            return value;
    return kValues[0].second;
}

LanguageChoice loadLanguageChoice(const SettingsStore& store) {
    return languageChoiceFrom(store.readString(settings::kSoftSection, settings::kLanguageName));
}

void storeLanguageChoice(SettingsStore& store, LanguageChoice choice) {
    store.writeString(settings::kSoftSection, settings::kLanguageName,
                      languageSettingValue(choice));
}

namespace {

std::string languageOf(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool isCLocale(const std::string& locale) {
    const std::string language = languageOf(locale);
    return language.empty() || language == "C" || language == "POSIX";
}

} // namespace

std::string messageLocale(const std::string& locale, const std::string& languageList) {
    if (isCLocale(locale))
        return locale;
    std::size_t start = 0;
    while (start <= languageList.size()) {
        const std::size_t end = std::min(languageList.find(':', start), languageList.size());
        const std::string entry = languageList.substr(start, end - start);
        if (languageOf(entry) == "ja" || languageOf(entry) == "en")
            return entry;
        start = end + 1;
    }
    return locale;
}

std::string desktopMessageLocale() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    const char* list = std::getenv("LANGUAGE");
    return messageLocale(locale, list ? list : "");
}

bool speaksEnglish(LanguageChoice choice, const std::string& desktopLocale) {
    if (choice != LanguageChoice::System)
        return choice == LanguageChoice::English;
    return !isCLocale(desktopLocale) && languageOf(desktopLocale) != "ja";
}

bool installEnglish(QCoreApplication& app) {
    removeEnglish(app);
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QString::fromLatin1(kTranslatorName));
    if (!translator->load(QStringLiteral(":/i18n/kovo3000_en.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    setUiTextTranslator(&translated);
    setEnglishUserData(true);
    return true;
}

void removeEnglish(QCoreApplication& app) {
    for (auto* translator : app.findChildren<QTranslator*>(QString::fromLatin1(kTranslatorName),
                                                           Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    setUiTextTranslator(nullptr);
    setEnglishUserData(false);
}

bool englishInstalled(const QCoreApplication& app) {
    return !app.findChildren<QTranslator*>(QString::fromLatin1(kTranslatorName),
                                           Qt::FindDirectChildrenOnly)
                .isEmpty();
}

} // namespace kovo
