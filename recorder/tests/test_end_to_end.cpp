// The recorder next to the program scanning the simulator, on a private
// sound server (a 440 Hz tone as the input) and a private session bus.
#include "fakes/IsolatedHome.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "history/HistoryDatabase.h"

#include "SoundFile.h"
#include "data/Cp932.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "ipc/PeerLinks.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kovo::recorder::readRecording;

// Three channels of the simulator's 2 m band, logging on, in memory scan.
constexpr const char* kDocument = R"({"controlParams": {"p08": 0, "p80": 1},
 "memoryBanks": [{"linkFlags": [0]}, {"linkFlags": [1], "name": "2m"}],
 "channels": [
  {"frequency": 145500000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "Repeater"},
  {"frequency": 145600000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "Calling"},
  {"frequency": 433500000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "70cm"}]})";

const std::map<std::string, std::string> kComments = {
    {"145.500000 MHz", "Repeater"}, {"145.600000 MHz", "Calling"}, {"433.500000 MHz", "70cm"}};

struct Event {
    qint64 ms;
    QString what;
};

class RecorderEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        env_ = kovo::test::isolatedEnvironment(home_);
        folder_ = home_.filePath(QStringLiteral("recordings")).toStdString();
        QFile json(home_.filePath(QStringLiteral("doc.json")));
        ASSERT_TRUE(json.open(QIODevice::WriteOnly));
        json.write(kDocument);
        json.close();
        document_ = home_.filePath(QStringLiteral("scan.kv5"));
        ASSERT_EQ(run(KOVOCTL_PROGRAM, {QStringLiteral("pack"), json.fileName(), document_}), 0);
    }
    void TearDown() override {
        for (QProcess* p : {&program_, &recorder_, &simulator_}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                p->waitForFinished(5000);
            }
        }
    }
    int run(const char* path, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(QString::fromLatin1(path), args);
        p.waitForFinished(20000);
        return p.exitCode();
    }
    void startRecorder() {
        recorderOut_.clear();
        recorder_.setProcessEnvironment(env_);
        recorder_.start(QStringLiteral(RECORDER_PROGRAM),
                        {QStringLiteral("--no-window"), QStringLiteral("--folder"),
                         QString::fromStdString(folder_.string())});
        ASSERT_TRUE(recorder_.waitForStarted());
        ASSERT_TRUE(waitFor(QStringLiteral(" ready ")));
        // Recording starts with the first link; the sound server must be delivering by then.
        ASSERT_TRUE(waitFor(QStringLiteral(" audio on")));
    }
    // The program scanning the demo's receiver, or (with no options) the
    // receiver its settings name.
    void startProgram(QStringList options = {QStringLiteral("--demo")}) {
        program_.setProcessEnvironment(env_);
        program_.start(QStringLiteral(KOVO_PROGRAM), options << document_);
        ASSERT_TRUE(program_.waitForStarted());
        for (int i = 0;
             i < 100 && run(KOVOCTL_PROGRAM, {QStringLiteral("send"), QStringLiteral("10"),
                                              QStringLiteral("0")}) != 0;
             ++i)
            QThread::msleep(50);
        // Once more after the document has loaded, which restores its own mode.
        QThread::msleep(1500);
        run(KOVOCTL_PROGRAM, {QStringLiteral("send"), QStringLiteral("10"), QStringLiteral("0")});
    }
    // Reads the recorder's output until `text` has appeared after `from` (or time is up).
    bool waitFor(const QString& text, int ms = 10000, qsizetype from = 0) {
        for (int waited = 0; waited < ms; waited += 50) {
            recorder_.waitForReadyRead(50);
            recorderOut_ += QString::fromUtf8(recorder_.readAllStandardOutput());
            if (recorderOut_.indexOf(text, from) >= 0)
                return true;
        }
        return false;
    }
    void keepReading(int ms) { waitFor(QStringLiteral("\x01"), ms); }
    // The file the recorder is writing: the last one it opened and has not
    // closed or discarded since.
    QString fileBeingWritten() const {
        QString current;
        for (const Event& e : events()) {
            if (e.what.startsWith(QLatin1String("recording ")))
                current = e.what.mid(10);
            else if (!current.isEmpty() &&
                     (e.what == QLatin1String("closed ") + current ||
                      e.what.startsWith(QLatin1String("discarded ") + current)))
                current.clear();
        }
        return current;
    }
    // Reads the recorder's output until the file it is writing plays for at
    // least `seconds` as it stands on disk; that file's name, or empty when
    // none got there in time. A stop the scan restarts closes its file early,
    // so the wait follows whichever file is open.
    QString waitForFileHolding(double seconds, int ms) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms) {
            keepReading(100);
            const QString name = fileBeingWritten();
            if (name.isEmpty())
                continue;
            const auto contents = readRecording(folder_ / name.toStdString());
            if (contents && contents->sampleRate > 0 &&
                double(contents->samples.size()) / contents->sampleRate >= seconds)
                return name;
        }
        return {};
    }
    std::vector<Event> events() const {
        std::vector<Event> out;
        static const QRegularExpression line(QStringLiteral("^(\\d+) (.*)$"),
                                             QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(recorderOut_); it.hasNext();) {
            const auto m = it.next();
            out.push_back({m.captured(1).toLongLong(), m.captured(2)});
        }
        return out;
    }

    QTemporaryDir home_;
    QProcessEnvironment env_;
    fs::path folder_;
    QString document_;
    // The simulator's Hamlib face on a free port, with `plan`; its address.
    QString startRigctlFace(const QByteArray& plan) {
        QFile file(home_.filePath(QStringLiteral("plan.txt")));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(plan);
        file.close();
        simulator_.start(QStringLiteral(RECEIVER_SIM_PROGRAM),
                         {QStringLiteral("--rigctl"), QStringLiteral("0"), QStringLiteral("--plan"),
                          file.fileName()});
        if (!simulator_.waitForReadyRead(5000))
            return {};
        return QString::fromLatin1(simulator_.readLine().trimmed());
    }
    // Settings that drive the radio at `address` through Hamlib's network client.
    void useHamlibRadioAt(const QString& address) {
        QSettings ini(home_.filePath(QStringLiteral("config/Fennelworks/KOVO3000.ini")),
                      QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Hardware Setting"));
        ini.setValue(QStringLiteral("UseHamlib"), 1);
        ini.setValue(QStringLiteral("HamlibModel"), 2);
        ini.setValue(QStringLiteral("HamlibPort"), address);
        ini.setValue(QStringLiteral("HamlibSettle"), 0);
        ini.endGroup();
    }

    QProcess program_, recorder_, simulator_;
    QString recorderOut_;
};

