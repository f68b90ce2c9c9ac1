#include "HistoryWindow.h"

#include "ActivityMapWidget.h"
#include "HitTableModel.h"
#include "data/CKovo5Doc.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>
#include <cmath>
#include <fstream>

namespace kovo {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr int kBusiestCount = 15;
const QDate kAnyDate(2000, 1, 1);

QDateEdit* dateEdit(const QString& name, QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setMinimumDate(kAnyDate);
    edit->setSpecialValueText(QStringLiteral("Any"));
    edit->setDate(kAnyDate);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setAccessibleName(name);
    return edit;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(name);
    return b;
}

// Local midnight of a date, as UTC.
std::int64_t dateToUtc(const QDate& date) {
    return QDateTime(date, QTime(0, 0)).toSecsSinceEpoch();
}

} // namespace

HistoryWindow::HistoryWindow(std::unique_ptr<history::HistoryDatabase> store,
                             HistoryActions actions, QWidget* parent)
    : QMainWindow(parent), store_(std::move(store)),
      query_(std::make_unique<history::HistoryQuery>(*store_)), actions_(std::move(actions)) {
    setWindowTitle(QStringLiteral("History"));
    setAccessibleName(QStringLiteral("History"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    buildFilterBar(central, layout);

    model_ = new HitTableModel(*query_, actions_.offset, this);
    table_ = new QTableView(central);
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Hits"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableView::activated, this, [this] { playCurrent(); });

    auto* split = new QSplitter(Qt::Horizontal, central);
    split->addWidget(table_);
    split->addWidget(buildPictures());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);
    buildCommands(central, layout);
    setCentralWidget(central);
    status_ = new QLabel(this);
    status_->setAccessibleName(QStringLiteral("Status"));
    statusBar()->addWidget(status_, 1);

    applyFilter();
    table_->resizeColumnsToContents();
    // Moving through the hits of one frequency leaves its pictures as they are.
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (pictureFilter().lowHz != picturedHz_)
            refreshPictures();
    });
    refresh_ = new QTimer(this);
    refresh_->setInterval(kRefreshMs);
    connect(refresh_, &QTimer::timeout, this, &HistoryWindow::refreshIfStale);
    refresh_->start();
    resize(1100, 640);
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::buildFilterBar(QWidget* parent, QBoxLayout* layout) {
    auto* bar = new QHBoxLayout;
    frequencyEdit_ = new QLineEdit(parent);
    frequencyEdit_->setPlaceholderText(QStringLiteral("MHz or MHz-MHz"));
    frequencyEdit_->setAccessibleName(QStringLiteral("Frequency filter"));
    textEdit_ = new QLineEdit(parent);
    textEdit_->setPlaceholderText(QStringLiteral("Text in comment"));
    textEdit_->setAccessibleName(QStringLiteral("Text filter"));
    fromEdit_ = dateEdit(QStringLiteral("From date"), parent);
    toEdit_ = dateEdit(QStringLiteral("To date"), parent);
    weeks_ = new QSpinBox(parent);
    weeks_->setRange(1, 156);
    weeks_->setValue(4);
    weeks_->setSuffix(QStringLiteral(" weeks"));
    weeks_->setAccessibleName(QStringLiteral("Weeks shown in the pictures"));
    auto* apply = button(QStringLiteral("&Apply"), QStringLiteral("Apply filter"), parent);
    apply->setDefault(true);
    const std::pair<const char*, QWidget*> fields[] = {{"&Frequency:", frequencyEdit_},
                                                       {"&Text:", textEdit_},
                                                       {"F&rom:", fromEdit_},
                                                       {"T&o:", toEdit_},
                                                       {"&Weeks:", weeks_}};
    for (const auto& [caption, field] : fields) {
        auto* label = new QLabel(QString::fromUtf8(caption), parent);
        label->setBuddy(field);
        bar->addWidget(label);
        bar->addWidget(field, field == textEdit_ ? 2 : 1);
    }
    bar->addWidget(apply);
    layout->addLayout(bar);
    connect(apply, &QPushButton::clicked, this, &HistoryWindow::applyFilter);
    connect(frequencyEdit_, &QLineEdit::returnPressed, this, &HistoryWindow::applyFilter);
    connect(textEdit_, &QLineEdit::returnPressed, this, &HistoryWindow::applyFilter);
    connect(weeks_, &QSpinBox::valueChanged, this, [this] { refreshPictures(); });
}

