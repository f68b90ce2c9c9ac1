#include "HistoryWindow.h"

#include "HistoryPictures.h"
#include "HistoryReader.h"
#include "HitTableModel.h"
#include "data/CKovo5Doc.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
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

// The first page of a filter, read on the reader's thread.
struct ListAnswer {
    std::uint64_t generation = 0;
    history::HitFilter filter;
    std::vector<history::HitRow> rows;
    std::int64_t newestId = 0;
    bool skipped = false;
    std::string error;
};

// A further page of the same filter.
struct PageAnswer {
    std::uint64_t generation = 0;
    std::vector<history::HitRow> rows;
};

// The charts' and the busiest list's figures.
struct PictureAnswer {
    std::uint64_t generation = 0;
    std::vector<history::DayActivity> days;
    std::vector<history::BusyFrequency> busiest;
    bool skipped = false;
};

HistoryWindow::HistoryWindow(const std::string& storePath, HistoryActions actions, QWidget* parent)
    : QMainWindow(parent), actions_(std::move(actions)) {
    history::StoreError error;
    store_ = history::HistoryDatabase::open(storePath, error);
    if (store_) {
        query_ = std::make_unique<history::HistoryQuery>(*store_);
        reader_ = std::make_unique<HistoryReader>(storePath);
    } else {
        storeError_ = QString::fromStdString(error.message);
    }
    setWindowTitle(QStringLiteral("History"));
    setAccessibleName(QStringLiteral("History"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    buildFilterBar(central, layout);

    model_ = new HitTableModel(actions_.offset, this);
    model_->setMoreWanted([this](const history::HitCursor& after) { fetchPage(after); });
    table_ = new QTableView(central);
    table_->setModel(model_);
    table_->setAccessibleName(QStringLiteral("Hits"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    // A comment is read whole: its column grows with the longest one shown
    // (the list scrolls sideways when it must).
    table_->horizontalHeader()->setSectionResizeMode(HitTableModel::Comment,
                                                     QHeaderView::ResizeToContents);
    connect(table_, &QTableView::activated, this, [this] { playCurrent(); });

    auto* split = new QSplitter(Qt::Horizontal, central);
    split->addWidget(table_);
    pictures_ = new HistoryPictures(actions_.offset, central);
    // Choosing a busy frequency filters the list to it.
    connect(pictures_, &HistoryPictures::busyFrequencyChosen, this, [this](const QString& mhz) {
        frequencyEdit_->setText(mhz);
        applyFilter();
    });
    split->addWidget(pictures_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    // Wide enough for every column of a hit, recording file name included.
    split->setSizes({560, 540});
    layout->addWidget(split, 1);
    buildCommands(central, layout);
    setCentralWidget(central);
    status_ = new QLabel(this);
    status_->setAccessibleName(QStringLiteral("Status"));
    statusBar()->addWidget(status_, 1);
    if (!reader_) {
        central->setEnabled(false);
        say(storeError_);
    }

    applyFilter();
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

HistoryWindow::~HistoryWindow() {
    reader_.reset();
}

// "Any" is the earliest date the field takes: its calendar opens at today's
// month instead, where a date is usually chosen.
bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show)
        for (QDateEdit* edit : {fromEdit_, toEdit_})
            if (watched == edit->calendarWidget() && edit->date() == kAnyDate) {
                const QDate today = localToday();
                edit->calendarWidget()->setCurrentPage(today.year(), today.month());
            }
    return QMainWindow::eventFilter(watched, event);
}

QDate HistoryWindow::localToday() const {
    const std::int64_t now = actions_.nowUtc();
    return QDateTime::fromSecsSinceEpoch(now + actions_.offset(now), Qt::UTC).date();
}

// Placed once, when first shown: over the window that opened it, and whole
// on that window's screen.
void HistoryWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        QWidget* opener = parentWidget();
        const QScreen* where = opener ? opener->screen() : screen();
        if (where) {
            const QRect available = where->availableGeometry();
            QRect wanted(QPoint(), size());
            wanted.moveCenter(opener ? opener->frameGeometry().center() : available.center());
            setGeometry(fittedInto(wanted, available));
        }
    }
    QMainWindow::showEvent(event);
}

QRect fittedInto(QRect wanted, const QRect& available) {
    wanted.setSize(wanted.size().boundedTo(available.size()));
    wanted.moveLeft(
        std::clamp(wanted.left(), available.left(), available.right() - wanted.width() + 1));
    wanted.moveTop(
        std::clamp(wanted.top(), available.top(), available.bottom() - wanted.height() + 1));
    return wanted;
}

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
    for (QDateEdit* edit : {fromEdit_, toEdit_})
        edit->calendarWidget()->installEventFilter(this);
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
    if (!reader_) {
        say(storeError_);
        return false;
    }
    searchList(filter);
    return true;
}

void HistoryWindow::searchList(const history::HitFilter& filter) {
    const std::uint64_t generation = ++listGeneration_;
    listPending_ = true;
    showSearching();
    reader_->run<ListAnswer>(
        [this, generation, filter](const HistoryReader::Access& access) {
            ListAnswer answer;
            answer.generation = generation;
            answer.filter = filter;
            answer.error = access.error;
            // A newer filter is waiting behind this one: its answer is wanted.
            answer.skipped = !access.query || generation != listGeneration_;
            if (answer.skipped)
                return answer;
            answer.newestId = access.query->newestId();
            answer.rows = access.query->page(filter, std::nullopt, HitTableModel::kPageSize);
            return answer;
        },
        this, [this](ListAnswer& answer) { showList(answer); });
    // Counting may read every hit: the rows show before it ends.
    countPending_ = true;
    reader_->run<std::optional<std::int64_t>>(
        [this, generation, filter](const HistoryReader::Access& access) {
            return access.query && generation == listGeneration_
                       ? std::optional(access.query->count(filter))
                       : std::nullopt;
        },
        this,
        [this, generation](std::optional<std::int64_t>& count) {
            if (generation != listGeneration_)
                return;
            countPending_ = false;
            if (count)
                say(QStringLiteral("%1 hits").arg(*count));
        });
}

void HistoryWindow::showList(ListAnswer& answer) {
    if (answer.generation != listGeneration_)
        return;
    listPending_ = false;
    if (!answer.error.empty()) {
        say(QString::fromStdString(answer.error));
        return;
    }
    const bool wasEmpty = model_->rowCount() == 0;
    model_->reset(answer.filter, std::move(answer.rows), answer.newestId);
    if (wasEmpty)
        table_->resizeColumnsToContents();
    if (model_->rowCount() > 0)
        table_->setCurrentIndex(model_->index(0, 0));
    refreshPictures();
}

void HistoryWindow::fetchPage(const history::HitCursor& after) {
    const std::uint64_t generation = listGeneration_;
    const history::HitFilter filter = model_->filter();
    reader_->run<PageAnswer>(
        [this, generation, filter, after](const HistoryReader::Access& access) {
            PageAnswer answer;
            answer.generation = generation;
            if (access.query && generation == listGeneration_)
                answer.rows = access.query->page(filter, after, HitTableModel::kPageSize);
            return answer;
        },
        this,
        [this](PageAnswer& answer) {
            if (answer.generation == listGeneration_ && model_->isFetching())
                model_->append(std::move(answer.rows));
        });
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
    pictures_->setSubject(filter);
    if (!reader_)
        return;
    // The busiest frequencies are those the list's filter lets through, over
    // the weeks of the pictures.
    history::HitFilter span = model_->filter();
    span.fromUtc = std::max(span.fromUtc.value_or(from), from);
    const std::uint64_t generation = ++pictureGeneration_;
    picturesPending_ = true;
    reader_->run<PictureAnswer>(
        [this, generation, filter, span, from, to, now,
         offset = actions_.offset](const HistoryReader::Access& access) {
            PictureAnswer answer;
            answer.generation = generation;
            answer.skipped = !access.query || generation != pictureGeneration_;
            if (answer.skipped)
                return answer;
            answer.days = access.query->activityByDay(filter, from, to, offset);
            answer.busiest = access.query->busiest(span, kBusiestCount, now);
            return answer;
        },
        this, [this](PictureAnswer& answer) { showPictures(answer); });
}

void HistoryWindow::showPictures(PictureAnswer& answer) {
    if (answer.generation != pictureGeneration_)
        return;
    picturesPending_ = false;
    if (answer.skipped)
        return;
    pictures_->draw(std::move(answer.days), answer.busiest);
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
        actions_.showMessage(
            QString::fromStdString(uiText("ChannelTable", CKovo5Doc::kChannelTableFullMessage)));
        break;
    case Result::Declined:
        break;
    }
}

