// Figures of the History window on a synthetic store of 1,000,000 hits over
// three busy years:
//   bench_history --generate FILE   makes the store (once; it takes a while)
//   bench_history FILE              opens the window on it and prints the
//                                   figures (run it on its own, so that the
//                                   peak memory is the window's alone)
//   bench_history --screenshot FILE OUT.png   the window on it, as a picture
#include "history/HistoryQuery.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/HitTableModel.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace kovo;

constexpr int kHits = 1'000'000;
constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kSpan = 3 * 365 * kDay;
constexpr int kFrequencies = 400;
constexpr int kNewFrequencies = 5; // heard only in the last week

int generate(const std::string& path) {
    std::filesystem::remove(path);
    history::StoreError error;
    auto store = history::HistoryDatabase::open(path, error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.message.c_str());
        return 1;
    }
    std::mt19937_64 random(3000);
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    std::vector<std::int64_t> starts;
    starts.reserve(kHits);
    std::uniform_int_distribution<std::int64_t> when(now - kSpan, now);
    std::uniform_real_distribution<double> unit(0, 1);
    // Busier by day than by night.
    while (starts.size() < static_cast<std::size_t>(kHits)) {
        const std::int64_t t = when(random);
        const int hour = static_cast<int>((t + history::localUtcOffset(t)) % kDay / 3600);
        if (unit(random) < (hour >= 7 && hour < 23 ? 1.0 : 0.25))
            starts.push_back(t);
    }
    std::sort(starts.begin(), starts.end());
    std::vector<double> weights;
    for (int k = 0; k < kFrequencies; ++k)
        weights.push_back(1.0 / (k + 1));
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    std::exponential_distribution<double> length(1.0 / 12.0);
    const char* const modes[] = {"NFM", "AM", "WFM", "USB"};
    store->exec("BEGIN");
    history::Statement hit = store->prepare(
        "INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, max_signal, comment) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    history::Statement recording =
        store->prepare("INSERT OR IGNORE INTO recordings VALUES(?1, ?2, ?3)");
    for (const std::int64_t start : starts) {
        int k = pick(random);
        while (k < kNewFrequencies && start < now - 6 * kDay)
            k = pick(random);
        const std::int64_t hz = 118'000'000 + static_cast<std::int64_t>(k) * 312'500;
        const std::int64_t end = start + 1 + static_cast<std::int64_t>(length(random));
        const std::string comment = "Channel " + std::to_string(k);
        hit.reset();
        hit.bind(1, start).bind(2, end).bind(3, hz).bind(4, std::string_view(modes[k % 4]));
        hit.bind(5, static_cast<std::int64_t>(random() % 10)).bind(6, comment);
        hit.step();
        if (random() % 20 == 0) {
            recording.reset();
            recording.bind(1, hz).bind(2, start).bind(3, "/var/recordings/" +
                                                             std::to_string(start) + ".flac");
            recording.step();
        }
    }
    store->exec("COMMIT; PRAGMA wal_checkpoint(TRUNCATE);");
    return 0;
}

