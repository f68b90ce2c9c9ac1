#pragma once
#include <QWidget>

namespace kovo {

// The 15-segment signal meter of the display panel, 96 x 19.
class SignalMeter : public QWidget {
    Q_OBJECT
public:
    SignalMeter(const QRect& rect, QWidget* parent);

    // Shows the meter for a report; the level is clamped to 0..15 and returned.
    // Nothing is redrawn when the pair has not changed.
    int set(bool signalPresent, int level);
    bool signalPresent() const { return present_; }
    int level() const { return level_; }
    // Greys the meter out while no receiver answers; it then shows no signal.
    void setDimmed(bool dimmed);
    bool dimmed() const { return dimmed_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool present_ = false;
    int level_ = 0;
    bool dimmed_ = false;
};

} // namespace kovo
