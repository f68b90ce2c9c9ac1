// The History window on a real store file, with the program's side faked.
#include "data/CKovo5Doc.h"
#include "ui/history/ActivityMapWidget.h"
#include "ui/history/HistoryPictures.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/HitTableModel.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kovo {
namespace {

constexpr std::int64_t kNow = 1709251200 + 30 * 86400; // 2024-03-31 00:00 UTC

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kovo-histwin-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        history::StoreError error;
        writer_ = history::HistoryDatabase::open((folder_ / "h.sqlite").string(), error);
        ASSERT_TRUE(writer_) << error.message;
        ASSERT_TRUE(writer_
                        ->exec("INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                               "max_signal, comment) VALUES"
                               "(1711800000, 1711800030, 145500000, 'NFM', 7, 'Relay'),"
                               "(1711810000, 1711810005, 118100000, 'AM', 9, 'Tower'),"
                               "(1711820000, 1711820600, 145500000, 'NFM', 4, 'Relay');"
                               "INSERT INTO recordings VALUES(145500000, 1711800000, '/r/a.flac');")
                        .ok());
        HistoryActions actions;
        actions.play = [this](const QString& path) {
            played_ << path;
            return true;
        };
        actions.storeAsChannel = [this](const history::HitRow& hit) {
            stored_.push_back(hit);
            return ReceiverOperations::StoreOutcome{storeResult_, 0};
        };
        actions.chooseCsvFile = [this](const QString&) {
            return QString::fromStdString((folder_ / "out.csv").string());
        };
        actions.showMessage = [this](const QString& text) { messages_ << text; };
        actions.nowUtc = [] { return kNow; };
        actions.offset = [](std::int64_t) { return std::int64_t{0}; };
        window_ = std::make_unique<HistoryWindow>((folder_ / "h.sqlite").string(), actions);
        settle();
    }
    void TearDown() override {
        window_.reset();
        writer_.reset();
        std::filesystem::remove_all(folder_);
    }
    // Until the window has every answer from its reader thread; the bound
    // only keeps a broken build from hanging.
    void settle() {
        const QDeadlineTimer limit(20000);
        while (window_->isSearching() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_FALSE(window_->isSearching());
    }
    void addHits(int n, std::int64_t from) {
        std::string sql = "INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                          "max_signal) VALUES";
        for (int i = 0; i < n; ++i)
            sql += (i ? ",(" : "(") + std::to_string(from + i) + "," + std::to_string(from + i) +
                   ",150000000,'WFM',2)";
        ASSERT_TRUE(writer_->exec(sql).ok());
    }
    QString cell(int row, int column) const {
        return window_->model().index(row, column).data().toString();
    }
    void typeFilter(const char* accessibleName, const QString& text) {
        for (auto* edit : window_->findChildren<QLineEdit*>())
            if (edit->accessibleName() == QLatin1String(accessibleName))
                edit->setText(text);
    }
    QPushButton* buttonNamed(const char* name) const {
        for (auto* b : window_->findChildren<QPushButton*>())
            if (b->accessibleName() == QLatin1String(name))
                return b;
        return nullptr;
    }
    void choose(int row) { window_->table().setCurrentIndex(window_->model().index(row, 0)); }

    std::filesystem::path folder_;
    std::unique_ptr<history::HistoryDatabase> writer_;
    std::unique_ptr<HistoryWindow> window_;
    QStringList played_, messages_;
    std::vector<history::HitRow> stored_;
    ReceiverOperations::StoreResult storeResult_ = ReceiverOperations::StoreResult::Stored;
};

