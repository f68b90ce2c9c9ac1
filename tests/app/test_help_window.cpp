// The user guide opens in its own window in either language, its contents
// lead to sections that exist, and its links go somewhere.
#include <gtest/gtest.h>

#include "app/HelpWindow.h"
#include "app/InterfaceLanguage.h"

#include <QListWidget>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

namespace kovo {
namespace {

struct Anchors {
    QSet<QString> names;
    QStringList internalLinks;
};

Anchors anchorsOf(const QTextDocument& document) {
    Anchors a;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames())
                a.names.insert(name);
            const QString href = format.anchorHref();
            if (href.startsWith(QLatin1Char('#')))
                a.internalLinks << href.mid(1);
        }
    }
    return a;
}

const InterfaceLanguage kLanguages[] = {InterfaceLanguage::English, InterfaceLanguage::Japanese};

TEST(HelpWindow, OpensInEitherLanguageWithContentsAndLinksThatResolve) {
    for (InterfaceLanguage language : kLanguages) {
        SCOPED_TRACE(language == InterfaceLanguage::English ? "English" : "Japanese");
        HelpWindow window(language);
        window.show();
        ASSERT_TRUE(window.isVisible());
        EXPECT_FALSE(window.browser().toPlainText().isEmpty()) << "the guide was loaded";
        EXPECT_EQ(window.contents().count(), 7) << "one entry per section";

        const Anchors anchors = anchorsOf(*window.browser().document());
        for (int i = 0; i < window.contents().count(); ++i) {
            const QString anchor = window.contents().item(i)->data(Qt::UserRole).toString();
            EXPECT_TRUE(anchors.names.contains(anchor)) << anchor.toStdString();
        }
        EXPECT_FALSE(anchors.internalLinks.isEmpty());
        for (const QString& link : anchors.internalLinks)
            EXPECT_TRUE(anchors.names.contains(link)) << link.toStdString();

        for (QWidget* w : QList<QWidget*>{&window.contents(), &window.browser(),
                                          &window.backButton(), &window.forwardButton()})
            EXPECT_FALSE(w->accessibleName().isEmpty());
    }
}

// Everything the guide asks for is set in a dialog; nobody is sent to edit
// the settings file by hand.
TEST(HelpWindow, TheGuideSetsUpAHamlibRadioThroughTheDialogNotTheSettingsFile) {
    for (InterfaceLanguage language : kLanguages) {
        HelpWindow window(language);
        const QString text = window.browser().toPlainText();
        for (const char* fileTalk : {"KOVO3000.ini", "UseHamlib=", "HamlibUseDcd", "Hardware%20"})
            EXPECT_FALSE(text.contains(QLatin1String(fileTalk))) << fileTalk;
        EXPECT_TRUE(text.contains(QStringLiteral("Squelch")));
        EXPECT_TRUE(text.contains(QStringLiteral("DCD")));
    }
}

TEST(HelpWindow, ContentsOpenASectionAndBackReturns) {
    HelpWindow window(InterfaceLanguage::English);
    window.show();
    EXPECT_FALSE(window.backButton().isEnabled());
    window.contents().setCurrentRow(3);
    EXPECT_EQ(window.browser().source().fragment(), QStringLiteral("scanning"));
    EXPECT_TRUE(window.backButton().isEnabled());
    window.backButton().click();
    EXPECT_TRUE(window.browser().source().fragment().isEmpty());
    EXPECT_TRUE(window.forwardButton().isEnabled());
}

TEST(InterfaceLanguage, TheSettingWinsAndSystemFollowsTheDesktop) {
    const struct {
        const char* setting;
        const char* locale;
        InterfaceLanguage expected;
    } cases[] = {
        {"en", "ja_JP.UTF-8", InterfaceLanguage::English},
        {"ja", "en_GB.UTF-8", InterfaceLanguage::Japanese},
        {"System", "en_GB.UTF-8", InterfaceLanguage::English},
        {"System", "de_DE.UTF-8", InterfaceLanguage::English},
        {"System", "ja_JP.UTF-8", InterfaceLanguage::Japanese},
        {"System", "", InterfaceLanguage::Japanese},
        {"System", "C", InterfaceLanguage::Japanese},
        {"System", "C.UTF-8", InterfaceLanguage::Japanese},
        {"System", "POSIX", InterfaceLanguage::Japanese},
        {"", "fr_FR", InterfaceLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            interfaceLanguageFor(QString::fromLatin1(c.setting), QString::fromLatin1(c.locale)),
            c.expected)
            << c.setting << " / " << c.locale;
}

} // namespace
} // namespace kovo
