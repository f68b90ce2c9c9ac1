#include "EnglishTexts.h"
#include "app/AppSettingsLoader.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QSettingsStore.h"
#include "app/RigctlService.h"
#include "app/SplashScreen.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "link/TimerIds.h"
#include "test_shell_fakes.h"
#include "ui/CKovo5View.h"
#include "ui/DisplayPanel.h"
#include "ui/DisplayPresenter.h"
#include "ui/PanelEdit.h"
#include "ui/PanelStack.h"
#include "ui/SignalMeter.h"
#include "ui/database/DatabasePanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace kovo {
namespace {

using test::FakeCommPort;
using test::FakeTimerService;
using test::ScriptedDialogs;
using test::ScriptedNotifier;

// Records what other programs hear of the frame, and can claim the VFO peer.
class RecordingPeers final : public PeerPresence {
public:
    void follow(Program& program) {
        programNews = program.notices().subscribe([this](const ProgramNotice& n) {
            static const char* const kNames[] = {"announce", "view ready", "window closing"};
            calls.push_back(kNames[int(n.event)]);
        });
        linkNews = program.core().linkNotices().subscribe([this](const LinkNotice& n) {
            if (n.kind == LinkNotice::Kind::SquelchChanged)
                calls.push_back(n.squelchOpen ? "squelch open" : "squelch shut");
        });
    }
    bool vfoPeerPresent() override { return vfoPeer; }
    std::vector<std::string> calls;
    bool vfoPeer = false;
    Subscription programNews, linkNews;
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest() : store_(dir_.filePath("KOVO3000.ini")) {}

    // A document file that can be told apart by the name of link set 0.
    QString writeDocument(const QString& path, const std::string& mark) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        CKovo5Doc doc(settings_, clock_);
        doc.linkSetNames[0] = mark;
        EXPECT_TRUE(doc.saveDocument(path.toStdString()).ok);
        return path;
    }
    bool portWasOpened() const {
        return std::find(port_->calls.begin(), port_->calls.end(), "PortOpen=1") !=
               port_->calls.end();
    }

    // Builds the program as main does, with every outside seam faked.
    Program& makeProgram(QString startupFile = {}, bool splash = false) {
        settings_ = loadAppSettings(store_);
        ShellOptions options;
        options.startupFile = std::move(startupFile);
        options.showSplash = splash;
        options.dataDirectory = dataDir();
        options.rigctlPort = rigctlPort_;
        ProgramSeams seams;
        auto port = std::make_unique<FakeCommPort>();
        port_ = port.get();
        // A receiver that answers the probe with its prompt.
        port_->onOutput = [this](const std::string& text) {
            if (text == "\r")
                port_->receive(">");
        };
        seams.port = std::move(port);
        auto timers = std::make_unique<FakeTimerService>(clock_);
        timers_ = timers.get();
        seams.timers = std::move(timers);
        seams.makeSplashTimers = [this] {
            auto t = std::make_unique<FakeTimerService>(clock_);
            splashTimers_ = t.get();
            return t;
        };
        auto windowTimers = std::make_unique<FakeTimerService>(clock_);
        windowTimers_ = windowTimers.get();
        seams.windowTimers = std::move(windowTimers);
        seams.notifier = &notifier_;
        seams.dialogs = &dialogs_;
        seams.peers = &external_;
        program_ = std::make_unique<Program>(settings_, store_, document_, clock_, options,
                                             std::move(seams));
        external_.follow(*program_);
        return *program_;
    }

    QString dataDir() const { return dir_.filePath("data"); }
    // The menu entry that sends `command`, as the menus show it now.
    QAction* action(int command) const {
        return findIn(program_->window().menuBar()->actions(), command);
    }
    static QAction* findIn(const QList<QAction*>& actions, int command) {
        for (QAction* a : actions) {
            if (a->menu()) {
                if (QAction* inner = findIn(a->menu()->actions(), command))
                    return inner;
            } else if (a->data().toInt() == command) {
                return a;
            }
        }
        return nullptr;
    }