TEST_F(HistoryWindowTest, ShowsHitsNewestFirstAndFiltersByFrequencyAndText) {
    ASSERT_EQ(window_->model().rowCount(), 3);
    EXPECT_EQ(cell(0, HitTableModel::Time), "2024-03-30 17:33:20");
    EXPECT_EQ(cell(0, HitTableModel::Duration), "10:00");
    EXPECT_EQ(cell(1, HitTableModel::Frequency), "118.100000");
    EXPECT_EQ(cell(1, HitTableModel::MaxSignal), "S9 (9)");
    EXPECT_EQ(cell(2, HitTableModel::Recording), "a.flac");
    EXPECT_EQ(window_->model().index(2, HitTableModel::Recording).data(Qt::ToolTipRole),
              "/r/a.flac");
    EXPECT_EQ(window_->statusText(), "3 hits");

    typeFilter("Frequency filter", "145.5");
    EXPECT_TRUE(window_->applyFilter());
    settle();
    EXPECT_EQ(window_->model().rowCount(), 2);
    typeFilter("Frequency filter", "");
    typeFilter("Text filter", "tow");
    EXPECT_TRUE(window_->applyFilter());
    settle();
    ASSERT_EQ(window_->model().rowCount(), 1);
    EXPECT_EQ(cell(0, HitTableModel::Comment), "Tower");

    typeFilter("Frequency filter", "abc");
    EXPECT_FALSE(window_->applyFilter());
    EXPECT_EQ(window_->model().rowCount(), 1) << "a bad filter leaves the list as it was";
    EXPECT_TRUE(window_->statusText().contains("abc"));
}

TEST_F(HistoryWindowTest, EnterPlaysTheRecordingOrSaysThereIsNone) {
    window_->table().setFocus();
    choose(2);
    QTest::keyClick(&window_->table(), Qt::Key_Return);
    EXPECT_EQ(played_, QStringList{"/r/a.flac"});
    choose(0);
    QTest::keyClick(&window_->table(), Qt::Key_Return);
    EXPECT_EQ(played_.size(), 1);
    EXPECT_EQ(messages_, QStringList{HistoryWindow::kNoRecordingMessage});
}

TEST_F(HistoryWindowTest, StoreAsChannelAsksTheProgramAndReportsARefusal) {
    choose(1);
    buttonNamed("Store as channel")->click();
    ASSERT_EQ(stored_.size(), 1u);
    EXPECT_EQ(stored_[0].frequencyHz, 118100000);
    EXPECT_EQ(stored_[0].mode, "AM");
    EXPECT_EQ(stored_[0].comment, "Tower");
    EXPECT_TRUE(window_->statusText().contains("118.100000 MHz stored"));
    storeResult_ = ReceiverOperations::StoreResult::TableFull;
    buttonNamed("Store as channel")->click();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], QString::fromUtf8(CKovo5Doc::kChannelTableFullMessage));
}

