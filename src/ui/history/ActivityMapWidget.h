#pragma once
#include "history/HistoryQuery.h"

#include <QWidget>
#include <vector>

namespace kovo {

// Hour of day (down) against day (across), each cell shaded by the airtime
// in that hour against the busiest hour shown.
class ActivityMapWidget final : public QWidget {
    Q_OBJECT
public:
    explicit ActivityMapWidget(QWidget* parent = nullptr);
    void setDays(std::vector<history::DayActivity> days, history::UtcOffsetAt offset);
    const std::vector<history::DayActivity>& days() const { return days_; }
    QSize sizeHint() const override { return {480, 200}; }
    QSize minimumSizeHint() const override { return {240, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF gridRect() const;
    std::vector<history::DayActivity> days_;
    history::UtcOffsetAt offset_;
};

} // namespace kovo
