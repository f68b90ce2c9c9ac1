#include "fakes/IsolatedHome.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PeerWindow.h"
#include "ipc/WindowBus.h"

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
        for (QProcess* p : {&program_, &second_, &stub_}) {
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
    void startProgram(QProcess& program, QStringList args = {}) {
        start(program, KOVO_PROGRAM, std::move(args));
        // Up once kovoctl finds it.
        for (int i = 0; i < 100 && kovoctl({"send", "999"}).first != 0; ++i)
            QThread::msleep(50);
    }
    void startProgram(QStringList args = {}) { startProgram(program_, std::move(args)); }
    // The program's window as `bus` sees it (kNoWindow when it is not there).
    static kovo::ipc::WindowHandle programWindow(kovo::ipc::WindowBus& bus) {
        for (kovo::ipc::WindowHandle w : bus.otherWindows())
            if (bus.handlesOf(w).contains(QStringLiteral("KovoControl")))
                return w;
        return kovo::ipc::kNoWindow;
    }
    // Where the program keeps "Frequency.kv5" and its like.
    QString dataFolder() const {
        return home_.filePath(QStringLiteral("data/Fennelworks/KOVO3000"));
    }
    // The last document is one that does not exist, so that nothing is
    // opened five seconds after start.
    void noLastDocument() {
        QDir().mkpath(home_.filePath(QStringLiteral("config/Fennelworks")));
        QFile ini(home_.filePath(QStringLiteral("config/Fennelworks/KOVO3000.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Recent%20File%20List]\nFile1=/nonexistent/elsewhere.kv5\n");
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
    QProcess program_, second_, stub_;
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

// Tuning from kovoctl, by frequency or by code 0, keeps to what the receiver
// tunes: beyond it the program answers 0 and stays where it was.
TEST_F(ProgramTest, KovoctlTunesOnlyWhatTheReceiverTunes) {
    startProgram();
    const struct {
        const char* megahertz;
        const char* hertz;
        bool taken;
    } cases[] = {{"0.099999", "99999", false},
                 {"0.1", "100000", true},
                 {"2040", "2040000000", true},
                 {"2040.000001", "2040000001", false},
                 {"2500", "2500000000", false}};
    for (const auto& c : cases) {
        ASSERT_EQ(kovoctl({"tune", "145.5"}).first, 0);
        EXPECT_EQ(kovoctl({"tune", c.megahertz}).first, c.taken ? 0 : 1) << c.megahertz;
        const QString expected = QString::fromLatin1(c.taken ? c.hertz : "145500000") + '\n';
        EXPECT_EQ(kovoctl({"get", "frequency"}).second, expected) << c.megahertz;
        ASSERT_EQ(kovoctl({"tune", "145.5"}).first, 0);
        EXPECT_EQ(kovoctl({"send", "0", c.hertz}).second,
                  QString::fromLatin1(c.taken ? "2\n" : "0\n"))
            << c.hertz;
        EXPECT_EQ(kovoctl({"get", "frequency"}).second, expected) << c.hertz;
    }
    ASSERT_EQ(kovoctl({"send", "1", "2"}).second, QStringLiteral("2\n"));
    EXPECT_EQ(kovoctl({"state", "set"}, R"({"frequency": 2500000000, "mode": 3})").first, 1);
    EXPECT_EQ(kovoctl({"get", "mode"}).second, QStringLiteral("2\n"))
        << "a refused block changes nothing";
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

TEST_F(ProgramTest, ShutdownClosesTheWindowSoTheRecorderHearsItGo) {
    start(stub_, RECORDER_STUB_PROGRAM);
    ASSERT_TRUE(waitForLine(stub_, QStringLiteral("ready")).contains(QStringLiteral("ready")));
    startProgram();
    ASSERT_TRUE(waitForLine(stub_, QStringLiteral("BROMControl 1 "))
                    .contains(QStringLiteral("BROMControl 1 ")));
    EXPECT_EQ(kovoctl({"shutdown"}).first, 0);
    EXPECT_TRUE(waitForLine(stub_, QStringLiteral("BROMControl 3 0"))
                    .contains(QStringLiteral("BROMControl 3 0")));
    ASSERT_TRUE(program_.waitForFinished(10000));
    EXPECT_EQ(program_.exitCode(), 1);
}

TEST_F(ProgramTest, ShutdownNeverReplacesTheUsersDocumentWithAnUntitledOne) {
    noLastDocument();
    QDir().mkpath(dataFolder());
    const QString users = QDir(dataFolder()).filePath(QStringLiteral("Frequency.kv5"));
    const QString freeName = QDir(dataFolder()).filePath(QStringLiteral("Frequency-2.kv5"));
    QFile file(users);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the user's channels");
    file.close();
    auto usersBytes = [&users] {
        QFile f(users);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // Unchanged: nothing is written at all.
    startProgram();
    EXPECT_EQ(kovoctl({"shutdown"}).first, 0);
    ASSERT_TRUE(program_.waitForFinished(10000));
    EXPECT_EQ(program_.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(freeName));

    // Changed: saved beside the user's file, which stays as it was.
    startProgram();
    EXPECT_EQ(kovoctl({"send", "12", "3"}).second, QStringLiteral("2\n"));
    EXPECT_EQ(kovoctl({"shutdown"}).first, 0);
    ASSERT_TRUE(program_.waitForFinished(10000));
    EXPECT_EQ(program_.exitCode(), 1);
    EXPECT_EQ(usersBytes(), QByteArray("the user's channels"));
    EXPECT_TRUE(QFile::exists(freeName));
    EXPECT_TRUE(QString::fromLocal8Bit(program_.readAllStandardError())
                    .contains(QStringLiteral("Frequency-2.kv5")))
        << "and says so";
}

TEST_F(ProgramTest, KovoctlGetLeavesARegisteredStatusClientInPlace) {
    startProgram();
    using namespace kovo::ipc;
    test::PeerWindow client(QStringLiteral("client")), observer(QStringLiteral("observer"));
    test::PeerWindow callerWindow(QStringLiteral("caller"));
    WindowBus& caller = callerWindow.bus();
    const WindowHandle program = programWindow(caller);
    ASSERT_NE(program, kNoWindow);
    EXPECT_EQ(caller.send(program, Message::KovoControl, 254, client.handle()), 2);
    EXPECT_EQ(kovoctl({"tune", "145.5"}).first, 0);
    EXPECT_EQ(kovoctl({"get", "frequency"}).second, QStringLiteral("145500000\n"));
    EXPECT_EQ(caller.send(program, Message::KovoControl, 100, 0), 2);
    for (int i = 0; i < 100 && client.calls == 0; ++i)
        QThread::msleep(20);
    EXPECT_EQ(client.lastCode, 100u);
    EXPECT_EQ(client.lastValue, 145'500'000u);
    QThread::msleep(200);
    EXPECT_EQ(observer.calls, 0) << "sent to the client alone, not to everybody";
}

TEST_F(ProgramTest, KovoctlUsesAnExistingSharedMemoryObjectAsItIs) {
    const char* name = "/MemKovoName";
    const int fd = ::shm_open(name, O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0) << "another program holds " << name;
    ASSERT_EQ(::ftruncate(fd, 4096), 0);
    const char mark = 'M';
    ASSERT_EQ(::pwrite(fd, &mark, 1, 3000), 1);
    startProgram();
    EXPECT_EQ(kovoctl({"names", "banks"}).second.count(QLatin1Char('\n')), 22);
    struct stat st {};
    ASSERT_EQ(::fstat(fd, &st), 0);
    char seen = 0;
    EXPECT_EQ(::pread(fd, &seen, 1, 3000), 1);
    ::close(fd);
    EXPECT_TRUE(QFile::exists(QStringLiteral("/dev/shm/MemKovoName"))) << "not removed either";
    ::shm_unlink(name);
    EXPECT_EQ(st.st_size, 4096);
    EXPECT_EQ(seen, 'M');
}

// The names are known to every user of the machine: an object someone else
// planted under one, open to all, is neither read nor written by kovoctl or
// the program, and the program says so once and goes on.
TEST_F(ProgramTest, ASharedMemoryObjectAnotherUserCouldReachIsNotUsed) {
    const char* name = "/MemKovoControl";
    ::shm_unlink(name);
    const int fd = ::shm_open(name, O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 2048), 0);
    ASSERT_EQ(::pwrite(fd, "planted", 7, 0), 7);
    ASSERT_EQ(::fchmod(fd, 0666), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::fchown(fd, 65534, 65534), 0); // nobody's
    }
    startProgram();
    QProcess get;
    get.setProcessEnvironment(env_);
    get.start(QStringLiteral(KOVOCTL_PROGRAM), {"get", "frequency"});
    ASSERT_TRUE(get.waitForFinished(20000));
    EXPECT_EQ(get.exitCode(), 1);
    EXPECT_TRUE(get.readAllStandardOutput().isEmpty());
    const QString refusal = QString::fromUtf8(get.readAllStandardError());
    EXPECT_TRUE(refusal.contains(QStringLiteral("/dev/shm/MemKovoControl")))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("not used"))) << refusal.toStdString();

    using namespace kovo::ipc;
    test::PeerWindow callerWindow(QStringLiteral("caller"));
    WindowBus& caller = callerWindow.bus();
    const WindowHandle program = programWindow(caller);
    ASSERT_NE(program, kNoWindow);
    EXPECT_EQ(caller.send(program, Message::KovoControl, 150, 0), 0) << "the state block";
    EXPECT_EQ(caller.send(program, Message::KovoControl, 115, 0), 0) << "the link-set names";
    char seen[8] = {};
    EXPECT_EQ(::pread(fd, seen, 7, 0), 7);
    ::close(fd);
    ::shm_unlink(name);
    EXPECT_STREQ(seen, "planted");
    program_.terminate();
    program_.waitForFinished(5000);
    const QString said = QString::fromUtf8(program_.readAllStandardError());
    EXPECT_EQ(said.count(QStringLiteral("/dev/shm/MemKovoControl")), 1) << said.toStdString();
}

// The settings name a Hamlib radio; the demo drives its own simulator all
// the same, and the channels it stops on carry the simulator's signals.
TEST_F(ProgramTest, TheDemoShowsSignalsWhateverReceiverTheSettingsName) {
    QDir().mkpath(home_.filePath(QStringLiteral("config/Fennelworks")));
    QFile ini(home_.filePath(QStringLiteral("config/Fennelworks/KOVO3000.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Hardware%20Setting]\nUseHamlib=1\nHamlibModel=1\n");
    ini.close();
    start(program_, KOVO_PROGRAM, {QStringLiteral("--demo")});
    QString seen;
    for (int i = 0; i < 300 && !seen.contains(QStringLiteral("level")); ++i) {
        program_.waitForReadyRead(100);
        seen += QString::fromUtf8(program_.readAllStandardOutput());
    }
    const QRegularExpressionMatch stop =
        QRegularExpression(QStringLiteral("stop +\\d+\\.\\d{6} MHz .* level +(\\d+)")).match(seen);
    ASSERT_TRUE(stop.hasMatch()) << seen.toStdString();
    EXPECT_GT(stop.captured(1).toInt(), 0) << seen.toStdString();
}

TEST_F(ProgramTest, TheRecorderStandInLinksWithOneProgramOnly) {
    // Both programs have said hello (status and recorder greetings) before
    // the stand-in starts.
    kovo::ipc::test::PeerWindow watcher(QStringLiteral("watcher"));
    // The second names a document of its own: a plain second start would
    // hand over, and a missing one would be reported in a box first.
    const QString csv = home_.filePath(QStringLiteral("second.csv"));
    QFile list(csv);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Frequency\n145.500000\n");
    list.close();
    const QString second = home_.filePath(QStringLiteral("second.kv5"));
    ASSERT_EQ(kovoctl({"import", csv, second}).first, 0);
    // The first is up before the second starts: a plain start that found the
    // second already there would hand over to it and end.
    startProgram();
    start(second_, KOVO_PROGRAM, {second});
    for (int i = 0; i < 200 && watcher.calls < 4; ++i)
        QThread::msleep(50);
    ASSERT_EQ(watcher.calls, 4);
    start(stub_, RECORDER_STUB_PROGRAM);
    QString seen = waitForLine(stub_, QStringLiteral("BROMControl 1 "));
    for (int i = 0; i < 10; ++i) {
        stub_.waitForReadyRead(50);
        seen += QString::fromUtf8(stub_.readAllStandardOutput());
    }
    EXPECT_EQ(seen.count(QStringLiteral("BROMControl 1 ")), 1) << seen.toStdString();
}

TEST_F(ProgramTest, ASecondPlainStartHandsOverToTheRunningProgramAndEnds) {
    startProgram();
    start(second_, KOVO_PROGRAM);
    ASSERT_TRUE(second_.waitForFinished(10000));
    EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second_.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(second_.readAllStandardError())
                    .contains(QStringLiteral("already running")));
    EXPECT_EQ(program_.state(), QProcess::Running);
    EXPECT_EQ(kovoctl({"tune", "145.5"}).first, 0) << "the first still answers";
}

// Missing or damaged, the file named is reported and the program runs on
// with a new document.
TEST_F(ProgramTest, AFileOnTheCommandLineThatCannotBeReadLeavesTheProgramRunning) {
    const QString damaged = home_.filePath(QStringLiteral("bad.kv5"));
    QFile bad(damaged);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\x42\xC7\x00\x00\x01\x00", 6);
    bad.close();
    const std::pair<QString, QString> cases[] = {
        {damaged, QStringLiteral("past its")},
        {home_.filePath(QStringLiteral("missing.kv5")), QStringLiteral("was not found")},
    };
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file.toStdString());
        startProgram({file});
        EXPECT_EQ(program_.state(), QProcess::Running);
        EXPECT_EQ(kovoctl({"get", "frequency"}).first, 0);
        program_.terminate();
        ASSERT_TRUE(program_.waitForFinished(10000));
        EXPECT_TRUE(QString::fromLocal8Bit(program_.readAllStandardError()).contains(message));
    }
}

TEST_F(ProgramTest, AShutDownDemoSavesNothingAndLeavesTheRecentFilesAlone) {
    noLastDocument();
    const QString ini = home_.filePath(QStringLiteral("config/Fennelworks/KOVO3000.ini"));
    startProgram({QStringLiteral("--demo")});
    // The demo channels are in once the link set has its name.
    for (int i = 0; i < 200 && !kovoctl({"names", "linksets"}).second.startsWith("Demo"); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(kovoctl({"names", "linksets"}).second.startsWith("Demo"));
    // A stop logs a hit: the scan, not the user, changed the document.
    QString stops;
    for (int i = 0; i < 3 && !stops.contains(QStringLiteral("stop ")); ++i)
        stops += waitForLine(program_, QStringLiteral("stop "));
    ASSERT_TRUE(stops.contains(QStringLiteral("stop ")));
    EXPECT_EQ(kovoctl({"shutdown"}).first, 0);
    ASSERT_TRUE(program_.waitForFinished(10000));
    QDirIterator documents(home_.path(), {QStringLiteral("*.kv5")}, QDir::Files,
                           QDirIterator::Subdirectories);
    EXPECT_FALSE(documents.hasNext()) << documents.next().toStdString();
    QFile settings(ini);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray stored = settings.readAll();
    EXPECT_TRUE(stored.contains("File1=/nonexistent/elsewhere.kv5")) << stored.toStdString();
    EXPECT_FALSE(stored.contains("File2")) << stored.toStdString();
}

// kovoctl does not write a document the program has open.
TEST_F(ProgramTest, KovoctlLeavesADocumentTheProgramHoldsAlone) {
    const QString document = home_.filePath(QStringLiteral("held.kv5"));
    const QString csv = home_.filePath(QStringLiteral("list.csv"));
    QFile list(csv);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Frequency,Name\n145.500000,calling\n");
    list.close();
    ASSERT_EQ(kovoctl({"import", csv, document}).first, 0);
    QFile before(document);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();

    startProgram({document});
    ASSERT_TRUE(QFile::exists(home_.filePath(QStringLiteral(".held.kv5.lock"))));
    EXPECT_EQ(kovoctl({"import", csv, document, "--bank", "3"}).first, 1);
    QFile after(document);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