// Resident memory now, from /proc.
double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <typename F> double milliseconds(F&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Until the window has every answer from its reader thread.
void settle(const HistoryWindow& window) {
    while (window.isSearching())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

HistoryActions benchActions() {
    HistoryActions actions;
    actions.play = [](const QString&) { return true; };
    actions.storeAsChannel = [](const history::HitRow&) {
        return ReceiverOperations::StoreOutcome{};
    };
    actions.chooseCsvFile = [](const QString&) { return QString(); };
    actions.showMessage = [](const QString&) {};
    actions.nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    return actions;
}

// The window as a user sees it after choosing a busy frequency, as PNG.
int screenshot(const std::string& path, const QString& png) {
    HistoryWindow window(path, benchActions());
    window.resize(1280, 760);
    window.show();
    window.findChildren<QLineEdit*>().value(0)->setText(QStringLiteral("119.875"));
    window.applyFilter();
    settle(window);
    window.table().resizeColumnsToContents();
    QApplication::processEvents();
    return window.grab().save(png) ? 0 : 1;
}

int measure(const std::string& path) {
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    std::unique_ptr<HistoryWindow> window;
    const double before = residentMegabytes();
    const double open = milliseconds([&] {
        window = std::make_unique<HistoryWindow>(path, benchActions());
        window->show();
        while (window->model().rowCount() == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        window->table().viewport()->grab(); // the rows painted
    });
    std::printf("open to first painted rows: %.1f ms (%d rows in the first page)\n", open,
                window->model().rowCount());
    settle(*window);
    auto* frequency = window->findChildren<QLineEdit*>().value(0);
    std::vector<double> filters, pictures;
    const char* const tried[] = {"118", "118.3125", "120.5", "130.15625", "118-119", "125"};
    for (const char* mhz : tried) {
        frequency->setText(QString::fromLatin1(mhz));
        filters.push_back(milliseconds([&] {
            window->applyFilter();
            settle(*window);
            window->table().viewport()->grab();
        }));
        pictures.push_back(milliseconds([&] {
            window->refreshPictures();
            settle(*window);
            window->grab();
        }));
        std::printf("filter %-10s %7.1f ms (with its pictures); pictures again %6.1f ms\n", mhz,
                    filters.back(), pictures.back());
    }
    // A text few hits match: the answer takes long, the window does not wait.
    frequency->setText(QString());
    window->findChildren<QLineEdit*>().value(1)->setText(QStringLiteral("zz-no-such-text"));
    const double textHeld = milliseconds([&] { window->applyFilter(); });
    const double textAnswer = milliseconds([&] { settle(*window); }) + textHeld;
    std::printf("text filter few hits match: the window is held %.1f ms, the answer comes after "
                "%.1f ms\n",
                textHeld, textAnswer);
    // A text many hits match: the rows show before the count ends.
    window->findChildren<QLineEdit*>().value(1)->setText(QStringLiteral("Channel 6"));
    QElapsedTimer sinceApply;
    sinceApply.start();
    window->applyFilter();
    while (window->model().rowCount() == 0 || !window->model().hit(0) ||
           window->model().hit(0)->comment.find("Channel 6") == std::string::npos)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double firstRows = static_cast<double>(sinceApply.nsecsElapsed()) / 1e6;
    settle(*window);
    std::printf("text filter many hits match: first rows after %.1f ms, count and pictures "
                "after %.1f ms\n",
                firstRows, static_cast<double>(sinceApply.nsecsElapsed()) / 1e6);
    window->findChildren<QLineEdit*>().value(1)->setText(QString());
    // The queries alone, to see where the time goes.
    history::StoreError error;
    const auto reader = history::HistoryDatabase::open(path, error);
    const history::HistoryQuery query(*reader);
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    history::HitFilter one;
    one.lowHz = one.highHz = 120'500'000;
    std::printf("queries for one frequency: first page %.1f ms, count %.1f ms, 4 weeks by day "
                "%.1f ms, 156 weeks by day %.1f ms, busiest of 4 weeks %.1f ms\n",
                milliseconds([&] { query.page(one, std::nullopt, 200); }),
                milliseconds([&] { query.count(one); }), milliseconds([&] {
                    query.activityByDay(one, now - 28 * kDay, now, history::localUtcOffset);
                }),
                milliseconds([&] {
                    query.activityByDay(one, now - 156 * 7 * kDay, now, history::localUtcOffset);
                }),
                milliseconds([&] {
                    history::HitFilter span;
                    span.fromUtc = now - 28 * kDay;
                    query.busiest(span, 15, now);
                }));
    std::printf("count of every hit %.1f ms\n", milliseconds([&] { query.count({}); }));
    std::ofstream sink("/dev/null");
    std::printf("CSV of every hit (paged to the end): %.0f ms\n", milliseconds([&] {
                    history::writeHitsCsv(query, {}, sink, history::localUtcOffset);
                }));
    std::sort(filters.begin(), filters.end());
    std::sort(pictures.begin(), pictures.end());
    std::printf("apply a frequency filter: median %.1f ms, worst %.1f ms\n",
                filters[filters.size() / 2], filters.back());
    std::printf("per-day chart + activity map + busiest list for one frequency: median %.1f ms, "
                "worst %.1f ms\n",
                pictures[pictures.size() / 2], pictures.back());
    std::printf("store size: %.1f MB for %d hits\n", static_cast<double>(bytes) / 1e6, kHits);
    std::printf("peak memory (RSS) with the window open: %.1f MB; the window and its store "
                "connection add %.1f MB to an application\n",
                peakMegabytes(), residentMegabytes() - before);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--generate")
        return generate(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--screenshot") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return screenshot(argv[2], QString::fromLocal8Bit(argv[3]));
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_history --generate FILE | bench_history FILE | "
                             "bench_history --screenshot FILE OUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return measure(argv[1]);
}