    QTemporaryDir dir_;
    QSettingsStore store_;
    AppSettings settings_;
    ManualClock clock_{1'000'000'300};
    CKovo5Doc document_{settings_, clock_};
    ScriptedNotifier notifier_;
    ScriptedDialogs dialogs_;
    RecordingPeers external_;
    FakeCommPort* port_ = nullptr;
    FakeTimerService* timers_ = nullptr;
    FakeTimerService* splashTimers_ = nullptr;
    FakeTimerService* windowTimers_ = nullptr;
    std::optional<int> rigctlPort_;
    std::unique_ptr<Program> program_;
};

TEST_F(FrameTest, MainMenuCarriesTheProgramsTextsCommandsAndKeys) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    QStringList titles;
    for (QAction* menu : w.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "Configuration&s", "&View", "&Help "}));

    const std::vector<std::tuple<int, QString, QKeySequence>> expected{
        {MainWindow::CommandNew, "&New \tCtrl+N", QKeySequence("Ctrl+N")},
        {MainWindow::CommandOpen, "&Open...\tCtrl+O", QKeySequence("Ctrl+O")},
        {MainWindow::CommandSave, "&Save\tCtrl+S", QKeySequence("Ctrl+S")},
        {MainWindow::CommandSaveAs, "S&ave as...", QKeySequence()},
        {MainWindow::CommandExportMemory, "Memory data", QKeySequence()},
        {MainWindow::CommandExportLog, "Log data", QKeySequence()},
        {MainWindow::CommandImportChannels, "&Import channels…", QKeySequence()},
        {MainWindow::CommandExportChirp, "Channels for CHIRP (CSV)…", QKeySequence()},
        {MainWindow::CommandExit, "&Exit", QKeySequence()},
        {MainWindow::CommandComPort, "COM &port", QKeySequence()},
        {MainWindow::CommandDisplayPreference, "Display Preference(&T)", QKeySequence()},
        {MainWindow::CommandSubStep, "&Sub-Step size", QKeySequence()},
        {MainWindow::CommandCwPitch, "CW Pitch", QKeySequence()},
        {MainWindow::CommandDefaultBandWidth, "Default Band Width", QKeySequence()},
        {MainWindow::CommandAfGainRange, "AF Gain Range", QKeySequence()},
        {MainWindow::CommandPowerControl, "Power Control", QKeySequence()},
        {MainWindow::CommandOptions, "Options", QKeySequence()},
        {MainWindow::CommandHistory, "&History\tCtrl+H", QKeySequence("Ctrl+H")},
        {MainWindow::CommandHelpContents, "Contents", QKeySequence()},
        {MainWindow::CommandAbout, "О программе...", QKeySequence()},
    };
    for (const auto& [command, text, keys] : expected) {
        QAction* a = action(command);
        ASSERT_NE(a, nullptr) << command;
        EXPECT_EQ(a->text(), text) << command;
        EXPECT_EQ(a->shortcut(), keys) << command;
    }
    // The export submenu only shows Ctrl+T; no key is bound to it.
    bool found = false;
    for (QMenu* menu : w.findChildren<QMenu*>())
        if (menu->title() == "Expor&t text \tCtrl+T")
            found = menu->menuAction()->shortcut().isEmpty();
    EXPECT_TRUE(found);
}

// The menu paths the menus really have, as "File ▸ Export text ▸ Log data":
// without the key letter marks and the key hints after a tab.
void collectMenuPaths(const QList<QAction*>& actions, const QString& prefix, QSet<QString>& out) {
    for (QAction* a : actions) {
        QString text = a->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
        const QString path = prefix + text.trimmed();
        out.insert(path);
        if (a->menu())
            collectMenuPaths(a->menu()->actions(), path + QStringLiteral(" ▸ "), out);
    }
}

TEST_F(FrameTest, TheGuideNamesOnlyMenuEntriesTheMenusHave) {
    Program& p = makeProgram();
    QSet<QString> menus;
    collectMenuPaths(p.window().menuBar()->actions(), QString(), menus);
    ASSERT_TRUE(menus.contains(QStringLiteral("Help ▸ Contents")));
    static const QRegularExpression named(QStringLiteral("<span class=\"menu\">([^<]+)</span>"));
    for (const char* guide : {":/help/guide_en.html", ":/help/guide_ja.html"}) {
        QFile file(QString::fromLatin1(guide));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << guide;
        const QString html = QString::fromUtf8(file.readAll());
        int count = 0;
        for (auto it = named.globalMatch(html); it.hasNext(); ++count) {
            const QString path = it.next().captured(1).simplified();
            EXPECT_TRUE(menus.contains(path)) << guide << ": " << path.toStdString();
        }
        EXPECT_GE(count, 8) << guide;
    }
}

