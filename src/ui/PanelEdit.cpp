#include "ui/PanelEdit.h"

#include "ui/PanelArt.h"
#include "ui/PanelEditAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

namespace kovo {
namespace {

constexpr int kFlashMs = 300;
constexpr int kReasonShownMs = 4000;
const QColor kRefusedColour(255, 96, 64);
// The line editor's own spacing between its contents edge and the text.
constexpr int kHorizontalMargin = 2;
// Room for the pictures of one field's recent read-outs, in KiB: some two
// hundred frequencies, a thousand small fields.
constexpr int kPictureCacheKiB = 3 * 1024;

} // namespace

PanelEdit::PanelEdit(int id, const QRect& rect, const QFont& font, bool border, QWidget* parent)
    : QLineEdit(parent), id_(id), border_(border), colour_(art::kAmber),
      pictures_(kPictureCacheKiB) {
    setGeometry(rect);
    setFont(font);
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    applyStyle();
    keepReadOutOpaque();
    connect(this, &QLineEdit::textChanged, this, &PanelEdit::onEditorTextChanged);
    PanelEditAccessible::install();
}

QLineEdit& PanelEdit::currentEditor() {
    bringEditorUpToDate();
    return *this;
}

void PanelEdit::applyStyle() {
    setStyleSheet(
        QStringLiteral("QLineEdit{border:%1;padding:0px;background:%2;color:black;"
                       "selection-background-color:black;selection-color:rgb(255,224,0);}")
            .arg(border_ ? QStringLiteral("1px solid black") : QStringLiteral("none"),
                 (flashing_ ? kRefusedColour : colour_).name()));
    pictures_.clear();
    update(); // the read-out takes the colour too
}

QString PanelEdit::text() const {
    return editorBehind_ ? readOut_ : QLineEdit::text();
}

void PanelEdit::showText(const QString& t) {
    if (editing_) {
        if (QLineEdit::text() == t)
            return;
        // Text the user typed is replaced as it always was; a field the user
        // only visited, or could not type into, goes back to being a
        // read-out.
        if (typed_ && !isReadOnly()) {
            setText(t);
            return;
        }
        stopEditing();
    }
    if (t == text())
        return;
    readOut_ = t;
    editorBehind_ = true;
    // Screen readers read the editor, so it follows while one listens. An
    // editor left empty is filled once, so that a select-all made on it
    // before any key arrives still means the whole text.
    if (QAccessible::isActive() || QLineEdit::text().isEmpty())
        bringEditorUpToDate();
    update();
}

void PanelEdit::bringEditorUpToDate() {
    if (!editorBehind_)
        return;
    // Keep a select-all made on the stale text covering the new one.
    const bool allSelected = hasSelectedText() && selectedText() == QLineEdit::text();
    syncingEditor_ = true;
    setText(readOut_);
    syncingEditor_ = false;
    editorBehind_ = false;
    if (allSelected)
        selectAll();
}

void PanelEdit::onEditorTextChanged() {
    if (syncingEditor_)
        return;
    // Written straight to the editor (typing, clear(), setText()): the
    // editor's text is what the field shows from now on.
    readOut_ = QLineEdit::text();
    editorBehind_ = false;
}

void PanelEdit::startEditing() {
    bringEditorUpToDate();
    if (!editing_) {
        editing_ = true;
        keepReadOutOpaque();
        update();
    }
}

void PanelEdit::stopEditing() {
    bringEditorUpToDate();
    readOut_ = QLineEdit::text();
    editing_ = false;
    typed_ = false;
    keepReadOutOpaque();
    update();
}

void PanelEdit::setFieldColour(const QColor& background) {
    if (background == colour_)
        return;
    colour_ = background;
    applyStyle();
}

void PanelEdit::flashRefusal() {
    QApplication::beep();
    if (flashing_)
        return;
    flashing_ = true;
    applyStyle();
    QTimer::singleShot(kFlashMs, this, [this] {
        flashing_ = false;
        applyStyle();
    });
}

void PanelEdit::refuse(const QString& reason) {
    flashRefusal();
    refusalReason_ = reason;
    QToolTip::showText(mapToGlobal(QPoint(0, height())), reason, this, rect(), kReasonShownMs);
}

void PanelEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && stepHandler_ &&
        stepHandler_(key == Qt::Key_Up ? 1 : -1, event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        return;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter || key == Qt::Key_Escape) && handler_ && handler_(*this, enter)) {
        // Acted on and rewritten, unless refused: refused text stays typed,
        // to be corrected.
        if (!flashing_)
            typed_ = false;
        event->accept();
        return;
    }
    startEditing();
    typed_ = true;
    QLineEdit::keyPressEvent(event);
}