TEST_F(HistoryWindowTest, ExportsTheFilteredRowsAsCsv) {
    typeFilter("Frequency filter", "118.1");
    window_->applyFilter();
    settle();
    buttonNamed("Export CSV")->click();
    settle();
    std::ifstream in(folder_ / "out.csv");
    const std::string csv((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(csv, "time_local,start_utc,end_utc,frequency_mhz,mode,duration_s,max_signal,"
                   "comment,recording\r\n"
                   "2024-03-30 14:46:40,1711810000,1711810005,118.100000,AM,5,9,Tower,\r\n");
}

TEST_F(HistoryWindowTest, PicturesFollowTheChosenFrequencyAndMarkNewOnes) {
    choose(1); // 118.1 MHz
    settle();
    const auto& days = window_->activityMap().days();
    ASSERT_EQ(days.size(), 28u);
    EXPECT_EQ(days.back().hits, 0);
    EXPECT_EQ(days[days.size() - 2].hits, 1);
    EXPECT_EQ(days[days.size() - 2].airtimeByHour[14], 5);
    auto* bars = qobject_cast<QBarSeries*>(window_->dayChart().series().value(0));
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->barSets().value(0)->at(26), 1.0);
    // A label a week, each with room to be read.
    auto* dayAxis = qobject_cast<QCategoryAxis*>(window_->dayChart().axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(dayAxis);
    EXPECT_EQ(dayAxis->categoriesLabels(), (QStringList{"03-04", "03-11", "03-18", "03-25"}));
    QTableWidget& busiest = window_->busiestList();
    ASSERT_EQ(busiest.rowCount(), 2);
    EXPECT_EQ(busiest.item(0, 0)->text(), "145.500000");
    EXPECT_EQ(busiest.item(0, 3)->text(), "new");
}

TEST_F(HistoryWindowTest, NewHitsAppearWhileTheNewestIsShown) {
    ASSERT_TRUE(writer_
                    ->exec("INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                           "max_signal) VALUES(1711830000, 1711830002, 150000000, 'WFM', 2)")
                    .ok());
    window_->refreshIfStale();
    settle();
    EXPECT_EQ(window_->model().rowCount(), 4);
    EXPECT_EQ(cell(0, HitTableModel::Frequency), "150.000000");
}

TEST_F(HistoryWindowTest, SearchesOffTheWindowsThreadAndShowsOnlyTheLatestFilter) {
    typeFilter("Text filter", "tow");
    EXPECT_TRUE(window_->applyFilter());
    EXPECT_TRUE(window_->isSearching());
    EXPECT_EQ(window_->statusText(), QString::fromUtf8(HistoryWindow::kSearchingMessage));
    EXPECT_EQ(window_->model().rowCount(), 3) << "the list stays until the answer comes";
    typeFilter("Text filter", "");
    typeFilter("Frequency filter", "145.5");
    EXPECT_TRUE(window_->applyFilter());
    settle();
    ASSERT_EQ(window_->model().rowCount(), 2) << "the answer to the older filter is dropped";
    EXPECT_EQ(cell(0, HitTableModel::Comment), "Relay");
    EXPECT_EQ(window_->statusText(), "2 hits");
}

TEST_F(HistoryWindowTest, ScrollingBringsFurtherPagesInOrderToTheEnd) {
    addHits(450, 1711900000);
    window_->applyFilter();
    settle();
    ASSERT_EQ(window_->model().rowCount(), HitTableModel::kPageSize);
    for (int expected : {400, 453}) {
        ASSERT_TRUE(window_->model().canFetchMore({}));
        window_->model().fetchMore({});
        EXPECT_FALSE(window_->model().canFetchMore({})) << "one page asked for at a time";
        settle();
        ASSERT_EQ(window_->model().rowCount(), expected);
    }
    EXPECT_FALSE(window_->model().canFetchMore({}));
    for (int row = 1; row < window_->model().rowCount(); ++row)
        ASSERT_GE(window_->model().hit(row - 1)->startUtc, window_->model().hit(row)->startUtc);
    EXPECT_EQ(cell(452, HitTableModel::Comment), "Relay");
}

TEST(HistoryWindowStoreTest, SaysWhyWhenTheStoreCannotBeOpened) {
    const auto file = std::filesystem::temp_directory_path() / "kovo-histwin-not-a-folder";
    std::ofstream(file) << "a file where the data folder should be";
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(file.string()));
    const std::string path = history::defaultHistoryPath();
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    HistoryActions actions;
    actions.nowUtc = [] { return kNow; };
    QStringList messages;
    actions.showMessage = [&messages](const QString& text) { messages << text; };
    HistoryWindow window(path, actions);
    EXPECT_TRUE(window.statusText().startsWith("The history store"))
        << window.statusText().toStdString();
    EXPECT_TRUE(window.statusText().contains("cannot be opened"))
        << window.statusText().toStdString();
    EXPECT_FALSE(window.isSearching());
    EXPECT_EQ(window.model().rowCount(), 0);
    EXPECT_FALSE(window.applyFilter());
    window.refreshIfStale();
    window.refreshPictures();
    window.exportCsv();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(window.centralWidget()->isEnabled());
    std::filesystem::remove(file);
}

// The busiest frequencies are those the frequency filter lets through.
TEST_F(HistoryWindowTest, BusiestFrequenciesFollowTheFrequencyFilter) {
    typeFilter("Frequency filter", "118-120");
    ASSERT_TRUE(window_->applyFilter());
    settle();
    QTableWidget& busiest = window_->busiestList();
    ASSERT_EQ(busiest.rowCount(), 1);
    EXPECT_EQ(busiest.item(0, 0)->text(), "118.100000");
}

// Count axes label whole numbers, each once, from 0 to a little above the
// largest value.
TEST(HistoryPicturesTest, CountAxesTickOnWholeNumbersOnly) {
    struct Case {
        double largest;
        WholeNumberScale scale;
    };
    const Case cases[] = {{0, {1, 1}},    {0.08, {1, 1}},      {2, {3, 1}},
                          {4.5, {5, 1}},  {5, {6, 2}},         {9, {10, 2}},
                          {37, {50, 10}}, {1440, {2000, 500}}, {-3, {1, 1}}};
    for (const Case& c : cases)
        EXPECT_EQ(wholeNumberScale(c.largest), c.scale) << c.largest;
}

TEST_F(HistoryWindowTest, TheChartsAxesShowEachWholeNumberOnce) {
    choose(1);
    settle();
    const QList<QAbstractAxis*> axes = window_->dayChart().axes(Qt::Vertical);
    ASSERT_EQ(axes.size(), 2);
    for (QAbstractAxis* axis : axes) {
        auto* values = qobject_cast<QValueAxis*>(axis);
        ASSERT_TRUE(values);
        const double step = (values->max() - values->min()) / (values->tickCount() - 1);
        EXPECT_GE(step, 1.0) << values->titleText().toStdString();
        EXPECT_EQ(step, std::floor(step)) << values->titleText().toStdString();
    }
}

// "Any" is the earliest date a field takes, but its calendar opens at today.
TEST_F(HistoryWindowTest, TheDateCalendarsOpenAtTodaysMonth) {
    window_->show();
    for (auto* edit : window_->findChildren<QDateEdit*>()) {
        QCalendarWidget* calendar = edit->calendarWidget();
        ASSERT_TRUE(calendar);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 4, edit->height() / 2));
        ASSERT_TRUE(calendar->isVisible()) << edit->accessibleName().toStdString();
        EXPECT_EQ(calendar->yearShown(), 2024) << edit->accessibleName().toStdString();
        EXPECT_EQ(calendar->monthShown(), 3) << edit->accessibleName().toStdString();
        calendar->window()->hide();
    }
}