TEST_F(FrameTest, InEnglishTheWindowPanelsAndMenusLeaveNoOtherLanguageAndNoCaptionCut) {
    for (const char* panel : {"ShowControl1", "ShowControl2", "ShowDataBase"})
        store_.writeInt("Soft Setting", panel, 1);
    ASSERT_TRUE(installEnglish(*QCoreApplication::instance()));
    Program& p = makeProgram();
    MainWindow& w = p.window();
    w.show();
    // Every view of the database panel, the statistics last.
    QStringList problems;
    for (int view = 0; view < 8; ++view) {
        p.view().databasePanel().showView(view);
        QCoreApplication::processEvents();
        for (const QString& problem : test::problemsOf(&w, true))
            problems << QStringLiteral("view %1: %2").arg(view).arg(problem);
    }
    removeEnglish(*QCoreApplication::instance());
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    EXPECT_NE(action(MainWindow::CommandAbout)->text(), "О программе...");
}

TEST_F(FrameTest, LanguageSubmenuChecksTheStoredChoiceAndStoresANewOneForTheNextStart) {
    store_.writeString("Soft Setting", "Language", "ja");
    Program& p = makeProgram();
    MainWindow& w = p.window();
    QMenu* language = nullptr;
    for (QMenu* menu : w.findChildren<QMenu*>())
        if (menu->title() == "Language")
            language = menu;
    ASSERT_NE(language, nullptr);
    const auto checkedTexts = [language] {
        QStringList texts, checked;
        for (QAction* a : language->actions()) {
            texts << a->text();
            if (a->isChecked())
                checked << a->text();
        }
        return std::make_pair(texts, checked);
    };
    EXPECT_EQ(checkedTexts().first, (QStringList{"System", "日本語", "English"}));
    EXPECT_EQ(checkedTexts().second, QStringList{"日本語"});

    struct Step {
        int command;
        const char* stored;
        const char* checked;
        std::size_t messages; // the user is told once per change
    };
    const Step steps[] = {
        {MainWindow::CommandLanguageEnglish, "en", "English", 1},
        {MainWindow::CommandLanguageEnglish, "en", "English", 1},
        {MainWindow::CommandLanguageSystem, "System", "System", 2},
    };
    for (const Step& step : steps) {
        action(step.command)->trigger();
        EXPECT_EQ(store_.readString("Soft Setting", "Language"), step.stored);
        EXPECT_EQ(checkedTexts().second, QStringList{step.checked});
        EXPECT_EQ(notifier_.messages.size(), step.messages);
    }
    EXPECT_EQ(notifier_.messages.back(), "The language changes at the next start of the program.");
}

TEST_F(FrameTest, TimerTwelveOpensTheLastFileFromTheDataFolderFiveSecondsAfterStart) {
    QTemporaryDir cwd;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    writeDocument(cwd.filePath("Frequency.kv5"), "working directory");
    const QString expected =
        writeDocument(QDir(dataDir()).filePath("Frequency.kv5"), "data folder");

    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    EXPECT_EQ(document_.linkSetNames[0], "00") << "a new document first";
    EXPECT_EQ(timers_->intervalOf(TimerOpenLastDocument), 5000);

    timers_->advance(4999);
    EXPECT_EQ(document_.linkSetNames[0], "00");
    EXPECT_FALSE(portWasOpened());
    timers_->advance(1);
    EXPECT_EQ(document_.linkSetNames[0], "data folder");
    EXPECT_FALSE(timers_->isTimerActive(TimerOpenLastDocument)) << "fires once";
    EXPECT_EQ(p.documents().path(), expected);
    EXPECT_EQ(w.windowTitle(), "Frequency.kv5 - KOVO3000");
    EXPECT_TRUE(notifier_.messages.empty());

    // Reading the file ends by opening the configured port and probing.
    EXPECT_TRUE(portWasOpened());
    EXPECT_EQ(port_->line.text(), "4800,N,8,2 RTS/CTS");
    EXPECT_EQ(port_->description.text, "/dev/ttyS0");
    timers_->advance(3100);
    EXPECT_TRUE(notifier_.messages.empty()) << "the fake receiver answered the probe";
    EXPECT_FALSE(port_->written.empty());
    QDir::setCurrent(previous);
}

