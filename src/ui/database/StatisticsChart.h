#pragma once
#include <QWidget>

#include <array>

namespace kovo {

class CKovo5Doc;

// The bars of the log analysis: 24 hour bars and 7 weekday bars standing on
// one base line, each group scaled so that its tallest bar is 90 pixels.
class StatisticsChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBaseLine = 102;
    static constexpr int kTallest = 90;
    static constexpr int kBarWidth = 12;
    static constexpr int kPitch = 15;
    static constexpr int kFirstHourX = 7;
    static constexpr int kFirstWeekdayX = 373;

    StatisticsChart(const CKovo5Doc& doc, QWidget* parent);

    // The bars as they are painted (empty rectangles are not drawn).
    QRect hourBar(int hour) const;
    QRect weekdayBar(int day) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const CKovo5Doc& doc_;
};

// The grey field of the statistics view with its scale artwork and the chart.
class StatisticsView : public QWidget {
    Q_OBJECT
public:
    StatisticsView(const CKovo5Doc& doc, const QFont& font, QWidget* parent);
    StatisticsChart& chart() const { return *chart_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    StatisticsChart* chart_;
};

} // namespace kovo