// Whether every 10 ms of the audio holds the 440 Hz tone.
void expectToneThroughout(const std::vector<float>& samples, int rate, const std::string& name) {
    const std::size_t window = std::size_t(rate / 100);
    int silent = 0;
    for (std::size_t at = 0; at + window <= samples.size(); at += window) {
        double energy = 0;
        for (std::size_t i = at; i < at + window; ++i)
            energy += double(samples[i]) * double(samples[i]);
        if (std::sqrt(energy / double(window)) < 0.05)
            ++silent;
    }
    EXPECT_EQ(silent, 0) << name << ": 10 ms windows without the tone";
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    const double hz = crossings / 2.0 / (double(samples.size()) / rate);
    EXPECT_NEAR(hz, 440.0, 20.0) << name;
}

// Whether a hit of the program's history names `path` as its recording,
// within the five seconds a closed file may take to be named there.
bool historyNamesWithin(const std::string& store, const std::string& path) {
    QElapsedTimer waited;
    waited.start();
    do {
        kovo::history::StoreError error;
        if (auto db = kovo::history::HistoryDatabase::open(store, error)) {
            kovo::history::Statement q =
                db->prepare("SELECT count(*) FROM hits WHERE recording = ?1");
            q.bind(1, std::string_view(path));
            if (q.step() == SQLITE_ROW && q.integer(0) == 1)
                return true;
        }
        QThread::msleep(100);
    } while (waited.elapsed() < 5000);
    return false;
}

