#include "fakes/IsolatedHome.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

// The program, kovoctl and the recorder stub as separate processes on the
// test's own session bus, with a home of their own.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        env_ = kovo::test::isolatedEnvironment(home_);
    }
    void TearDown() override {
        for (QProcess* p : {&program_, &stub_}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                p->waitForFinished(5000);
            }
        }
    }
    void start(QProcess& p, const char* path, QStringList args = {}) {
        p.setProcessEnvironment(env_);
        p.start(QString::fromLatin1(path), args);
        ASSERT_TRUE(p.waitForStarted());
    }
    void startProgram() {
        start(program_, KOVO_PROGRAM);
        // Up once kovoctl finds it.
        for (int i = 0; i < 100 && kovoctl({"send", "999"}).first != 0; ++i)
            QThread::msleep(50);
    }
    std::pair<int, QString> kovoctl(QStringList args, const QByteArray& input = {}) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral(KOVOCTL_PROGRAM), args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(20000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
    }
    QString waitForLine(QProcess& p, const QString& line) {
        QString seen;
        for (int i = 0; i < 100 && !seen.contains(line); ++i) {
            p.waitForReadyRead(100);
            seen += QString::fromUtf8(p.readAllStandardOutput());
        }
        return seen;
    }
    QTemporaryDir home_;
    QProcessEnvironment env_;
    QProcess program_, stub_;
};

TEST_F(ProgramTest, KovoctlTunesQueriesAndExchangesState) {
    startProgram();
    EXPECT_EQ(kovoctl({"tune", "145.5"}).first, 0);
    EXPECT_EQ(kovoctl({"get", "frequency"}), std::make_pair(0, QStringLiteral("145500000\n")));
    EXPECT_EQ(kovoctl({"send", "2", "14"}).second, QStringLiteral("0\n"));
    EXPECT_EQ(kovoctl({"send", "2", "0"}).second, QStringLiteral("2\n"));
    EXPECT_EQ(kovoctl({"get", "step"}).second, QStringLiteral("1\n"));
    EXPECT_EQ(kovoctl({"names", "banks"}).second.count(QLatin1Char('\n')), 22);
    EXPECT_EQ(
        kovoctl({"state", "set"}, R"({"frequency": 433000000, "mode": 2, "comment": "テスト"})")
            .first,
        0);
    const QString state = kovoctl({"state", "get"}).second;
    EXPECT_TRUE(state.contains(QStringLiteral("\"frequency\": 433000000"))) << state.toStdString();
    EXPECT_TRUE(state.contains(QStringLiteral("\"comment\": \"テスト\""))) << state.toStdString();
    EXPECT_EQ(kovoctl({"state", "set"}, R"({"ctcss": 52})").first, 1) << "outside the tone table";
    EXPECT_EQ(kovoctl({"get", "frequency"}).second, QStringLiteral("433000000\n"));
}

TEST_F(ProgramTest, ShutdownSavesAModifiedUntitledDocumentAndEndsWithOne) {
    startProgram();
    EXPECT_EQ(kovoctl({"send", "12", "3"}).second, QStringLiteral("2\n")); // marks it modified
    EXPECT_EQ(kovoctl({"shutdown"}).first, 0);
    ASSERT_TRUE(program_.waitForFinished(10000));
    EXPECT_EQ(program_.exitCode(), 1);
    QDirIterator files(home_.filePath(QStringLiteral("data")), {QStringLiteral("Frequency.kv5")},
                       QDir::Files, QDirIterator::Subdirectories);
    EXPECT_TRUE(files.hasNext()) << "saved to the per-user data folder";
}

TEST_F(ProgramTest, TheRecorderLinksUpAtStartAndHearsTheWindowGo) {
    start(stub_, RECORDER_STUB_PROGRAM);
    EXPECT_TRUE(waitForLine(stub_, QStringLiteral("ready")).contains(QStringLiteral("ready")));
    startProgram();
    const QString linked = waitForLine(stub_, QStringLiteral("BROMControl 1 "));
    EXPECT_TRUE(linked.contains(QStringLiteral("BROMControl 0 "))) << linked.toStdString();
    EXPECT_TRUE(linked.contains(QStringLiteral("BROMControl 1 "))) << linked.toStdString();
    program_.terminate();
    EXPECT_TRUE(waitForLine(stub_, QStringLiteral("BROMControl 3 0"))
                    .contains(QStringLiteral("BROMControl 3 0")));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
