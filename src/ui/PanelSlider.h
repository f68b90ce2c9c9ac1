#pragma once
#include <QAbstractSlider>

namespace kovo {

// A horizontal fader without tick marks on the panels' dark green. Tab or a
// click gives it the keyboard: the arrow keys move the knob one value, Home
// and End to the ends.
class PanelSlider : public QAbstractSlider {
    Q_OBJECT
public:
    PanelSlider(int id, const QRect& rect, int minimum, int maximum, QWidget* parent);

    int id() const { return id_; }
    // Moves the knob without reporting a user change.
    void showValue(int value);
    // Centre x of the knob for a value, in slider coordinates.
    double knobCentre(int value) const;
    static constexpr int kKnobWidth = 9;

signals:
    // Only for moves made by the user.
    void userMoved(int id, int value);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int valueAt(double x) const;
    void moveByUser(int value);

    int id_;
    bool dragging_ = false;
};

} // namespace kovo