QWidget* HistoryWindow::buildPictures() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    pictureTitle_ = new QLabel(box);
    pictureTitle_->setAccessibleName(QStringLiteral("Pictures for"));
    buildDayChart();
    auto* chartView = new QChartView(chart_, box);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setAccessibleName(QStringLiteral("Hits and airtime per day"));
    chartView->setMinimumHeight(200);
    map_ = new ActivityMapWidget(box);
    busiest_ = new QTableWidget(0, 4, box);
    busiest_->setHorizontalHeaderLabels({QStringLiteral("Frequency (MHz)"),
                                         QStringLiteral("Airtime"), QStringLiteral("Hits"),
                                         QStringLiteral("New")});
    busiest_->setAccessibleName(QStringLiteral("Busiest frequencies"));
    busiest_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    busiest_->setSelectionBehavior(QAbstractItemView::SelectRows);
    busiest_->verticalHeader()->hide();
    busiest_->horizontalHeader()->setStretchLastSection(true);
    // Choosing a busy frequency filters the list to it.
    connect(busiest_, &QTableWidget::activated, this, [this](const QModelIndex& index) {
        frequencyEdit_->setText(busiest_->item(index.row(), 0)->text());
        applyFilter();
    });
    layout->addWidget(pictureTitle_);
    layout->addWidget(chartView, 3);
    layout->addWidget(new QLabel(QStringLiteral("Activity by hour"), box));
    layout->addWidget(map_, 2);
    layout->addWidget(new QLabel(QStringLiteral("Busiest frequencies"), box));
    layout->addWidget(busiest_, 2);
    return box;
}

