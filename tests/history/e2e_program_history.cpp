// The program itself (demo receiver, offscreen) keeping its hit history in a
// scratch data folder: killed while it scans, and started with a store it
// cannot use.
#include "fakes/IsolatedHome.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "history/HistoryDatabase.h"

namespace {

using kovo::history::HistoryDatabase;
using kovo::history::StoreError;

constexpr int kStopsToSee = 4;
constexpr const char* kPausedMessage = "The hit history is paused";

class ProgramHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        env_ = kovo::test::isolatedEnvironment(home_);
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    }
    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }
    QString storePath() const {
        return home_.filePath(QStringLiteral("data/Fennelworks/KOVO3000/history.sqlite"));
    }
    void startDemo() {
        program_.setProcessEnvironment(env_);
        program_.start(QStringLiteral(KOVO_PROGRAM), {QStringLiteral("--demo")});
        ASSERT_TRUE(program_.waitForStarted(5000));
    }
    // The demo prints one line per stop of the scan on a signal; waits for
    // `count` of them (the scan starts five seconds after the program).
    int waitForStops(int count, int timeoutMs = 40000) {
        QElapsedTimer waited;
        waited.start();
        while (stops_ < count && waited.elapsed() < timeoutMs &&
               program_.state() == QProcess::Running) {
            program_.waitForReadyRead(200);
            countPrintedStops();
        }
        return stops_;
    }
    void countPrintedStops() {
        while (program_.canReadLine())
            if (!program_.readLine().trimmed().isEmpty())
                ++stops_;
        errors_ += program_.readAllStandardError();
    }
    std::int64_t count(sqlite3* db, const char* sql) {
        sqlite3_stmt* statement = nullptr;
        std::int64_t n = -1;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            n = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return n;
    }

    QTemporaryDir home_;
    QProcessEnvironment env_;
    QProcess program_;
    int stops_ = 0;
    QByteArray errors_;
};

// SIGKILL in the middle of a scan: the file is sound, opens again, and
// holds every hit but at most the one in progress.
TEST_F(ProgramHistoryTest, KilledWhileScanningLeavesASoundStoreWithItsHits) {
    startDemo();
    ASSERT_GE(waitForStops(kStopsToSee), kStopsToSee) << errors_.constData();
    program_.kill();
    ASSERT_TRUE(program_.waitForFinished(5000));
    countPrintedStops(); // the lines printed just before the kill
    ASSERT_TRUE(QFile::exists(storePath()));

    sqlite3* raw = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(storePath().toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    const std::int64_t hits = count(raw, "SELECT count(*) FROM hits WHERE imported = 0");
    EXPECT_GE(hits, stops_ - 1) << stops_ << " stops printed";
    EXPECT_EQ(count(raw, "SELECT count(*) FROM hits WHERE end_utc < start_utc"), 0);
    sqlite3_close(raw);

    StoreError error;
    EXPECT_NE(HistoryDatabase::open(storePath().toStdString(), error), nullptr) << error.message;
}

struct UnusableStore {
    const char* name;
    // Makes the store unusable; returns the file whose bytes must survive.
    QString (*spoil)(const QTemporaryDir& home, const QString& store);
};

QString writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

const UnusableStore kUnusableStores[] = {
    {"data folder is a file",
     [](const QTemporaryDir& home, const QString&) {
         return writeFile(home.filePath(QStringLiteral("data")), "not a folder\n");
     }},
    {"store is a folder",
     [](const QTemporaryDir&, const QString& store) {
         QDir().mkpath(store);
         return QString();
     }},
    {"store is not a database",
     [](const QTemporaryDir&, const QString& store) {
         return writeFile(store, QByteArray("a list of my favourite channels\n").repeated(200));
     }},
};

// One clear message, the scan goes on, and nothing the user had is touched.
TEST_F(ProgramHistoryTest, AStoreThatCannotBeUsedIsReportedOnceAndScanningGoesOn) {
    for (const UnusableStore& c : kUnusableStores) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        env_ = kovo::test::isolatedEnvironment(home);
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
        const QString store =
            home.filePath(QStringLiteral("data/Fennelworks/KOVO3000/history.sqlite"));
        const QString kept = c.spoil(home, store);
        QByteArray before;
        if (!kept.isEmpty()) {
            QFile file(kept);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }
        stops_ = 0;
        errors_.clear();
        startDemo();
        EXPECT_GE(waitForStops(kStopsToSee), kStopsToSee) << errors_.constData();
        EXPECT_EQ(program_.state(), QProcess::Running);
        program_.kill();
        program_.waitForFinished(5000);
        errors_ += program_.readAllStandardError();
        EXPECT_EQ(errors_.count(kPausedMessage), 1) << errors_.constData();
        if (!kept.isEmpty()) {
            QFile file(kept);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), before);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
