#pragma once
#include "scan/TuningRules.h"

#include <QWidget>

#include <functional>

namespace kovo {

// The grey pad of Control panel 1 that is dragged sideways to tune. It only
// reports the mouse, the wheel and the arrow keys; what they do is decided by
// its owner. Left and Right turn it as one notch of the wheel down or up.
class DirectionPad : public QWidget {
    Q_OBJECT
public:
    DirectionPad(const QRect& rect, QWidget* parent);

    // 0 both arrows dark, 1 left lit, 2 right lit; ignored when unchanged.
    void setImage(int image);
    int image() const { return image_; }

signals:
    void pressed(int x, Qt::MouseButton button);
    void moved(int x, Qt::MouseButtons buttons);
    void released(Qt::MouseButton button);
    // Whole notches of the mouse wheel (negative: down); subStep with Ctrl.
    void knobTurned(int notches, bool subStep);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int image_ = 0;
    DragAccumulator wheel_{DragAccumulator::kWheelUnitsPerNotch};
};

} // namespace kovo
