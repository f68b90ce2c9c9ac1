#include <gmock/gmock.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <set>

#include "fakes/QtReceiverRig.h"

namespace kovo::test {
namespace {

// The program in demo mode (offscreen, scanning its demo channels) serving
// the Hamlib network protocol, and the real Hamlib network client talking to
// it.
class RigctlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("rigctl").isEmpty())
            GTEST_SKIP() << "rigctl is not installed (build.sh installs libhamlib-utils)";
        ASSERT_TRUE(home_.isValid());
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home_.path()); // settings of its own
        env.insert("XDG_CONFIG_HOME", home_.path());
        env.insert("XDG_DATA_HOME", home_.filePath("data")); // and a hit history of its own
        program_.setProcessEnvironment(env);
        program_.start(
            QStringLiteral(KOVO3000_PATH),
            {QStringLiteral("--demo"), QStringLiteral("--rigctl-port"), QString::number(port_)});
        ASSERT_TRUE(program_.waitForStarted(5000));
        // The demo document is read and the scan starts five seconds on.
        ASSERT_TRUE(waitFor([&] { return rigctl({"f"}).ok && frequencyNow() != 0; }, 20000));
    }
    void TearDown() override {
        program_.terminate();
        if (!program_.waitForFinished(5000))
            program_.kill();
    }

    struct Result {
        bool ok = false;
        QStringList lines;
    };
    // One run of the network client; ok when it ended well and reported no error.
    Result rigctl(const QStringList& commands) {
        QProcess client;
        client.start(QStringLiteral("rigctl"),
                     QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port_)} +
                         commands);
        bool finished = false;
        QObject::connect(&client, &QProcess::finished, [&] { finished = true; });
        waitFor([&] { return finished; }, 10000); // the program keeps running meanwhile
        Result r;
        const QString out = QString::fromUtf8(client.readAllStandardOutput());
        const QString err = QString::fromUtf8(client.readAllStandardError());
        r.lines = out.split('\n', Qt::SkipEmptyParts);
        const QString all = out + err;
        r.ok = finished && client.exitCode() == 0;
        for (const char* refusal : {"error", "Invalid parameter", "Feature not available"})
            r.ok = r.ok && !all.contains(QLatin1String(refusal), Qt::CaseInsensitive);
        return r;
    }
    long frequencyNow() {
        const Result r = rigctl({"f"});
        return r.ok && !r.lines.isEmpty() ? r.lines.first().toLong() : 0;
    }

    QTemporaryDir home_;
    QProcess program_;
    quint16 port_ = 0;
};

TEST_F(RigctlTest, ReadsWhileScanningTunesReadsStrengthAndRefusesWhatItCannot) {
    // The scan moves: several different frequencies within a few seconds.
    std::set<long> seen;
    waitFor(
        [&] {
            seen.insert(frequencyNow());
            return seen.size() >= 3;
        },
        15000);
    EXPECT_GE(seen.size(), 3u) << "the frequency did not follow the scan";

    // Setting one stops the scan and tunes there, and it stays.
    ASSERT_TRUE(rigctl({"F", "433500000"}).ok);
    EXPECT_EQ(frequencyNow(), 433500000);
    runEventLoopFor(1500);
    EXPECT_EQ(frequencyNow(), 433500000);
    const Result mode = rigctl({"M", "USB", "2400", "m"});
    ASSERT_TRUE(mode.ok);
    EXPECT_EQ(mode.lines.value(0), "USB");

    // Strength in dB relative to S9 from the receiver's reports.
    const Result strength = rigctl({"l", "STRENGTH", "t", "v"});
    ASSERT_TRUE(strength.ok);
    ASSERT_EQ(strength.lines.size(), 3);
    bool number = false;
    const int db = strength.lines[0].toInt(&number);
    EXPECT_TRUE(number);
    EXPECT_GE(db, -54);
    EXPECT_LE(db, 60);
    EXPECT_EQ(strength.lines[1], "0");
    EXPECT_EQ(strength.lines[2], "VFOA");

    // Out of range, a mode the receiver lacks, a transmitter's command.
    for (const QStringList& bad :
         {QStringList{"F", "3000000000"}, QStringList{"M", "RTTY", "0"}, QStringList{"T", "1"}})
        EXPECT_FALSE(rigctl(bad).ok) << bad.join(' ').toStdString();
    EXPECT_EQ(frequencyNow(), 433500000);
}

TEST_F(RigctlTest, TunesOnlyWhatTheReceiverTunes) {
    const struct {
        const char* hz;
        bool taken;
    } cases[] = {{"99999", false},
                 {"100000", true},
                 {"2040000000", true},
                 {"2040000001", false},
                 {"2500000000", false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(rigctl({"F", "145500000"}).ok);
        EXPECT_EQ(rigctl({"F", c.hz}).ok, c.taken) << c.hz;
        EXPECT_EQ(frequencyNow(), c.taken ? QString::fromLatin1(c.hz).toLong() : 145500000) << c.hz;
    }
}

TEST_F(RigctlTest, FloodsGarbageAndHalfLinesCostOtherClientsNothing) {
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, port_);
    ASSERT_TRUE(flood.waitForConnected(2000));
    QByteArray garbage(1 << 20, 'x');
    for (int i = 0; i < garbage.size(); i += 97)
        garbage[i] = char(i * 31);
    flood.write(garbage);
    QTcpSocket halfLine;
    halfLine.connectToHost(QHostAddress::LocalHost, port_);
    ASSERT_TRUE(halfLine.waitForConnected(2000));
    halfLine.write("F 14500");
    halfLine.flush();
    halfLine.abort(); // gone mid-line
    // Meanwhile another client is served at once.
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(frequencyNow(), 0);
    // The flooding client itself gets an error for its overlong line and is
    // then served like anyone else.
    flood.write("\nf\n");
    QByteArray answers;
    waitFor(
        [&] {
            answers += flood.readAll();
            return answers.contains("RPRT -1\n") && answers.endsWith("0\n");
        },
        5000);
    EXPECT_TRUE(answers.startsWith("RPRT -1\n")) << answers.left(80).toStdString();
    EXPECT_TRUE(answers.endsWith("0\n")) << answers.right(80).toStdString();
    EXPECT_EQ(program_.state(), QProcess::Running);
}

} // namespace
} // namespace kovo::test
