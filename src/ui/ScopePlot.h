#pragma once
#include <QWidget>

#include <array>
#include <vector>

namespace kovo {

// The band scope's 401 x 68 graph: an amber ruled grid, a green centre line,
// signal bars drawn by inverting the grid's pixels and a white sweep cursor.
class ScopePlot : public QWidget {
    Q_OBJECT
public:
    struct StaticBar {
        int x = 0;
        int halfWidth = 0;
        int top = 0;
    };

    ScopePlot(const QRect& rect, QWidget* parent);

    // Clears every bar (active and static).
    void clearBars();
    // Sweep geometry of the active scope: points 0..N at x = e * 400 / N.
    void setSweepGeometry(int points, int halfWidth);
    // Bar top of sweep point e; 0 removes the bar. Repaints only that bar.
    void setBar(int point, int top);
    int barTop(int point) const;
    void setStaticMode(bool staticMode);
    void setStaticBars(std::vector<StaticBar> bars);
    void moveCursor(int x);
    int cursorX() const { return cursorX_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect barRect(int x, int halfWidth, int top) const;
    QRect pointRect(int point) const;

    std::array<int, 401> tops_{};
    std::vector<StaticBar> staticBars_;
    bool staticMode_ = false;
    int points_ = 1;
    int halfWidth_ = 0;
    int cursorX_ = 0;
};

} // namespace kovo