TEST_F(FrameTest, StartAppliesTheStoredModeUnlessAVfoPeerRunsAndTellsOtherPrograms) {
    const QString file = dir_.filePath("scan.kv5");
    {
        CKovo5Doc stored(settings_, clock_);
        stored.controlParams.operatingMode = 2; // 1 MHz scan
        ASSERT_TRUE(stored.saveDocument(file.toStdString()).ok);
    }
    Program& p = makeProgram(file);
    ASSERT_TRUE(p.start());
    EXPECT_EQ(document_.controlParams.operatingMode, 2);
    EXPECT_EQ(external_.calls, (std::vector<std::string>{"announce", "view ready"}));
    EXPECT_FALSE(document_.isModified()) << "a mode applied before timer 12 is no change";

    program_.reset();
    external_.calls.clear();
    external_.vfoPeer = true;
    ASSERT_TRUE(makeProgram(file).start());
    EXPECT_EQ(document_.controlParams.operatingMode, 5);
}

// However a document replaces the one in use, applying its stored operating
// mode is no change that asks to be saved; a mode the user picks afterwards is.
TEST_F(FrameTest, AReplacedDocumentStaysUnmodifiedUntilTheUserChangesIt) {
    const QString file = dir_.filePath("scan.kv5");
    {
        CKovo5Doc stored(settings_, clock_);
        stored.controlParams.operatingMode = 2; // 1 MHz scan
        ASSERT_TRUE(stored.saveDocument(file.toStdString()).ok);
    }
    writeDocument(QDir(dataDir()).filePath("Frequency.kv5"), "last");
    const auto drop = [&](MainWindow& w) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window: the application only passes a drop on
        // to the target of a drag it saw begin.
        static_cast<QObject&>(w).event(&event);
    };
    struct Replacement {
        std::string name;
        std::function<void(MainWindow&)> replace;
        QString title;
    };
    const std::vector<Replacement> replacements{
        {"File New", [](MainWindow& w) { w.runMenuCommand(MainWindow::CommandNew); }, "Untitled"},
        {"File Open",
         [&](MainWindow& w) {
             dialogs_.replies = {file};
             w.runMenuCommand(MainWindow::CommandOpen);
         },
         "scan.kv5"},
        {"recent file",
         [&](MainWindow&) {
             program_->documents().openFile(file);
             document_.setModified(false);
             action(MainWindow::CommandRecentFirst + 1)->trigger();
         },
         "Frequency.kv5"},
        {"dropped file", drop, "scan.kv5"},
    };
    for (const auto& [name, replace, title] : replacements) {
        SCOPED_TRACE(name);
        program_.reset();
        notifier_ = {};
        for (int i = 1; i <= 5; ++i)
            store_.remove("Recent File List", "File" + std::to_string(i));
        Program& p = makeProgram();
        MainWindow& w = p.window();
        ASSERT_TRUE(p.start());
        timers_->advance(5000); // the last document is read; from now on every mode change counts
        ASSERT_EQ(p.documents().title(), "Frequency.kv5");
        replace(w);
        EXPECT_EQ(p.documents().title(), title);
        EXPECT_FALSE(document_.isModified());
        w.runMenuCommand(MainWindow::CommandNew);
        EXPECT_TRUE(notifier_.questions.empty()) << "nothing to save";

        p.core().setOperatingMode(5);
        EXPECT_TRUE(document_.isModified()) << "the user's mode change";
    }
}

TEST_F(FrameTest, AMissingLastFileIsReportedAndTheReceiverIsReachedAnyway) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    timers_->advance(5000);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    const std::string expected =
        QDir(dataDir()).filePath("Frequency.kv5").toStdString() + " was not found.";
    EXPECT_EQ(notifier_.messages[0], expected);
    EXPECT_EQ(w.windowTitle(), "Untitled - KOVO3000");
    EXPECT_TRUE(portWasOpened());
    EXPECT_EQ(port_->description.text, "/dev/ttyS0");
    EXPECT_TRUE(w.isVisible());
}

