// What the user types into a comment is shown as the document can store it
// (code page 932): transliterated or left out with a hint, never turned into
// "?" behind the user's back.
#include "ui/database/StorableText.h"

#include "data/Cp932.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace kovo {
namespace {

TEST(StorableTextTest, TransliteratesWhatTheCharacterSetLacksAndRefusesTheRest) {
    struct Case {
        const char* typed;
        const char* text;
        const char* changed;
        const char* refused;
    };
    const Case cases[] = {
        {"Malmö", "Malmo", "ö", ""},
        {"Señor Café", "Senor Cafe", "ñé", ""},
        {"Straße Æbelø", "Strasse AEbelo", "ßÆø", ""},
        {"Łódź œuvre đ", "Lodz oeuvre d", "Łóźœđ", ""},
        // Japanese, Greek and full-width forms are in the set and stay.
        {"東京 αβ ①", "東京 αβ ①", "", ""},
        {"ASCII ? stays", "ASCII ? stays", "", ""},
        {"a\u0915b😀c", "abc", "", "\u0915😀"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const StorableText result = storableText(QString::fromUtf8(c.typed));
        EXPECT_EQ(result.text, QString::fromUtf8(c.text)) << c.typed;
        EXPECT_EQ(result.changed, QString::fromUtf8(c.changed)) << c.typed;
        EXPECT_EQ(result.refused, QString::fromUtf8(c.refused)) << c.typed;
        // What is shown is what is stored: no "?" appears on the way.
        EXPECT_EQ(cp932ToUtf8(utf8ToCp932(result.text.toStdString())), c.text) << c.typed;
        EXPECT_EQ(storableTextHint(result).isEmpty(), !*c.changed && !*c.refused) << c.typed;
    }
}

// Types `text` into `field` as key presses carrying it, as a keyboard or an
// input method does.
void type(QLineEdit& field, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&field, &press);
    }
}

TEST(StorableTextTest, TheFieldShowsTheStorableTextWithAHintAndKeepsTheCaret) {
    QLineEdit field;
    keepTypedTextStorable(&field);
    type(field, QStringLiteral("Malmö"));
    EXPECT_EQ(field.text(), QStringLiteral("Malmo"));
    EXPECT_FALSE(field.toolTip().isEmpty());
    field.setCursorPosition(0);
    type(field, QStringLiteral("ß"));
    EXPECT_EQ(field.text(), QStringLiteral("ssMalmo"));
    EXPECT_EQ(field.cursorPosition(), 2);
    type(field, QStringLiteral("x"));
    EXPECT_EQ(field.text(), QStringLiteral("ssxMalmo"));
    EXPECT_TRUE(field.toolTip().isEmpty()) << "the hint goes once nothing changed";
}

} // namespace
} // namespace kovo
