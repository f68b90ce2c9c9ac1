#pragma once
// Checks on the texts of a window in English: no word left in another
// language, no caption cut off by the widget that shows it.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTextDocument>
#include <QWidget>

namespace kovo::test {

// Letters beyond Latin-1 that are shown as data, not as words: the bank
// marks ①…⑳ and Ｐ of the stored channels.
inline bool isDataGlyph(QChar c) {
    return (c.unicode() >= 0x2460 && c.unicode() <= 0x2473) || c.unicode() == 0xFF30;
}

// Words that stay in their own language in English too: a language's name.
inline const QStringList kOwnNames{QStringLiteral("日本語")};

inline bool isEnglishText(const QString& text) {
    QString rest = text;
    for (const QString& name : kOwnNames)
        rest.remove(name);
    for (QChar c : rest)
        if (c.isLetter() && c.unicode() > 0xFF && !isDataGlyph(c))
            return false;
    return true;
}

inline QString shown(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)"))).section(u'\t', 0, 0);
}

// The width a widget leaves for its one line of text.
inline int textRoom(QWidget* w) {
    QStyle* style = w->style();
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        return w->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (qobject_cast<QAbstractButton*>(w))
        return w->width() - 2;
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->contentsRect().width() - 2 * label->margin() - label->indent();
    return w->width();
}

// The line texts that must fit their widget: plain one-line labels and the
// captions of buttons, check boxes and radio buttons.
inline QStringList fittingTexts(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->wordWrap() || label->text().isEmpty() || Qt::mightBeRichText(label->text()) ||
            !label->pixmap().isNull())
            return {};
        return shown(label->text()).split(u'\n');
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return {shown(button->text())};
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return {shown(box->title())};
    return {};
}

// Every text of `root` and its children a user can see or hear.
inline QStringList visibleTexts(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    QStringList texts{root->windowTitle()};
    for (QWidget* w : widgets) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription()
              << fittingTexts(w);
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        for (QAction* a : w->actions())
            texts << a->text() << a->toolTip();
    }
    return texts;
}

// The width a window needs for its title bar to show the title whole: the
// title in the desktop's font, bold, beside the window's icon, its buttons
// (close, and often minimise and maximise) and margins.
inline int titleBarNeed(QWidget* window) {
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(window->windowTitle().trimmed()) + 5 * metrics.height();
}

// What is wrong with the texts of `root`: non-English text, and (in
// English, where the translations may be longer) text that is cut off, the
// window's title too.
inline QStringList problemsOf(QWidget* root, bool english) {
    QStringList problems;
    if (!english)
        return problems;
    for (const QString& text : visibleTexts(root))
        if (!isEnglishText(text))
            problems << QStringLiteral("not English: ") + text;
    if (root->isWindow() && root->width() < titleBarNeed(root))
        problems << QStringLiteral("title clipped (%1 < %2 px): %3")
                        .arg(root->width())
                        .arg(titleBarNeed(root))
                        .arg(root->windowTitle());
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(root))
            continue;
        for (const QString& line : fittingTexts(w)) {
            const int advance = w->fontMetrics().horizontalAdvance(line);
            if (advance > textRoom(w))
                problems << QStringLiteral("clipped (%1 > %2 px): %3")
                                .arg(advance)
                                .arg(textRoom(w))
                                .arg(line);
        }
    }
    return problems;
}

} // namespace kovo::test