TEST_F(FrameTest, ABadFileIsReportedAndTheDocumentStaysAsItWas) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    document_.linkSetNames[3] = "kept";
    document_.setModified(true);
    const QString bad = dir_.filePath("bad.kv5");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x42\xC7\x00\x00\x01\x00", 6); // version, then the file ends early
    file.close();

    notifier_.answers = {Notifier::Answer::No};
    EXPECT_FALSE(p.documents().openFile(bad));
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0],
              "An attempt was made to access " + bad.toStdString() + " past its and.");
    EXPECT_EQ(document_.linkSetNames[3], "kept");
    EXPECT_TRUE(document_.isModified());
    EXPECT_EQ(w.windowTitle(), "Untitled - KOVO3000");
    EXPECT_FALSE(portWasOpened()) << "the port was closed before and stays closed";
}

TEST_F(FrameTest, AFileOnTheCommandLineIsReadAtStartAndAFailureStartsANewDocument) {
    const QString file = writeDocument(dir_.filePath("named.kv5"), "named");
    Program& p = makeProgram(file);
    ASSERT_TRUE(p.start());
    EXPECT_EQ(document_.linkSetNames[0], "named");
    EXPECT_EQ(p.documents().recentFiles().value(0), file);
    // Timer 12 then finds the same file first in the list and reads nothing.
    document_.linkSetNames[0] = "changed in memory";
    timers_->advance(5000);
    EXPECT_EQ(document_.linkSetNames[0], "changed in memory");

    // Missing or damaged: said as File Open says it, and the window opens on
    // a new document, which the last document does not replace either.
    const QString damaged = dir_.filePath("damaged.kv5");
    QFile bad(damaged);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\x42\xC7\x00\x00\x01\x00", 6);
    bad.close();
    const struct {
        QString path;
        std::string message;
    } failures[] = {
        {dir_.filePath("absent.kv5"),
         dir_.filePath("absent.kv5").toStdString() + " was not found."},
        {damaged, "An attempt was made to access " + damaged.toStdString() + " past its and."},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.path.toStdString());
        program_.reset();
        notifier_ = {};
        Program& again = makeProgram(f.path);
        EXPECT_FALSE(again.start()) << "the named file was not read";
        EXPECT_EQ(notifier_.messages, std::vector<std::string>{f.message});
        EXPECT_TRUE(again.window().isVisible());
        EXPECT_EQ(again.window().windowTitle(), "Untitled - KOVO3000");
        EXPECT_EQ(document_.linkSetNames[0], "00");
        timers_->advance(5000);
        EXPECT_EQ(again.documents().title(), "Untitled")
            << "not the last document, " << file.toStdString();
        EXPECT_TRUE(portWasOpened()) << "the receiver is reached all the same";
    }
}

TEST_F(FrameTest, TitleStripShownGivesMenuGapAndPanelsAtTheStoredPosition) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    EXPECT_TRUE(w.menuBar()->isVisible());
    EXPECT_FALSE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.stackHeight(), 98) << "display and Control panel 1";
    EXPECT_EQ(w.width(), 555);
    EXPECT_EQ(w.height(), w.titleHeight() + 8 + w.stackHeight());
    EXPECT_EQ(w.panelArea()->y(), w.titleHeight());
    EXPECT_EQ(w.pos(), QPoint(40, 20));
}

