#include "ActivityMapWidget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kovo {

namespace {

constexpr int kLeftMargin = 34;
constexpr int kBottomMargin = 18;
constexpr int kTopMargin = 6;
constexpr int kRightMargin = 6;

QColor shade(std::int64_t seconds, std::int64_t busiest, const QColor& empty, const QColor& full) {
    if (seconds <= 0 || busiest <= 0)
        return empty;
    // Against the busiest hour shown; the square root lifts short
    // transmissions out of the background.
    const double t =
        std::sqrt(std::min(1.0, static_cast<double>(seconds) / static_cast<double>(busiest))) *
            0.8 +
        0.2;
    return QColor::fromRgbF(
        static_cast<float>(empty.redF() + (full.redF() - empty.redF()) * t),
        static_cast<float>(empty.greenF() + (full.greenF() - empty.greenF()) * t),
        static_cast<float>(empty.blueF() + (full.blueF() - empty.blueF()) * t));
}

} // namespace

ActivityMapWidget::ActivityMapWidget(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Activity map"));
    setAccessibleDescription(QStringLiteral("Airtime by hour of day against day"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ActivityMapWidget::setDays(std::vector<history::DayActivity> days,
                                history::UtcOffsetAt offset) {
    days_ = std::move(days);
    offset_ = std::move(offset);
    std::int64_t total = 0;
    for (const auto& day : days_)
        total += day.airtimeSeconds;
    setToolTip(QStringLiteral("%1 days, %2 minutes on air").arg(days_.size()).arg(total / 60));
    update();
}

QRectF ActivityMapWidget::gridRect() const {
    return QRectF(kLeftMargin, kTopMargin, width() - kLeftMargin - kRightMargin,
                  height() - kTopMargin - kBottomMargin);
}

void ActivityMapWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF grid = gridRect();
    const QColor empty = palette().alternateBase().color();
    const QColor full(20, 60, 160);
    painter.setPen(palette().text().color());
    const QFontMetrics metrics(font());
    for (int hour = 0; hour <= 24; hour += 6) {
        const double y = grid.top() + grid.height() * hour / 24.0;
        painter.drawText(QRectF(0, y - 8, kLeftMargin - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1h").arg(hour));
    }
    if (days_.empty())
        return;
    std::int64_t busiest = 0;
    for (const auto& day : days_)
        busiest = std::max(busiest,
                           *std::max_element(day.airtimeByHour.begin(), day.airtimeByHour.end()));
    const double cellWidth = grid.width() / static_cast<double>(days_.size());
    const double cellHeight = grid.height() / 24.0;
    for (std::size_t d = 0; d < days_.size(); ++d) {
        const double x = grid.left() + cellWidth * static_cast<double>(d);
        for (int hour = 0; hour < 24; ++hour)
            painter.fillRect(
                QRectF(x, grid.top() + cellHeight * hour, cellWidth + 0.5, cellHeight + 0.5),
                shade(days_[d].airtimeByHour[static_cast<std::size_t>(hour)], busiest, empty,
                      full));
    }
    // A date under the first day and then about every 80 pixels.
    const int every = std::max(1, static_cast<int>(std::ceil(80.0 / cellWidth)));
    for (std::size_t d = 0; d < days_.size(); d += static_cast<std::size_t>(every)) {
        const std::string date =
            history::formatLocalTime(days_[d].dayStartUtc, offset_).substr(5, 5);
        const double x = grid.left() + cellWidth * static_cast<double>(d);
        painter.drawLine(QPointF(x, grid.bottom()), QPointF(x, grid.bottom() + 3));
        painter.drawText(QPointF(x + 2, grid.bottom() + metrics.ascent() + 2),
                         QString::fromStdString(date));
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(grid);
}

} // namespace kovo
