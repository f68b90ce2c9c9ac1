#pragma once
#include "scan/TuningRules.h"
#include "ui/PictureCache.h"

#include <QLineEdit>
#include <QPixmap>

#include <functional>

namespace kovo {

// A single-line amber text field of the panels. Enter and Escape are offered
// to a handler first; when it declines they keep their ordinary meaning. With
// the keyboard it wears a ring on its edge, which shows even when read-only
// (no caret).
//
// Most of the time the field is a read-out: what the program shows in it is
// painted as plain text, and the line editor underneath is brought up to date
// only when the user edits (a key, a click, the keyboard arriving in a
// writable field). Rewriting a line editor costs far more than painting a
// line of text, and the panels rewrite their fields at every scan step.
class PanelEdit : public QLineEdit {
    Q_OBJECT
public:
    using KeyHandler = std::function<bool(PanelEdit& field, bool enter)>;
    // Up (+1) and Down (-1), and whole notches of the mouse wheel; subStep
    // while Ctrl is held. True when acted on.
    using StepHandler = std::function<bool(int steps, bool subStep)>;

    PanelEdit(int id, const QRect& rect, const QFont& font, bool border, QWidget* parent);

    int id() const { return id_; }
    void setKeyHandler(KeyHandler handler) { handler_ = std::move(handler); }
    void setStepHandler(StepHandler handler) { stepHandler_ = std::move(handler); }
    // Shows the text, repainting the field only when it differs from what
    // the field shows. Text the user is typing is replaced as before; a field
    // the user is not editing takes it as a read-out.
    void showText(const QString& text);
    // What the field shows (the read-out, or the editor's text while the
    // user edits).
    QString text() const;
    // The line editor, first brought up to date with what the field shows
    // (for screen readers, which read and move in the editor).
    QLineEdit& currentEditor();
    // True while the line editor, not the read-out, draws the field.
    bool editing() const { return editing_; }
    // Amber normally; other colours are used by the strips.
    void setFieldColour(const QColor& background);
    // Tells the user that what the field holds was refused: a beep and a
    // short red flash; the text stays as it is, to be corrected.
    void flashRefusal();
    // The same, with the reason shown by the field for a few seconds.
    void refuse(const QString& reason);
    bool flashing() const { return flashing_; }
    // The reason given with the last refusal.
    const QString& refusalReason() const { return refusalReason_; }
    // Read-outs painted afresh rather than copied from an earlier painting
    // of the same text (for tests and measurements).
    long long readOutsDrawn() const { return readOutsDrawn_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyStyle();
    void keepReadOutOpaque();
    void startEditing();
    void stopEditing();
    void bringEditorUpToDate();
    void onEditorTextChanged();
    QPixmap readOutPicture(qreal pixelRatio);
    void paintReadOut(QPainter& p);

    int id_;
    bool border_;
    QColor colour_;
    KeyHandler handler_;
    StepHandler stepHandler_;
    DragAccumulator wheel_{DragAccumulator::kWheelUnitsPerNotch};
    bool flashing_ = false;
    QString refusalReason_;
    // The read-out, and whether the editor still holds an older text.
    QString readOut_;
    bool editorBehind_ = false;
    bool syncingEditor_ = false;
    // The editor draws the field; typed: the user has changed or moved in
    // it since the program last wrote to it.
    bool editing_ = false;
    bool typed_ = false;
    // Pictures of the read-outs shown lately, by text; also dropped when the
    // colour, font or style changes.
    struct PictureLook {
        qreal pixelRatio = 0;
        QSize size;
        Qt::Alignment alignment;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const PictureLook&) const = default;
    };
    PictureCache<PictureLook> pictures_;
    long long readOutsDrawn_ = 0;
};

} // namespace kovo