TEST_F(FrameTest, WithoutTitleStripTheWindowIsFramelessAndOnlyThePanels) {
    store_.writeInt("Soft Setting", "ShowTitle", 0);
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    EXPECT_FALSE(w.menuBar()->isVisible());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint) << "TopMost 1 without title";
    EXPECT_EQ(w.size(), QSize(555, 98));
    EXPECT_EQ(w.panelArea()->geometry().topLeft(), QPoint(0, 0));

    // A move by the window system (a drag handed to it) is stored as well.
    w.move(300, 200);
    QCoreApplication::processEvents();
    windowTimers_->advance(WindowPositionKeeper::kSettleMs);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 300);
    // Where the window system cannot move the window (no such thing offscreen),
    // dragging the display panel moves it and stores where it went.
    p.view().display().onSurfacePressed(QPoint(10, 5), QPoint(310, 205));
    p.view().display().onSurfaceDragged(QPoint(110, 65));
    p.view().display().onSurfaceReleased();
    QCoreApplication::processEvents();
    windowTimers_->advance(WindowPositionKeeper::kSettleMs);
    EXPECT_EQ(w.pos(), QPoint(100, 60));
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 100);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionY"), 60);

    program_.reset();
    store_.writeInt("Soft Setting", "TopMost", 0);
    EXPECT_FALSE(makeProgram().window().windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(FrameTest, PanelTogglesReshapeTheWindowInPlace) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    const int titled = w.height();

    p.view().togglePanel(2); // Control panel 2
    EXPECT_EQ(w.height(), titled + 74);
    p.view().togglePanel(0); // title strip off
    EXPECT_FALSE(w.menuBar()->isVisible());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.size(), QSize(555, 98 + 74));
    EXPECT_EQ(w.pos(), QPoint(40, 20)) << "not moved";
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(store_.readInt("Soft Setting", "ShowTitle"), 0);
    EXPECT_EQ(store_.readInt("Soft Setting", "ShowControl2"), 1);

    p.view().togglePanel(0);
    EXPECT_TRUE(w.menuBar()->isVisible());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.height(), titled + 74);
}

TEST_F(FrameTest, TheDecoderSwitchIsAStoredSettingThatShowsItsStrip) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    const int before = w.height();
    EXPECT_EQ(document_.parameters().toggleSwitch(SwitchKind::Dtmf), 1);
    EXPECT_EQ(settings_.dtmf, 1);
    EXPECT_EQ(store_.readInt("Soft Setting", "DTMF"), 1);
    EXPECT_EQ(w.height(), before + 26) << "the strip appears at once";
    EXPECT_EQ(document_.parameters().toggleSwitch(SwitchKind::Dtmf), 0);
    EXPECT_EQ(w.height(), before) << "and goes at once";
}

// The configuration dialogs that only other programs and menus open.
TEST_F(FrameTest, ConfigurationCommandsOpenTheirDialogs) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    for (int command : {MainWindow::CommandCwPitch, MainWindow::CommandDefaultBandWidth,
                        MainWindow::CommandAfGainRange, MainWindow::CommandPowerControl,
                        MainWindow::CommandOptions}) {
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = dialog->windowTitle();
                dialog->close();
            }
        });
        EXPECT_TRUE(w.runMenuCommand(command)) << command;
        EXPECT_FALSE(opened.isEmpty()) << command;
    }
}

TEST_F(FrameTest, MovingTheTitledWindowWritesItsPosition) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    w.move(321, 123);
    QCoreApplication::processEvents();
    windowTimers_->advance(WindowPositionKeeper::kSettleMs);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 321);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionY"), 123);
    EXPECT_EQ(store_.readInt("Soft Setting", "ShowTitle"), 1);
}

// A drag is many moves; the settings file is written once, when they stop,
// or when the window is laid out anew or closes before that.
TEST_F(FrameTest, ADragWritesThePositionOnceWhenTheWindowStopsMoving) {
    const QString ini = dir_.filePath("KOVO3000.ini");
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    QCoreApplication::processEvents();
    windowTimers_->advance(WindowPositionKeeper::kSettleMs);
    const QDateTime before = QFileInfo(ini).lastModified();
    const int settled = WindowPositionKeeper::kSettleMs;
    for (int step = 1; step <= 30; ++step) {
        w.move(40 + step, 20 + step);
        QCoreApplication::processEvents();
        windowTimers_->advance(settled / 4);
    }
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX").value_or(40), 40)
        << "nothing written mid-drag";
    EXPECT_EQ(QFileInfo(ini).lastModified(), before);
    windowTimers_->advance(settled);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 70);
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionY"), 50);

    w.move(90, 95);
    QCoreApplication::processEvents();
    p.view().togglePanel(0); // the title strip goes: the window stays where it was moved
    EXPECT_EQ(w.pos(), QPoint(90, 95));
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 90);
    w.move(110, 115);
    QCoreApplication::processEvents();
    program_.reset();
    EXPECT_EQ(store_.readInt("Soft Setting", "PositionX"), 110) << "stored as the program ends";
}

