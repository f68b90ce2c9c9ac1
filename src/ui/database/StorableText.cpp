#include "ui/database/StorableText.h"

#include "data/Cp932.h"
#include "data/PlainSpelling.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QToolTip>

namespace kovo {

bool storableAsItIs(QChar c) {
    if (c == QLatin1Char('?'))
        return true;
    if (c.isSurrogate())
        return false;
    // The conversion gives "?" for what the character set lacks.
    return utf8ToCp932(QString(c).toStdString()) != "?";
}

StorableText storableText(const QString& typed) {
    const PlainSpelling spelled = plainSpelling(typed.toStdString());
    return {QString::fromStdString(spelled.text), QString::fromStdString(spelled.changed),
            QString::fromStdString(spelled.refused)};
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