TEST_F(RecorderEndToEnd, OneTaggedFilePerLoggedStopHoldingTheToneOnlyWhileTheSquelchWasOpen) {
    const auto historyNames = [this](const std::string& path) {
        return historyNamesWithin(
            home_.filePath(QStringLiteral("data/Fennelworks/KOVO3000/history.sqlite"))
                .toStdString(),
            path);
    };
    startRecorder();
    startProgram();
    ASSERT_TRUE(waitFor(QStringLiteral("linked")));
    keepReading(14000);
    program_.terminate();
    ASSERT_TRUE(program_.waitForFinished(5000));
    ASSERT_TRUE(waitFor(QStringLiteral("unlinked")));
    keepReading(300);

    // Open squelch per file, from the recorder's own event times.
    std::map<QString, double> openSeconds;
    std::map<QString, int> openings;
    QString current;
    qint64 since = -1; // the squelch has been open for the current file since
    auto endInterval = [&](qint64 ms) {
        if (!current.isEmpty() && since >= 0)
            openSeconds[current] += double(ms - since) / 1000.0;
        since = -1;
    };
    for (const Event& e : events()) {
        if (e.what.startsWith(QLatin1String("recording "))) {
            endInterval(e.ms);
            current = e.what.mid(10);
            openSeconds[current] += 0;
            openings[current] += 1;
            since = e.ms; // an entry always begins on a signal
        } else if (e.what == QLatin1String("squelch open") && !current.isEmpty() && since < 0) {
            since = e.ms;
            openings[current] += 1;
        } else if (e.what == QLatin1String("squelch closed")) {
            endInterval(e.ms);
        } else if (e.what == QLatin1String("closed ") + current ||
                   e.what == QLatin1String("unlinked") ||
                   e.what == QLatin1String("discarded ") + current + QLatin1String(": no audio")) {
            endInterval(e.ms);
            current.clear();
        }
    }
    const QString stops = QString::fromUtf8(program_.readAllStandardOutput());
    const int stopCount = int(stops.count(QLatin1String("stop ")));
    ASSERT_GE(stopCount, 2) << stops.toStdString();
    // One file per entry the program handed over; every stop should be one.
    EXPECT_GE(int(openSeconds.size()), 2) << recorderOut_.toStdString();
    // (the mode set twice at start may restart the first stop as a second entry)
    EXPECT_LE(int(openSeconds.size()), stopCount + 1) << recorderOut_.toStdString();
    if (int(openSeconds.size()) != stopCount)
        std::fprintf(stderr, "note: %d stops, %d entries handed to the recorder\n%s\n", stopCount,
                     int(openSeconds.size()), stops.toUtf8().constData());

    for (const auto& [name, seconds] : openSeconds) {
        if (recorderOut_.contains(QStringLiteral("discarded ") + name)) {
            // Only an entry that was over before any audio came leaves no file.
            EXPECT_LT(seconds, 0.05) << name.toStdString();
            EXPECT_FALSE(fs::exists(folder_ / name.toStdString()));
            continue;
        }
        const auto contents = readRecording(folder_ / name.toStdString());
        ASSERT_TRUE(contents) << name.toStdString();
        EXPECT_EQ(kComments.at(contents->title), contents->comment) << name.toStdString();
        EXPECT_EQ(contents->date.substr(0, 4), name.left(4).toStdString());
        const double length = double(contents->samples.size()) / contents->sampleRate;
        // Open time plus at most the 300 ms pre-roll per opening; the event times are
        // taken after each call returns, so they may run a little late.
        EXPECT_GE(length, seconds - 0.25 * openings[name]) << name.toStdString();
        EXPECT_LE(length, seconds + 0.3 * openings[name] + 0.1) << name.toStdString();
        expectToneThroughout(contents->samples, contents->sampleRate, name.toStdString());
        EXPECT_TRUE(historyNames(fs::absolute(folder_ / name.toStdString()).string()))
            << name.toStdString() << " is not the recording of a hit in the history";
    }
}