// A hit's comment is shown whole, also when a longer one arrives later.
TEST_F(HistoryWindowTest, TheCommentColumnIsWideEnoughForItsLongestComment) {
    window_->show();
    const QString comment =
        QStringLiteral("Approach control, second frequency, heard mostly in the morning");
    ASSERT_TRUE(writer_
                    ->exec("INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                           "max_signal, comment) VALUES(1711830000, 1711830002, 119875000, "
                           "'AM', 2, '" +
                           comment.toStdString() + "')")
                    .ok());
    window_->refreshIfStale();
    settle();
    QCoreApplication::processEvents();
    ASSERT_EQ(cell(0, HitTableModel::Comment), comment);
    QTableView& table = window_->table();
    EXPECT_GE(table.columnWidth(HitTableModel::Comment),
              table.fontMetrics().horizontalAdvance(comment));
}

TEST_F(HistoryWindowTest, TheWindowOpensWholeOnTheScreen) {
    window_->show();
    const QRect screen = window_->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window_->geometry()))
        << window_->geometry().x() << "," << window_->geometry().y() << " "
        << window_->geometry().width() << "x" << window_->geometry().height() << " on "
        << screen.width() << "x" << screen.height();
}

TEST(HistoryWindowPlacementTest, AWindowIsMovedAndShrunkToLieWholeOnTheScreen) {
    struct Case {
        QRect wanted;
        QRect fitted;
    };
    const QRect screen(0, 0, 1024, 768);
    const Case cases[] = {
        {{100, 100, 600, 400}, {100, 100, 600, 400}}, // already inside
        {{700, 500, 600, 400}, {424, 368, 600, 400}}, // over the right and bottom edges
        {{-50, -20, 600, 400}, {0, 0, 600, 400}},     // over the left and top edges
        {{-38, 64, 1100, 640}, {0, 64, 1024, 640}},   // wider than the screen
        {{10, 10, 1200, 900}, {0, 0, 1024, 768}},     // larger than the screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(fittedInto(c.wanted, screen), c.fitted)
            << c.wanted.x() << "," << c.wanted.y() << " " << c.wanted.width();
    EXPECT_EQ(fittedInto({100, 100, 600, 400}, QRect(1024, 0, 800, 600)),
              QRect(1024, 100, 600, 400))
        << "a second screen to the right";
}

// The signal in the S-units of the database panel, with the receiver's index.
TEST(HistorySignalTest, SignalsReadInSUnitsWithTheIndex) {
    const std::pair<int, const char*> cases[] = {
        {0, "S0 (0)"}, {7, "S7 (7)"}, {9, "S9 (9)"}, {12, "S9+30 (12)"}, {15, "S9+60 (15)"}};
    for (const auto& [index, text] : cases)
        EXPECT_EQ(formatSignal(index), text);
}

TEST_F(HistoryWindowTest, EveryControlHasAnAccessibleName) {
    const QList<QWidget*> widgets = window_->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QAbstractItemView*>(w);
        if (!control || !w->isVisibleTo(window_.get()) || w->parent() == nullptr ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractItemView*>(w->parentWidget()))
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
}

} // namespace
} // namespace kovo