// Started with a port on the command line, the server's dialog shows it
// running, and OK without a change leaves it running and stores nothing.
TEST_F(FrameTest, TheHamlibDialogShowsTheServerAsItRunsAndOkChangesNothing) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    rigctlPort_ = port;
    Program& p = makeProgram();
    ASSERT_TRUE(p.start());
    ASSERT_TRUE(p.rigctl().listening());
    bool shownOn = false;
    int shownPort = 0;
    QTimer::singleShot(0, [&] {
        if (QDialog* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shownOn = dialog->findChild<QCheckBox*>()->isChecked();
            shownPort = dialog->findChild<QSpinBox*>("rigctlPort")->value();
            dialog->accept();
        }
    });
    EXPECT_TRUE(p.window().runMenuCommand(MainWindow::CommandRigctl));
    EXPECT_TRUE(shownOn);
    EXPECT_EQ(shownPort, port);
    EXPECT_TRUE(p.rigctl().listening()) << "OK on what was shown keeps the server";
    EXPECT_EQ(p.rigctl().port(), port);
    EXPECT_FALSE(store_.readInt("Soft Setting", "RigctlServer")) << "the run's port stays unstored";
    EXPECT_TRUE(notifier_.messages.empty());
}

// Ctrl+N, Ctrl+O and Ctrl+S work with the menu bar shown and hidden alike.
TEST_F(FrameTest, FileShortcutsWorkInBothLayouts) {
    for (int showTitle : {1, 0}) {
        store_.writeInt("Soft Setting", "ShowTitle", showTitle);
        program_.reset();
        notifier_ = {};
        dialogs_ = {};
        Program& p = makeProgram();
        MainWindow& w = p.window();
        ASSERT_TRUE(p.start());
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_EQ(w.menuBar()->isVisible(), showTitle == 1);
        document_.setModified();
        QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(notifier_.questions.size(), 1u) << "New asks to save; layout " << showTitle;
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(dialogs_.openDirectories.size(), 1u)
            << "Open asks for a file; layout " << showTitle;
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(dialogs_.proposedSaves.size(), 1u)
            << "Save asks for a name; layout " << showTitle;
    }
}

// After a probe without an answer the frequency window says so until a
// probe succeeds.
TEST_F(FrameTest, TheFrontPanelShowsWhileNoReceiverAnswers) {
    writeDocument(QDir(dataDir()).filePath("Frequency.kv5"), "data folder");
    Program& p = makeProgram();
    const auto answer = port_->onOutput;
    port_->onOutput = nullptr; // a receiver that stays silent
    ASSERT_TRUE(p.start());
    PanelEdit& frequency = p.view().stack().display().field(DisplayPanel::FrequencyField);
    EXPECT_EQ(frequency.text(), " 145.000000") << "nothing said before the first probe";
    timers_->advance(5000 + 3100);
    EXPECT_EQ(frequency.text(), "NO RECEIVER");
    EXPECT_TRUE(p.view().stack().display().meter().dimmed());

    port_->onOutput = answer;
    p.core().openPortFromSettings();
    timers_->advance(3100);
    EXPECT_EQ(frequency.text(), " 145.000000");
    EXPECT_FALSE(p.view().stack().display().meter().dimmed());
}

