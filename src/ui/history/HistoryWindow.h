#pragma once
#include "history/HistoryQuery.h"
#include "scan/ReceiverOperations.h"

#include <QMainWindow>
#include <QRect>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QBoxLayout;
class QDate;
class QChart;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class QTimer;

namespace kovo {

// `wanted` moved (and shrunk where it must be) to lie whole inside `available`.
QRect fittedInto(QRect wanted, const QRect& available);

class ActivityMapWidget;
class HistoryPictures;
class HistoryReader;
class HitTableModel;
struct ListAnswer;
struct PictureAnswer;

// What the History window asks of the program.
struct HistoryActions {
    // Plays an audio file; false when no player could be started.
    std::function<bool(const QString& path)> play;
    // Stores a hit's frequency as a channel (through the operations service).
    std::function<ReceiverOperations::StoreOutcome(const history::HitRow& hit)> storeAsChannel;
    // Where to write the CSV export; empty when the user cancels.
    std::function<QString(const QString& suggested)> chooseCsvFile;
    // A message the user must see (an error, a refusal).
    std::function<void(const QString& text)> showMessage;
    std::function<std::int64_t()> nowUtc;
    history::UtcOffsetAt offset = history::localUtcOffset;
};

// View ▸ History: every hit of the history store, newest first, with a
// filter, the per-day chart and activity map of the chosen frequency, the
// busiest frequencies, playback, storing as a channel and CSV export. The
// store is read on a thread of its own: the window shows "Searching…" while
// a query runs and drops the answer to a filter that has since changed. The
// first page shows while the rest is fetched as the list scrolls; a timer
// brings in new hits while the window is open.
class HistoryWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 2000;
    static constexpr const char* kNoRecordingMessage = "This hit has no recording.";

    static constexpr const char* kSearchingMessage = "Searching…";

    // Opens (or creates) the store at `storePath`; when it cannot be opened
    // the window says why and offers nothing else.
    HistoryWindow(const std::string& storePath, HistoryActions actions, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Reads the filter fields and starts looking for the hits that pass;
    // false (and a message in the status line) when the frequency field is
    // not MHz or a range, or there is no store.
    bool applyFilter();
    void playCurrent();
    void storeCurrentAsChannel();
    void exportCsv();
    // Starts redrawing the charts and the busiest list for the chosen frequency.
    void refreshPictures();
    // Shows new hits when the store has some.
    void refreshIfStale();

    HitTableModel& model() const { return *model_; }
    QTableView& table() const { return *table_; }
    ActivityMapWidget& activityMap() const;
    QTableWidget& busiestList() const;
    QChart& dayChart() const;
    QString statusText() const;
    // A query for the list, its count, a further page, the pictures or an
    // export has not answered yet.
    bool isSearching() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QDate localToday() const;
    void buildFilterBar(QWidget* parent, QBoxLayout* layout);
    void buildCommands(QWidget* parent, QBoxLayout* layout);
    const history::HitRow* currentHit() const;
    // The frequency filter when one is set, else the chosen hit's frequency.
    history::HitFilter pictureFilter() const;
    void searchList(const history::HitFilter& filter);
    void showList(ListAnswer& answer);
    void fetchPage(const history::HitCursor& after);
    void showPictures(PictureAnswer& answer);
    void showSearching();
    void say(const QString& text);

    // The window's own connection: it makes the store where there is none and
    // watches for new hits (a look-up of the newest row id).
    std::unique_ptr<history::HistoryDatabase> store_;
    std::unique_ptr<history::HistoryQuery> query_;
    QString storeError_;
    HistoryActions actions_;
    HitTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* frequencyEdit_ = nullptr;
    QLineEdit* textEdit_ = nullptr;
    QDateEdit* fromEdit_ = nullptr;
    QDateEdit* toEdit_ = nullptr;
    QSpinBox* weeks_ = nullptr;
    QLabel* status_ = nullptr;
    HistoryPictures* pictures_ = nullptr;
    QTimer* refresh_ = nullptr;
    std::optional<std::int64_t> picturedHz_;
    // Raised by every new filter or picture request; an answer for an older
    // one is dropped, and a query not yet started for one is skipped.
    std::atomic<std::uint64_t> listGeneration_ = 0;
    std::atomic<std::uint64_t> pictureGeneration_ = 0;
    bool listPending_ = false;
    bool countPending_ = false;
    bool picturesPending_ = false;
    bool exportPending_ = false;
    bool placed_ = false;
    // Last, so that it goes first: no query runs once the window starts going.
    std::unique_ptr<HistoryReader> reader_;
};

} // namespace kovo
