#include "ui/PanelEditAccessible.h"

#include "ui/PanelEdit.h"

namespace kovo {
namespace {

QAccessibleInterface* fieldInterface(const QString&, QObject* object) {
    if (auto* field = qobject_cast<PanelEdit*>(object))
        return new PanelEditAccessible(field);
    return nullptr;
}

} // namespace

PanelEditAccessible::PanelEditAccessible(PanelEdit* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

void PanelEditAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(&fieldInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

PanelEdit& PanelEditAccessible::field() const {
    return *static_cast<PanelEdit*>(widget());
}

QLineEdit& PanelEditAccessible::editor() const {
    return field().currentEditor();
}

void* PanelEditAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PanelEditAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return field().text();
    return QAccessibleWidget::text(t);
}

void PanelEditAccessible::setText(QAccessible::Text t, const QString& text) {
    if (t == QAccessible::Value)
        editor().setText(text);
    else
        QAccessibleWidget::setText(t, text);
}

QAccessible::State PanelEditAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = field().isReadOnly();
    s.editable = !s.readOnly;
    s.selectableText = true;
    return s;
}

void PanelEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !editor().hasSelectedText())
        return;
    *startOffset = editor().selectionStart();
    *endOffset = editor().selectionEnd();
}

int PanelEditAccessible::selectionCount() const {
    return editor().hasSelectedText() ? 1 : 0;
}

void PanelEditAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void PanelEditAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        editor().deselect();
}

void PanelEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        editor().setSelection(startOffset, endOffset - startOffset);
}

int PanelEditAccessible::cursorPosition() const {
    return editor().cursorPosition();
}

void PanelEditAccessible::setCursorPosition(int position) {
    editor().setCursorPosition(position);
}

QString PanelEditAccessible::text(int startOffset, int endOffset) const {
    return field().text().mid(startOffset, endOffset - startOffset);
}

int PanelEditAccessible::characterCount() const {
    return int(field().text().size());
}

// The box of one character in screen coordinates, where the field draws it.
QRect PanelEditAccessible::characterRect(int offset) const {
    const QString shown = field().text();
    if (offset < 0 || offset >= shown.size())
        return {};
    QLineEdit& e = editor();
    const int saved = e.cursorPosition();
    e.setCursorPosition(offset);
    const QFontMetrics fm = e.fontMetrics();
    const QPoint left = e.inputMethodQuery(Qt::ImCursorRectangle).toRect().topLeft();
    e.setCursorPosition(saved);
    const QRect box(left, QSize(fm.horizontalAdvance(shown.at(offset)), fm.height()));
    return QRect(e.mapToGlobal(box.topLeft()), box.size());
}

int PanelEditAccessible::offsetAtPoint(const QPoint& point) const {
    QLineEdit& e = editor();
    return e.cursorPositionAt(e.mapFromGlobal(point));
}

void PanelEditAccessible::scrollToSubstring(int, int endIndex) {
    editor().setCursorPosition(endIndex);
}

QString PanelEditAccessible::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void PanelEditAccessible::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void PanelEditAccessible::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void PanelEditAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    QLineEdit& e = editor();
    e.setText(e.text().replace(startOffset, endOffset - startOffset, text));
}

} // namespace kovo
