#include "ui/database/StatisticsChart.h"

#include "data/CKovo5Doc.h"
#include "ui/PanelArt.h"

#include <QPainter>

namespace kovo {
namespace {

const QColor kHourBar{0, 128, 0};
const QColor kWeekdayBar{0, 0, 128};
const QRect kChartRect{30, 45, 482, 123};

QRect bar(int x, int count, int largest) {
    if (largest <= 0 || count <= 0)
        return {};
    const int height = count * StatisticsChart::kTallest / largest;
    if (height <= 0)
        return {};
    return {x, StatisticsChart::kBaseLine - height, StatisticsChart::kBarWidth, height};
}

} // namespace

StatisticsChart::StatisticsChart(const CKovo5Doc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc) {
    setGeometry(kChartRect);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Statistics"));
}

QRect StatisticsChart::hourBar(int hour) const {
    const auto& a = doc_.log().logAnalysis();
    return bar(kFirstHourX + kPitch * hour, a.hourCounts[std::size_t(hour)], a.largestHourCount);
}

QRect StatisticsChart::weekdayBar(int day) const {
    const auto& a = doc_.log().logAnalysis();
    return bar(kFirstWeekdayX + kPitch * day, a.weekdayCounts[std::size_t(day)],
               a.largestWeekdayCount);
}

void StatisticsChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int h = 0; h < 24; ++h)
        p.fillRect(hourBar(h), kHourBar);
    for (int d = 0; d < 7; ++d)
        p.fillRect(weekdayBar(d), kWeekdayBar);
}

StatisticsView::StatisticsView(const CKovo5Doc& doc, const QFont& font, QWidget* parent)
    : QWidget(parent), chart_(new StatisticsChart(doc, this)) {
    setFont(font);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The scale behind the bars: a light card with the base line, the hour and
// weekday captions and faint guide lines at quarter heights.
void StatisticsView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(150, 152, 160));
    const QRect card = kChartRect.adjusted(-6, -10, 6, 24);
    p.fillRect(card, QColor(236, 236, 228));
    p.setPen(QColor(110, 110, 118));
    p.drawRect(card.adjusted(0, 0, -1, -1));
    const int base = kChartRect.top() + StatisticsChart::kBaseLine;
    const int left = kChartRect.left();
    p.setPen(QColor(200, 200, 196));
    for (int q = 1; q <= 4; ++q) {
        const int y = base - q * StatisticsChart::kTallest / 4;
        p.drawLine(left + 4, y, left + 358, y);
        p.drawLine(left + 370, y, left + 478, y);
    }
    p.setPen(QColor(40, 40, 48));
    p.drawLine(left + 4, base, left + 358, base);
    p.drawLine(left + 370, base, left + 478, base);
    QFont f = art::letteringFont(8, false);
    p.setFont(f);
    for (int h = 0; h < 24; h += 3) {
        const QRect cell(left + StatisticsChart::kFirstHourX + StatisticsChart::kPitch * h - 3,
                         base + 2, 18, 10);
        p.drawText(cell, Qt::AlignCenter, QString::number(h));
    }
    static const char* const kDays[] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    for (int d = 0; d < 7; ++d) {
        const QRect cell(left + StatisticsChart::kFirstWeekdayX + StatisticsChart::kPitch * d - 3,
                         base + 2, 18, 10);
        p.drawText(cell, Qt::AlignCenter, QString::fromLatin1(kDays[d]));
    }
    p.setFont(art::letteringFont(9));
    p.drawText(QRect(left, base + 12, 360, 12), Qt::AlignCenter, QStringLiteral("HOUR"));
    p.drawText(QRect(left + 366, base + 12, 114, 12), Qt::AlignCenter, QStringLiteral("WEEKDAY"));
}

} // namespace kovo
