#include "HistoryPictures.h"

#include "ActivityMapWidget.h"
#include "HitTableModel.h"

#include <QBarSeries>
#include <QBarSet>
#include <QBoxLayout>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kovo {

namespace {

// Days between two labels of the day axis, so that the labels have room.
std::size_t labelStep(std::size_t days) {
    return days <= 10 ? 1 : days <= 140 ? 7 : 28;
}

QString megahertz(std::int64_t hz) {
    return QString::fromStdString(history::formatMegahertz(hz));
}

constexpr int kMostScaleSteps = 5;

void setWholeNumberRange(QValueAxis& axis, double largest) {
    const WholeNumberScale scale = wholeNumberScale(largest);
    axis.setRange(0, scale.top);
    axis.setTickCount(scale.top / scale.step + 1);
    axis.setMinorTickCount(0);
}

} // namespace

WholeNumberScale wholeNumberScale(double largest) {
    // A little room above the tallest bar or point; bounded so the top fits an int.
    const double wanted = std::isfinite(largest) ? std::clamp(largest * 1.1, 1.0, 1e9) : 1.0;
    for (long long power = 1;; power *= 10)
        for (const long long factor : {1, 2, 5}) {
            const long long step = factor * power;
            const auto steps = static_cast<long long>(std::ceil(wanted / double(step)));
            if (steps <= kMostScaleSteps)
                return {static_cast<int>(step * steps), static_cast<int>(step)};
        }
}

HistoryPictures::HistoryPictures(history::UtcOffsetAt offset, QWidget* parent)
    : QWidget(parent), offset_(std::move(offset)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    title_ = new QLabel(this);
    title_->setAccessibleName(QStringLiteral("Pictures for"));
    buildDayChart();
    auto* chartView = new QChartView(chart_, this);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setAccessibleName(QStringLiteral("Hits and airtime per day"));
    chartView->setMinimumHeight(200);
    map_ = new ActivityMapWidget(this);
    buildBusiestList();
    layout->addWidget(title_);
    layout->addWidget(chartView, 3);
    layout->addWidget(new QLabel(QStringLiteral("Activity by hour"), this));
    layout->addWidget(map_, 2);
    layout->addWidget(new QLabel(QStringLiteral("Busiest frequencies"), this));
    layout->addWidget(busiest_, 2);
}

void HistoryPictures::buildBusiestList() {
    busiest_ = new QTableWidget(0, 4, this);
    busiest_->setHorizontalHeaderLabels({QStringLiteral("Frequency (MHz)"),
                                         QStringLiteral("Airtime"), QStringLiteral("Hits"),
                                         QStringLiteral("New")});
    busiest_->setAccessibleName(QStringLiteral("Busiest frequencies"));
    busiest_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    busiest_->setSelectionBehavior(QAbstractItemView::SelectRows);
    busiest_->verticalHeader()->hide();
    busiest_->horizontalHeader()->setStretchLastSection(true);
    busiest_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(busiest_, &QTableWidget::activated, this, [this](const QModelIndex& index) {
        emit busyFrequencyChosen(busiest_->item(index.row(), 0)->text());
    });
}

void HistoryPictures::setSubject(const history::HitFilter& filter) {
    if (filter.lowHz && filter.highHz)
        title_->setText(*filter.lowHz == *filter.highHz
                            ? QStringLiteral("%1 MHz").arg(megahertz(*filter.lowHz))
                            : QStringLiteral("%1 – %2 MHz")
                                  .arg(megahertz(*filter.lowHz), megahertz(*filter.highHz)));
    else
        title_->setText(QStringLiteral("All frequencies"));
}

void HistoryPictures::draw(std::vector<history::DayActivity> days,
                           const std::vector<history::BusyFrequency>& busiest) {
    drawDayChart(days);
    map_->setDays(std::move(days), offset_);
    fillBusiest(busiest);
}

