#pragma once
#include "scan/TuningRules.h"

#include <QLineEdit>

#include <functional>

namespace kovo {

// A single-line amber text field of the panels. Enter and Escape are offered
// to a handler first; when it declines they keep their ordinary meaning. With
// the keyboard it wears a ring on its edge, which shows even when read-only
// (no caret).
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
    // Writes the text only when it differs from what the field shows.
    void showText(const QString& text);
    // Amber normally; other colours are used by the strips.
    void setFieldColour(const QColor& background);
    // Tells the user that what the field holds was refused: a beep and a
    // short red flash; the text stays as it is, to be corrected.
    void flashRefusal();
    bool flashing() const { return flashing_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyStyle();

    int id_;
    bool border_;
    QColor colour_;
    KeyHandler handler_;
    StepHandler stepHandler_;
    DragAccumulator wheel_{DragAccumulator::kWheelUnitsPerNotch};
    bool flashing_ = false;
};

} // namespace kovo
