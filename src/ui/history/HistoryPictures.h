#pragma once
#include "history/HistoryQuery.h"

#include <QWidget>
#include <vector>

class QBarSet;
class QCategoryAxis;
class QChart;
class QLabel;
class QLineSeries;
class QTableWidget;
class QValueAxis;

namespace kovo {

class ActivityMapWidget;

// A count axis that labels whole numbers only, each once: from 0 to `top`
// in steps of `step` (1, 2 or 5 times a power of ten), `top` a little above
// the largest value shown.
struct WholeNumberScale {
    int top = 1;
    int step = 1;
    bool operator==(const WholeNumberScale&) const = default;
};
WholeNumberScale wholeNumberScale(double largest);

// The pictures beside the hit list: a title naming the frequencies shown, the
// hits and airtime per day as a chart, the activity by hour as a map and the
// busiest frequencies as a list. It only draws what it is given; choosing a
// busy frequency is passed on as `busyFrequencyChosen`.
class HistoryPictures final : public QWidget {
    Q_OBJECT
public:
    explicit HistoryPictures(history::UtcOffsetAt offset, QWidget* parent = nullptr);

    // Names the frequencies of `filter` in the title: one, a range or all.
    void setSubject(const history::HitFilter& filter);
    void draw(std::vector<history::DayActivity> days,
              const std::vector<history::BusyFrequency>& busiest);

    ActivityMapWidget& activityMap() const { return *map_; }
    QTableWidget& busiestList() const { return *busiest_; }
    QChart& dayChart() const { return *chart_; }

signals:
    // The frequency of a busy row the user chose, as MHz text.
    void busyFrequencyChosen(const QString& megahertz);

private:
    void buildDayChart();
    void buildBusiestList();
    void drawDayChart(const std::vector<history::DayActivity>& days);
    void fillBusiest(const std::vector<history::BusyFrequency>& busy);

    history::UtcOffsetAt offset_;
    QLabel* title_ = nullptr;
    QChart* chart_ = nullptr;
    QBarSet* hitBars_ = nullptr;
    QLineSeries* airtimeLine_ = nullptr;
    QCategoryAxis* dayAxis_ = nullptr;
    QValueAxis* hitAxis_ = nullptr;
    QValueAxis* minuteAxis_ = nullptr;
    ActivityMapWidget* map_ = nullptr;
    QTableWidget* busiest_ = nullptr;
};

} // namespace kovo
