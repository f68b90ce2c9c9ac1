// The language of the program's texts: the stored choice, the desktop's
// locale, and the English catalogue built into the program.
#include "app/Language.h"
#include "app/QSettingsStore.h"
#include "data/CKovo5Doc.h"
#include "data/FileErrors.h"
#include "data/UiText.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kovo {
namespace {

TEST(LanguageTest, EnglishWhenChosenOrWhenTheDesktopIsNeitherJapaneseNorUnset) {
    struct Case {
        LanguageChoice choice;
        const char* locale;
        bool english;
    };
    const Case cases[] = {
        {LanguageChoice::System, "", false},
        {LanguageChoice::System, "C", false},
        {LanguageChoice::System, "C.UTF-8", false},
        {LanguageChoice::System, "POSIX", false},
        {LanguageChoice::System, "ja_JP.UTF-8", false},
        {LanguageChoice::System, "ja", false},
        {LanguageChoice::System, "en_GB.UTF-8", true},
        {LanguageChoice::System, "de_DE@euro", true},
        {LanguageChoice::System, "fr", true},
        {LanguageChoice::Japanese, "en_US.UTF-8", false},
        {LanguageChoice::English, "ja_JP.UTF-8", true},
        {LanguageChoice::English, "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(speaksEnglish(c.choice, c.locale), c.english) << int(c.choice) << " " << c.locale;
}

// GNU's LANGUAGE list goes before the locale, except in the C locale; its
// first entry in a language the program speaks wins.
TEST(LanguageTest, TheLanguageListGoesFirstOutsideTheCLocale) {
    const struct {
        const char* locale;
        const char* list;
        const char* chosen;
    } cases[] = {
        {"en_US.UTF-8", "ja:en", "ja"},
        {"ja_JP.UTF-8", "fr:en_GB", "en_GB"},
        {"de_DE.UTF-8", "fr:de", "de_DE.UTF-8"},
        {"en_US.UTF-8", "", "en_US.UTF-8"},
        {"C", "en", "C"},
        {"", "en", ""},
        {"POSIX", "ja", "POSIX"},
        {"fr_FR", "::ja_JP:", "ja_JP"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageLocale(c.locale, c.list), c.chosen) << c.locale << " " << c.list;
}

TEST(LanguageTest, ChoiceIsStoredAsLanguageAndUnknownValuesMeanSystem) {
    QTemporaryDir dir;
    QSettingsStore store(dir.filePath(QStringLiteral("kovo.ini")));
    EXPECT_EQ(loadLanguageChoice(store), LanguageChoice::System);
    const std::pair<LanguageChoice, const char*> stored[] = {
        {LanguageChoice::English, "en"},
        {LanguageChoice::Japanese, "ja"},
        {LanguageChoice::System, "System"},
    };
    for (const auto& [choice, value] : stored) {
        storeLanguageChoice(store, choice);
        EXPECT_EQ(store.readString("Soft Setting", "Language"), value);
        EXPECT_EQ(loadLanguageChoice(store), choice);
    }
    store.writeString("Soft Setting", "Language", "tlh");
    EXPECT_EQ(loadLanguageChoice(store), LanguageChoice::System);
}

TEST(LanguageTest, TheBuiltInCatalogueTranslatesEveryLayerAndCanBeRemoved) {
    QCoreApplication& app = *QCoreApplication::instance();
    const std::string tableFull = CKovo5Doc::kChannelTableFullMessage;
    ASSERT_TRUE(installEnglish(app));
    EXPECT_EQ(uiText("ChannelTable", tableFull.c_str()),
              "The memory channels are full (5000 at most). No new channel can be stored.");
    EXPECT_EQ(withFileName(FileErrorText::PastEnd, "a.kv5"),
              "An attempt was made to access a.kv5 past its end.");
    EXPECT_EQ(QCoreApplication::translate("MainWindow", "О программе..."),
              QStringLiteral("About KOVO3000..."));
    EXPECT_TRUE(englishUserData());
    // A second install replaces the first rather than stacking.
    ASSERT_TRUE(installEnglish(app));
    removeEnglish(app);
    EXPECT_EQ(uiText("ChannelTable", tableFull.c_str()), tableFull);
    EXPECT_EQ(QCoreApplication::translate("MainWindow", "О программе..."),
              QStringLiteral("О программе..."));
    EXPECT_FALSE(englishUserData());
}

} // namespace
} // namespace kovo