// The program, not the window, hears the receiver link: signal reports reach
// the meter, squelch changes reach other programs, and they learn when the
// program goes away.
TEST_F(FrameTest, TheLinksReportsReachTheMeterAndOtherProgramsUntilTheProgramEnds) {
    Program& p = makeProgram();
    // A receiver that answers each command in turn, as the test lets it.
    std::deque<std::string> commands;
    std::string signal = "M"; // squelch open, level 12
    port_->onOutput = [&](const std::string& text) {
        if (text == "\r")
            port_->receive(">");
        else
            commands.push_back(text);
    };
    const auto runUntil = [&](const std::function<bool()>& done) {
        for (int step = 0; step < 2000 && !done(); ++step) {
            if (commands.empty()) {
                timers_->advance(10);
                continue;
            }
            const std::string command = commands.front();
            commands.pop_front();
            port_->receive(command == "Y\r" ? signal + "\r\n>" : "\r\n>");
        }
        return done();
    };
    ASSERT_TRUE(p.start());
    p.core().openPortFromSettings();
    const SignalMeter& meter = p.view().stack().display().meter();
    ASSERT_TRUE(runUntil([&] { return meter.signalPresent(); }));
    EXPECT_EQ(meter.level(), 12);
    signal = "%"; // squelch shut
    ASSERT_TRUE(runUntil([&] { return !meter.signalPresent(); }));
    EXPECT_EQ(external_.calls,
              (std::vector<std::string>{"announce", "view ready", "squelch open", "squelch shut"}));

    program_.reset();
    EXPECT_EQ(external_.calls.back(), "window closing");
    EXPECT_EQ(std::count(external_.calls.begin(), external_.calls.end(), "window closing"), 1);
}

TEST_F(FrameTest, ClosingAModifiedDocumentAsksAndCancelKeepsTheWindow) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    document_.setModified(true);
    notifier_.answers = {Notifier::Answer::Cancel};
    w.runMenuCommand(MainWindow::CommandExit);
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(notifier_.questions.size(), 1u);
    EXPECT_EQ(notifier_.questions[0], "Untitled への変更を保存しますか?");

    notifier_.answers = {Notifier::Answer::No};
    w.runMenuCommand(MainWindow::CommandExit);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(FrameTest, RecentFilesAppearInTheFileMenuAndOpenByNumber) {
    const QString a = writeDocument(dir_.filePath("a.kv5"), "a");
    const QString b = writeDocument(dir_.filePath("b.kv5"), "b");
    Program& p = makeProgram();
    ASSERT_TRUE(p.start());
    EXPECT_FALSE(action(MainWindow::CommandRecentFirst));
    p.documents().openFile(a);
    p.documents().openFile(b);
    ASSERT_NE(action(MainWindow::CommandRecentFirst + 1), nullptr);
    EXPECT_EQ(action(MainWindow::CommandRecentFirst)->text(), "&1 " + b);
    EXPECT_EQ(action(MainWindow::CommandRecentFirst + 1)->text(), "&2 " + a);
    action(MainWindow::CommandRecentFirst + 1)->trigger();
    EXPECT_EQ(p.documents().path(), a);
    EXPECT_EQ(document_.linkSetNames[0], "a");
}

TEST_F(FrameTest, ExportMenuWritesTheDocumentToTheChosenFile) {
    Program& p = makeProgram();
    MainWindow& w = p.window();
    ASSERT_TRUE(p.start());
    const QString target = dir_.filePath("channels.txt");
    dialogs_.replies = {target};
    w.runMenuCommand(MainWindow::CommandExportMemory);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readLine().startsWith(" Bank  Ch    Frequency"));
    EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(FrameTest, SplashClosesAfterTimer199OrAtTheFirstKeyPress) {
    makeProgram({}, true);
    QPointer<SplashScreen> splash = program_->splash();
    ASSERT_TRUE(splash);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splashTimers_->intervalOf(TimerSplash), 7000);
    splashTimers_->advance(6999);
    EXPECT_TRUE(splash->isVisible());
    splashTimers_->advance(1);
    EXPECT_FALSE(splash->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());

    program_.reset();
    makeProgram({}, true);
    splash = program_->splash();
    ASSERT_TRUE(splash);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&program_->window(), &press);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splashTimers_->isTimerActive(TimerSplash));
}

TEST(DialogColoursTest, DialogsTurnGreenAndYellowButFileDialogsKeepTheirColours) {
    DialogColours colours;
    qApp->installEventFilter(&colours);
    QMessageBox box(QMessageBox::Warning, "KOVO3000", "text");
    QFileDialog files;
    box.ensurePolished();
    files.ensurePolished();
    QCoreApplication::sendPostedEvents();
    qApp->removeEventFilter(&colours);
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(0, 64, 0));
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_NE(files.palette().color(QPalette::Window), QColor(0, 64, 0));
}

} // namespace
} // namespace kovo