void HistoryPictures::buildDayChart() {
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    hitBars_ = new QBarSet(QStringLiteral("Hits"));
    auto* bars = new QBarSeries;
    bars->append(hitBars_);
    airtimeLine_ = new QLineSeries;
    airtimeLine_->setName(QStringLiteral("Airtime (min)"));
    chart_->addSeries(bars);
    chart_->addSeries(airtimeLine_);
    // Bars stand at 0, 1, 2...: one per day, labelled every few days.
    dayAxis_ = new QCategoryAxis;
    dayAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont small = dayAxis_->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    dayAxis_->setLabelsFont(small);
    hitAxis_ = new QValueAxis;
    hitAxis_->setLabelFormat(QStringLiteral("%.0f"));
    hitAxis_->setTitleText(QStringLiteral("Hits"));
    minuteAxis_ = new QValueAxis;
    minuteAxis_->setLabelFormat(QStringLiteral("%.0f"));
    minuteAxis_->setTitleText(QStringLiteral("Minutes"));
    chart_->addAxis(dayAxis_, Qt::AlignBottom);
    chart_->addAxis(hitAxis_, Qt::AlignLeft);
    chart_->addAxis(minuteAxis_, Qt::AlignRight);
    bars->attachAxis(dayAxis_);
    bars->attachAxis(hitAxis_);
    airtimeLine_->attachAxis(dayAxis_);
    airtimeLine_->attachAxis(minuteAxis_);
}

void HistoryPictures::drawDayChart(const std::vector<history::DayActivity>& days) {
    hitBars_->remove(0, hitBars_->count());
    QList<QPointF> minutes;
    QList<qreal> hits;
    double mostHits = 1, mostMinutes = 1;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const double m = static_cast<double>(days[i].airtimeSeconds) / 60.0;
        hits << static_cast<double>(days[i].hits);
        minutes << QPointF(static_cast<double>(i), m);
        mostHits = std::max(mostHits, static_cast<double>(days[i].hits));
        mostMinutes = std::max(mostMinutes, m);
    }
    hitBars_->append(hits);
    airtimeLine_->replace(minutes);
    for (const QString& label : dayAxis_->categoriesLabels())
        dayAxis_->remove(label);
    // Labels must differ: with many weeks the year tells apart the same day.
    const std::size_t step = labelStep(days.size());
    for (std::size_t i = 0; i < days.size(); i += step) {
        const std::string date = history::formatLocalTime(days[i].dayStartUtc, offset_);
        dayAxis_->append(QString::fromStdString(date.substr(step > 7 ? 2 : 5, step > 7 ? 8 : 5)),
                         static_cast<double>(i));
    }
    dayAxis_->setRange(-0.5, static_cast<double>(days.size()) - 0.5);
    if (!days.empty())
        dayAxis_->setTitleText(
            QStringLiteral("Day, %1 to %2")
                .arg(
                    QString::fromStdString(
                        history::formatLocalTime(days.front().dayStartUtc, offset_).substr(0, 10)),
                    QString::fromStdString(
                        history::formatLocalTime(days.back().dayStartUtc, offset_).substr(0, 10))));
    setWholeNumberRange(*hitAxis_, mostHits);
    setWholeNumberRange(*minuteAxis_, mostMinutes);
}

void HistoryPictures::fillBusiest(const std::vector<history::BusyFrequency>& busy) {
    busiest_->setRowCount(static_cast<int>(busy.size()));
    for (int row = 0; row < static_cast<int>(busy.size()); ++row) {
        const history::BusyFrequency& b = busy[static_cast<std::size_t>(row)];
        const QString cells[] = {QString::fromStdString(history::formatMegahertz(b.frequencyHz)),
                                 formatDuration(b.airtimeSeconds), QString::number(b.hits),
                                 b.isNew ? QStringLiteral("new") : QString()};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column < 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            busiest_->setItem(row, column, item);
        }
    }
}

} // namespace kovo