void HistoryWindow::buildCommands(QWidget* parent, QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    auto* play = button(QStringLiteral("&Play"), QStringLiteral("Play recording"), parent);
    auto* store =
        button(QStringLiteral("&Store as channel"), QStringLiteral("Store as channel"), parent);
    auto* csv = button(QStringLiteral("&Export CSV…"), QStringLiteral("Export CSV"), parent);
    row->addWidget(play);
    row->addWidget(store);
    row->addStretch(1);
    row->addWidget(csv);
    layout->addLayout(row);
    connect(play, &QPushButton::clicked, this, &HistoryWindow::playCurrent);
    connect(store, &QPushButton::clicked, this, &HistoryWindow::storeCurrentAsChannel);
    connect(csv, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
}

bool HistoryWindow::applyFilter() {
    history::HitFilter filter;
    const QString frequency = frequencyEdit_->text().trimmed();
    if (!frequency.isEmpty() &&
        !history::parseMegahertzRange(frequency.toStdString(), filter.lowHz, filter.highHz)) {
        say(QStringLiteral("The frequency filter is not MHz or a range MHz-MHz: %1")
                .arg(frequency));
        return false;
    }
    filter.text = textEdit_->text().trimmed().toStdString();
    if (fromEdit_->date() != kAnyDate)
        filter.fromUtc = dateToUtc(fromEdit_->date());
    if (toEdit_->date() != kAnyDate)
        filter.toUtc = dateToUtc(toEdit_->date().addDays(1));
    model_->setFilter(filter);
    if (model_->rowCount() > 0)
        table_->setCurrentIndex(model_->index(0, 0));
    say(QStringLiteral("%1 hits").arg(query_->count(filter)));
    refreshPictures();
    return true;
}

const history::HitRow* HistoryWindow::currentHit() const {
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? model_->hit(current.row()) : nullptr;
}

history::HitFilter HistoryWindow::pictureFilter() const {
    history::HitFilter filter = model_->filter();
    if (!filter.lowHz && !filter.highHz) {
        if (const history::HitRow* hit = currentHit())
            filter.lowHz = filter.highHz = hit->frequencyHz;
    }
    return filter;
}

void HistoryWindow::refreshPictures() {
    const std::int64_t now = actions_.nowUtc();
    const std::int64_t to = history::localDayStart(now, actions_.offset) + kDay;
    const std::int64_t from = to - weeks_->value() * 7 * kDay;
    const history::HitFilter filter = pictureFilter();
    picturedHz_ = filter.lowHz;
    if (filter.lowHz && filter.highHz)
        pictureTitle_->setText(
            *filter.lowHz == *filter.highHz
                ? QStringLiteral("%1 MHz").arg(
                      QString::fromStdString(history::formatMegahertz(*filter.lowHz)))
                : QStringLiteral("%1 – %2 MHz")
                      .arg(QString::fromStdString(history::formatMegahertz(*filter.lowHz)),
                           QString::fromStdString(history::formatMegahertz(*filter.highHz))));
    else
        pictureTitle_->setText(QStringLiteral("All frequencies"));
    auto days = query_->activityByDay(filter, from, to, actions_.offset);
    drawDayChart(days);
    map_->setDays(std::move(days), actions_.offset);
    fillBusiest(model_->filter(), from);
}

void HistoryWindow::buildDayChart() {
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
    dayAxis_ = new QBarCategoryAxis;
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

void HistoryWindow::drawDayChart(const std::vector<history::DayActivity>& days) {
    hitBars_->remove(0, hitBars_->count());
    QList<QPointF> minutes;
    QList<qreal> hits;
    QStringList labels;
    double mostHits = 1, mostMinutes = 1;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const double m = static_cast<double>(days[i].airtimeSeconds) / 60.0;
        hits << static_cast<double>(days[i].hits);
        minutes << QPointF(static_cast<double>(i), m);
        mostHits = std::max(mostHits, static_cast<double>(days[i].hits));
        mostMinutes = std::max(mostMinutes, m);
        // The day of the month; categories must differ, and two days with
        // the same number are four weeks apart or more.
        const std::string date = history::formatLocalTime(days[i].dayStartUtc, actions_.offset);
        labels << QString::fromStdString(date.substr(8, 2)) +
                      QString(static_cast<qsizetype>(i / 28), QChar(' '));
    }
    hitBars_->append(hits);
    airtimeLine_->replace(minutes);
    dayAxis_->setCategories(labels);
    if (!days.empty())
        dayAxis_->setTitleText(
            QStringLiteral("Day, %1 to %2")
                .arg(QString::fromStdString(
                         history::formatLocalTime(days.front().dayStartUtc, actions_.offset)
                             .substr(0, 10)),
                     QString::fromStdString(
                         history::formatLocalTime(days.back().dayStartUtc, actions_.offset)
                             .substr(0, 10))));
    hitAxis_->setRange(0, std::ceil(mostHits * 1.1));
    minuteAxis_->setRange(0, std::ceil(mostMinutes * 1.1));
}

void HistoryWindow::fillBusiest(const history::HitFilter& filter, std::int64_t from) {
    history::HitFilter span = filter;
    span.lowHz.reset();
    span.highHz.reset();
    span.fromUtc = std::max(filter.fromUtc.value_or(from), from);
    const auto busy = query_->busiest(span, kBusiestCount, actions_.nowUtc());
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

void HistoryWindow::playCurrent() {
    const history::HitRow* hit = currentHit();
    if (!hit)
        return;
    if (!hit->recording) {
        actions_.showMessage(QString::fromLatin1(kNoRecordingMessage));
        return;
    }
    const QString path = QString::fromStdString(*hit->recording);
    if (!actions_.play(path))
        actions_.showMessage(QStringLiteral("The recording %1 cannot be played.").arg(path));
}

void HistoryWindow::storeCurrentAsChannel() {
    const history::HitRow* hit = currentHit();
    if (!hit)
        return;
    using Result = ReceiverOperations::StoreResult;
    const QString mhz = QString::fromStdString(history::formatMegahertz(hit->frequencyHz));
    switch (actions_.storeAsChannel(*hit).result) {
    case Result::Stored:
        say(QStringLiteral("%1 MHz stored as a channel").arg(mhz));
        break;
    case Result::NotInThisMode:
        actions_.showMessage(QStringLiteral("No channel can be stored during a memory scan."));
        break;
    case Result::TableFull:
        actions_.showMessage(QString::fromUtf8(CKovo5Doc::kChannelTableFullMessage));
        break;
    case Result::Declined:
        break;
    }
}

void HistoryWindow::exportCsv() {
    const QString path = actions_.chooseCsvFile(QStringLiteral("hits.csv"));
    if (path.isEmpty())
        return;
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (out)
        history::writeHitsCsv(*query_, model_->filter(), out, actions_.offset);
    out.close();
    if (!out) {
        actions_.showMessage(QStringLiteral("The hits cannot be written to %1.").arg(path));
        return;
    }
    say(QStringLiteral("Hits written to %1").arg(path));
}

void HistoryWindow::refreshIfStale() {
    if (!model_->isStale())
        return;
    const int row = table_->currentIndex().row();
    // Someone reading further down keeps their place: only a window showing
    // the newest hit jumps to the new ones.
    if (row > 0)
        return;
    applyFilter();
}

QString HistoryWindow::statusText() const {
    return status_->text();
}

void HistoryWindow::say(const QString& text) {
    status_->setText(text);
}

} // namespace kovo