// A radio driven through Hamlib (the simulator's Hamlib face) is handed to
// the recorder as a serial receiver is: one file per stop on the busy
// channel, opened when the scan stops and closed once it moves on, and the
// stop's history row names the frequency, the mode heard, its strength and
// that file.
TEST_F(RecorderEndToEnd, AStopOnAHamlibRadioIsRecordedAndKeptInTheHistory) {
    const QString address = startRigctlFace("145.500000 NFM 12 on=2500 off=3500\n");
    ASSERT_FALSE(address.isEmpty()) << simulator_.readAllStandardError().constData();
    useHamlibRadioAt(address);
    startRecorder();
    startProgram({});
    ASSERT_TRUE(waitFor(QStringLiteral("recording "), 20000)) << recorderOut_.toStdString();
    const QString name =
        recorderOut_.section(QStringLiteral("recording "), -1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_TRUE(name.contains(QStringLiteral("145.500000MHz"))) << name.toStdString();
    EXPECT_TRUE(waitFor(QStringLiteral("closed ") + name, 15000)) << recorderOut_.toStdString();
    // Outside the demo a quit offers the changed document for saving first;
    // the history is written while the scan runs.
    program_.kill();
    ASSERT_TRUE(program_.waitForFinished(5000));

    const std::string path = fs::absolute(folder_ / name.toStdString()).string();
    const std::string store =
        home_.filePath(QStringLiteral("data/Fennelworks/KOVO3000/history.sqlite")).toStdString();
    ASSERT_TRUE(historyNamesWithin(store, path)) << recorderOut_.toStdString();
    kovo::history::StoreError error;
    auto db = kovo::history::HistoryDatabase::open(store, error);
    ASSERT_TRUE(db) << error.message;
    kovo::history::Statement row =
        db->prepare("SELECT frequency_hz, mode, max_signal FROM hits WHERE recording = ?1");
    row.bind(1, std::string_view(path));
    ASSERT_EQ(row.step(), SQLITE_ROW);
    EXPECT_EQ(row.integer(0), 145500000);
    EXPECT_EQ(row.text(1), "NFM");
    EXPECT_EQ(row.integer(2), 12);
}

TEST_F(RecorderEndToEnd, PlaysBackAnEntryWithARecordingAndRefusesOneWithout) {
    startRecorder();
    // The program's side: the record in the shared memory, then code 12.
    kovo::ipc::WindowBus program(
        QDBusConnection::sessionBus(), {kovo::ipc::Message::BromAnswer},
        [](kovo::ipc::Message, std::uint32_t, std::uint32_t) { return 1; },
        [] { return QStringLiteral("KOVO3000"); });
    program.setServeWhileWaiting(true);
    ASSERT_TRUE(program.open());
    const auto recorderWindow = program.findWindow(QStringLiteral("KOVO Recorder"));
    ASSERT_TRUE(recorderWindow);
    kovo::ipc::PosixSharedMemory memory;
    kovo::ipc::PeerLinks links(program, memory);
    links.recorder = *recorderWindow;

    // A logged stop of two seconds makes the recording.
    links.squelchChanged(true);
    links.handToRecorder(145500000, 1704096000, kovo::utf8ToCp932("東京 Tower"));
    QThread::msleep(2000);
    links.squelchChanged(false);
    links.recordOver();
    ASSERT_TRUE(waitFor(QStringLiteral("closed 20240101-080000Z_145.500000MHz.flac")))
        << recorderOut_.toStdString();

    struct Case {
        std::uint32_t frequency;
        std::int32_t time;
        bool hasAudio;
    };
    for (const Case& c : {Case{145500000, 1704096000, true}, Case{145500000, 1704096001, false},
                          Case{145512500, 1704096000, false}}) {
        const qsizetype from = recorderOut_.size();
        std::optional<bool> hadAudio;
        links.startPlayback(c.frequency, c.time, " ", [&hadAudio](bool has) { hadAudio = has; });
        for (int i = 0; i < 300 && !hadAudio; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(10);
        }
        EXPECT_EQ(hadAudio, std::optional<bool>(c.hasAudio)) << c.time;
        EXPECT_TRUE(waitFor(c.hasAudio
                                ? QStringLiteral("playing 20240101-080000Z_145.500000MHz.flac")
                                : QStringLiteral("no recording"),
                            3000, from));
        links.stopPlayback();
    }
    const auto contents = readRecording(folder_ / "20240101-080000Z_145.500000MHz.flac");
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->comment, "東京 Tower");
    EXPECT_EQ(contents->title, "145.500000 MHz");
    EXPECT_EQ(contents->date, "2024-01-01T08:00:00Z");
}

