#include "ui/database/StorableText.h"

#include "data/Cp932.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QToolTip>

namespace kovo {
namespace {

// Letters whose plain form is more than dropping an accent.
struct Spelling {
    char16_t letter;
    const char* ascii;
};
constexpr Spelling kSpellings[] = {
    {u'ß', "ss"}, {u'ẞ', "SS"}, {u'æ', "ae"}, {u'Æ', "AE"},  {u'ø', "o"},   {u'Ø', "O"},
    {u'œ', "oe"}, {u'Œ', "OE"}, {u'ł', "l"},  {u'Ł', "L"},   {u'đ', "d"},   {u'Đ', "D"},
    {u'ð', "d"},  {u'Ð', "D"},  {u'þ', "th"}, {u'Þ', "TH"},  {u'ı', "i"},   {u'ħ', "h"},
    {u'Ħ', "H"},  {u'ŀ', "l"},  {u'Ŀ', "L"},  {u'ŧ', "t"},   {u'Ŧ', "T"},   {u'ŋ', "ng"},
    {u'Ŋ', "NG"}, {u'‘', "'"},  {u'’', "'"},  {u'‚', ","},   {u'“', "\""},  {u'”', "\""},
    {u'„', "\""}, {u'–', "-"},  {u'—', "-"},  {u'…', "..."}, {u'€', "EUR"}, {u'\u00A0', " "},
};

// The character without its accents, or an empty text when it has none.
QString withoutAccents(QChar c) {
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
    QString bare;
    for (QChar part : decomposed)
        if (part.category() != QChar::Mark_NonSpacing)
            bare += part;
    return bare == QString(c) ? QString() : bare;
}

bool allStorable(const QString& text) {
    for (QChar c : text)
        if (!storableAsItIs(c))
            return false;
    return !text.isEmpty();
}

// The storable spelling of `c`, or an empty text when there is none.
QString transliteration(QChar c) {
    for (const Spelling& s : kSpellings)
        if (c.unicode() == s.letter)
            return QString::fromLatin1(s.ascii);
    const QString bare = withoutAccents(c);
    return allStorable(bare) ? bare : QString();
}

} // namespace

bool storableAsItIs(QChar c) {
    if (c == QLatin1Char('?'))
        return true;
    if (c.isSurrogate())
        return false;
    // The conversion gives "?" for what the character set lacks.
    return utf8ToCp932(QString(c).toStdString()) != "?";
}

StorableText storableText(const QString& typed) {
    StorableText result;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (storableAsItIs(c)) {
            result.text += c;
            continue;
        }
        const QString spelled = transliteration(c);
        if (spelled.isEmpty()) {
            result.refused += c;
            // A character outside the basic plane is two code units; both go.
            if (c.isHighSurrogate() && i + 1 < typed.size())
                result.refused += typed.at(++i);
        } else {
            result.text += spelled;
            result.changed += c;
        }
    }
    return result;
}

QString storableTextHint(const StorableText& result) {
    if (!result.refused.isEmpty())
        return QCoreApplication::translate("StorableText",
                                           "\"%1\" cannot be stored in a comment and was left out.")
            .arg(result.refused);
    if (!result.changed.isEmpty())
        return QCoreApplication::translate("StorableText",
                                           "\"%1\" is stored without accents, as shown.")
            .arg(result.changed);
    return {};
}

void keepTypedTextStorable(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& typed) {
        const StorableText result = storableText(typed);
        const QString hint = storableTextHint(result);
        field->setToolTip(hint);
        if (hint.isEmpty())
            return;
        // The caret stays after what was typed before it.
        const int caret = int(storableText(typed.left(field->cursorPosition())).text.size());
        field->setText(result.text);
        field->setCursorPosition(caret);
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), hint, field);
    });
}

} // namespace kovo
