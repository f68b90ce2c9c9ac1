#include "app/Language.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"
#include "data/UiText.h"

#include <QCoreApplication>
#include <QTranslator>

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

std::string desktopMessageLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return value;
    return {};
}

bool speaksEnglish(LanguageChoice choice, const std::string& desktopLocale) {
    if (choice != LanguageChoice::System)
        return choice == LanguageChoice::English;
    const std::string language = desktopLocale.substr(0, desktopLocale.find_first_of("_.@"));
    return !language.empty() && language != "ja" && language != "C" && language != "POSIX";
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