TEST_F(RecorderEndToEnd, OnlyTheLinkedProgramsGoodbyeEndsTheLink) {
    startRecorder();
    // Two programs' windows; the recorder links with the one that says hello.
    auto window = [](const char* connection) {
        return std::make_unique<kovo::ipc::WindowBus>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QString::fromLatin1(connection)),
            QList<kovo::ipc::Message>{kovo::ipc::Message::BromAnswer},
            [](kovo::ipc::Message, std::uint32_t, std::uint32_t) { return 1; },
            [] { return QStringLiteral("KOVO3000"); });
    };
    auto linked = window("linked");
    auto other = window("other");
    linked->setServeWhileWaiting(true);
    ASSERT_TRUE(linked->open());
    ASSERT_TRUE(other->open());
    const auto recorderWindow = linked->findWindow(QStringLiteral("KOVO Recorder"));
    ASSERT_TRUE(recorderWindow);
    using kovo::ipc::Message;
    EXPECT_EQ(linked->send(*recorderWindow, Message::BromControl, 0, linked->ownWindow()), 1);
    // The recorder answers the hello with a call of its own, served here.
    bool isLinked = false;
    for (int i = 0; i < 100 && !isLinked; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        isLinked = waitFor(QStringLiteral(" linked"), 50);
    }
    ASSERT_TRUE(isLinked) << recorderOut_.toStdString();

    // The other program closes and says goodbye to everybody.
    EXPECT_EQ(other->send(*recorderWindow, Message::BromControl, 3, 0), 1);
    EXPECT_FALSE(waitFor(QStringLiteral("unlinked"), 500)) << recorderOut_.toStdString();
    EXPECT_EQ(linked->send(*recorderWindow, Message::BromControl, 3, 0), 1);
    EXPECT_TRUE(waitFor(QStringLiteral("unlinked")));
}

TEST_F(RecorderEndToEnd, ARecordMemoryThatWasThereStaysWhenTheRecorderEnds) {
    ::shm_unlink("/MemBromControl"); // what a killed recorder left behind
    const int fd = ::shm_open("/MemBromControl", O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 4096), 0);
    ::close(fd);
    startRecorder();
    recorder_.terminate();
    EXPECT_TRUE(recorder_.waitForFinished(5000));
    struct stat st {};
    const bool there = ::stat("/dev/shm/MemBromControl", &st) == 0;
    ::shm_unlink("/MemBromControl");
    EXPECT_TRUE(there);
    EXPECT_EQ(st.st_size, 4096) << "used as it was";
}

TEST_F(RecorderEndToEnd, EitherSideRestartsMidScanAndACrashLeavesAPlayableFile) {
    startRecorder();
    startProgram();
    ASSERT_TRUE(waitFor(QStringLiteral("recording "), 15000));

    // The recorder is killed while it writes: the file plays up to its last second.
    const QString name = waitForFileHolding(1.0, 20000);
    ASSERT_FALSE(name.isEmpty()) << recorderOut_.toStdString();
    ::kill(pid_t(recorder_.processId()), SIGKILL);
    recorder_.waitForFinished(5000);
    const auto crashed = readRecording(folder_ / name.toStdString());
    ASSERT_TRUE(crashed) << name.toStdString();
    EXPECT_GE(double(crashed->samples.size()) / crashed->sampleRate, 1.0) << name.toStdString();

    // A new recorder links up with the running program and records the next stops.
    startRecorder();
    EXPECT_TRUE(waitFor(QStringLiteral("linked")));
    EXPECT_TRUE(waitFor(QStringLiteral("closed "), 20000)) << recorderOut_.toStdString();

    // The program goes and comes back: the link follows it.
    program_.terminate();
    ASSERT_TRUE(program_.waitForFinished(5000));
    EXPECT_TRUE(waitFor(QStringLiteral("unlinked")));
    const qsizetype before = recorderOut_.size();
    startProgram();
    EXPECT_TRUE(waitFor(QStringLiteral("linked"), 10000, before)) << recorderOut_.toStdString();
    EXPECT_TRUE(waitFor(QStringLiteral("recording "), 20000, before)) << recorderOut_.toStdString();

    // Quitting ends the link on the program's side too.
    recorder_.terminate();
    EXPECT_TRUE(recorder_.waitForFinished(5000));
    EXPECT_EQ(recorder_.exitCode(), 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