void PanelEdit::mousePressEvent(QMouseEvent* event) {
    startEditing();
    typed_ = true;
    QLineEdit::mousePressEvent(event);
}

void PanelEdit::inputMethodEvent(QInputMethodEvent* event) {
    startEditing();
    typed_ = true;
    QLineEdit::inputMethodEvent(event);
}

void PanelEdit::focusInEvent(QFocusEvent* event) {
    // A writable field takes the keyboard as an editor (caret, select-all on
    // Tab); a read-only one stays a read-out with the ring.
    if (!isReadOnly())
        startEditing();
    QLineEdit::focusInEvent(event);
}

void PanelEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The editor's own menu keeps it, with its selection, on screen.
    if (editing_ && event->reason() != Qt::PopupFocusReason)
        stopEditing();
}

// The read-out covers every pixel, so the panel behind it need not be
// painted when only the field changed. The style sheet's polish takes that
// promise back (a styled line editor may be see-through), so it is made
// again after every polish and style change.
void PanelEdit::keepReadOutOpaque() {
    setAttribute(Qt::WA_OpaquePaintEvent, !editing_);
}

bool PanelEdit::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    if (event->type() == QEvent::Polish)
        keepReadOutOpaque();
    return handled;
}

void PanelEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        keepReadOutOpaque();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        pictures_.clear();
    // A field that becomes writable while it has the keyboard shows its caret.
    if (event->type() == QEvent::ReadOnlyChange && !isReadOnly() && hasFocus())
        startEditing();
}

void PanelEdit::paintEvent(QPaintEvent* event) {
    if (editing_) {
        QLineEdit::paintEvent(event);
        if (hasFocus()) {
            QPainter p(this);
            art::drawFocusMark(p, rect(), art::kFieldFocusMark);
        }
        return;
    }
    // One painter for the read-out and its ring: starting a painter costs
    // more than copying the picture.
    QPainter p(this);
    // The picture is made for the pixel ratio of what is painted on, which
    // differs from the screen's when the field is rendered into an image of
    // its own.
    const QPaintDevice* target = p.paintEngine()->paintDevice();
    p.drawPixmap(0, 0, readOutPicture(target ? target->devicePixelRatioF() : 1.0));
    if (hasFocus())
        art::drawFocusMark(p, rect(), art::kFieldFocusMark);
}

QPixmap PanelEdit::readOutPicture(qreal pixelRatio) {
    const PictureLook look{pixelRatio, size(), alignment(), layoutDirection()};
    return pictures_.picture(look, readOut_, size(), pixelRatio, [this](QPainter& p) {
        paintReadOut(p);
        ++readOutsDrawn_;
    });
}

// Draws the text where the line editor would put it with the cursor at its
// end: centred in height, aligned as the field is, scrolled to show the end
// of a text too long for it.
void PanelEdit::paintReadOut(QPainter& p) {
    // The same face the style sheet gives the editor, without going through
    // the style sheet: the field's colour, and a black line round it.
    p.fillRect(rect(), flashing_ ? kRefusedColour : colour_);
    QRect r = rect();
    if (border_) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (readOut_.isEmpty())
        return;

    const QFontMetrics fm = fontMetrics();
    QTextLayout layout(readOut_, font());
    QTextOption option = layout.textOption();
    option.setTextDirection(layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();

    const int height = qMax(fm.boundingRect(readOut_).height(), fm.height());
    const int top = r.y() + (r.height() - height + 1) / 2;
    const QRect lineRect(r.x() + kHorizontalMargin, top, r.width() - 2 * kHorizontalMargin, height);
    const int widthUsed = qRound(line.naturalTextWidth()) + 1;
    int scroll = 0;
    if (widthUsed <= lineRect.width()) {
        const Qt::Alignment h = QStyle::visualAlignment(layoutDirection(), alignment()) &
                                Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
        if (h == Qt::AlignRight)
            scroll = widthUsed - lineRect.width() + 1;
        else if (h == Qt::AlignHCenter)
            scroll = (widthUsed - lineRect.width()) / 2;
    } else {
        scroll = qMax(0, qRound(line.cursorToX(int(readOut_.size()))) - lineRect.width() + 1);
    }
    const QPoint topLeft = lineRect.topLeft() - QPoint(scroll, qRound(line.ascent()) - fm.ascent());
    p.setClipRect(r);
    p.setPen(Qt::black);
    layout.draw(&p, topLeft, {}, r);
}

void PanelEdit::wheelEvent(QWheelEvent* event) {
    if (!stepHandler_) {
        QLineEdit::wheelEvent(event);
        return;
    }
    const int notches = wheel_.add(event->angleDelta().y());
    if (notches != 0)
        stepHandler_(notches, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

} // namespace kovo