void HistoryWindow::exportCsv() {
    if (!reader_)
        return;
    const QString path = actions_.chooseCsvFile(QStringLiteral("hits.csv"));
    if (path.isEmpty())
        return;
    exportPending_ = true;
    say(QStringLiteral("Writing the hits to %1…").arg(path));
    // A million hits take seconds to write: the reader's thread does it.
    reader_->run<bool>(
        [filter = model_->filter(), file = path.toStdString(),
         offset = actions_.offset](const HistoryReader::Access& access) {
            if (!access.query)
                return false;
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            if (out)
                history::writeHitsCsv(*access.query, filter, out, offset);
            out.close();
            return static_cast<bool>(out);
        },
        this,
        [this, path](bool& written) {
            exportPending_ = false;
            if (written)
                say(QStringLiteral("Hits written to %1").arg(path));
            else
                actions_.showMessage(QStringLiteral("The hits cannot be written to %1.").arg(path));
        });
}

void HistoryWindow::refreshIfStale() {
    if (!query_ || listPending_ || query_->newestId() == model_->newestId())
        return;
    const int row = table_->currentIndex().row();
    // Someone reading further down keeps their place: only a window showing
    // the newest hit jumps to the new ones.
    if (row > 0)
        return;
    applyFilter();
}

ActivityMapWidget& HistoryWindow::activityMap() const {
    return pictures_->activityMap();
}

QTableWidget& HistoryWindow::busiestList() const {
    return pictures_->busiestList();
}

QChart& HistoryWindow::dayChart() const {
    return pictures_->dayChart();
}

QString HistoryWindow::statusText() const {
    return status_->text();
}

bool HistoryWindow::isSearching() const {
    return listPending_ || countPending_ || picturesPending_ || exportPending_ ||
           model_->isFetching();
}

void HistoryWindow::showSearching() {
    say(QString::fromUtf8(kSearchingMessage));
}

void HistoryWindow::say(const QString& text) {
    status_->setText(text);
}

} // namespace kovo
