// The program's hit history fed by the real receiver core on fakes, written
// to a real store in a scratch folder.
#include "CoreFixture.h"
#include "app/HistoryService.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace kovo {
namespace {

struct HistoryServiceTest : ::testing::Test {
    QTemporaryDir folder;
    test::CoreParts parts;
    std::string store = folder.filePath(QStringLiteral("history.sqlite")).toStdString();
    std::unique_ptr<HistoryService> service = std::make_unique<HistoryService>(
        HistorySettings{}, store, parts.doc, parts.core, parts.notifier, nullptr);

    // "start end" of every row the program wrote, oldest first.
    std::vector<std::string> rows() {
        service.reset(); // ends what is open and writes the queue
        history::StoreError error;
        auto db = history::HistoryDatabase::open(store, error);
        EXPECT_TRUE(db) << error.message;
        std::vector<std::string> out;
        if (!db)
            return out;
        history::Statement q =
            db->prepare("SELECT start_utc, end_utc FROM hits WHERE imported = 0 ORDER BY id");
        while (q.step() == SQLITE_ROW)
            out.push_back(q.text(0) + " " + q.text(1));
        return out;
    }
};

// A stop of the scan is one row that lasts as long as its log entry: the
// delay after the signal is not airtime. Listening in VFO makes no row,
// though the log keeps it.
TEST_F(HistoryServiceTest, AScansStopHasItsLogEntrysAirtimeAndListeningByHandMakesNoRow) {
    ASSERT_TRUE(parts.connect());
    parts.doc.controlParams.logging = 1;
    parts.doc.controlParams.direction = 1;
    parts.core.setOperatingMode(2);
    parts.report("%");
    const std::int64_t start = parts.clock.nowSeconds();
    for (const char* level : {"G", "H", "J"}) {
        parts.report(level);
        parts.clock.advance(1000);
    }
    parts.timers.advance(2000); // the delay runs out
    parts.report("G");          // and the scan moves on

    parts.core.setOperatingMode(5);
    parts.report("%");
    parts.report("G");
    parts.clock.advance(1000);
    parts.report("H");

    ASSERT_EQ(parts.doc.logCount, 2);
    const CLogData& logged = parts.doc.logEntry(0);
    EXPECT_EQ(logged.lastHeard - logged.firstHeard, 2);
    EXPECT_EQ(logged.firstHeard, start);
    EXPECT_EQ(rows(), std::vector<std::string>{std::to_string(logged.firstHeard) + " " +
                                               std::to_string(logged.lastHeard)});
}

} // namespace
} // namespace kovo
