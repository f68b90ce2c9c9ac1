#include "MainWindow.h"

#include "AboutBox.h"
#include "SplashScreen.h"
#include "app/AppSettingsWriter.h"
#include "app/QtCommPort.h"
#include "app/QtTimerService.h"
#include "app/RecentFileList.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "link/CommandChooser.h"
#include "link/PollingLoop.h"
#include "link/ReceiverLink.h"
#include "link/TimerIds.h"
#include "link/TimerRouter.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QStandardPaths>
#include <QUrl>

#ifndef KOVO_HELP_FILE
#define KOVO_HELP_FILE ""
#endif

namespace kovo {

namespace {

constexpr const char* applicationTitle = "KOVO3000";

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.c_str()); }

} // namespace

// --- message boxes -------------------------------------------------------------

void MessageBoxNotifier::showMessage(const std::string& text) {
    QMessageBox::warning(parent_, QString::fromLatin1(applicationTitle), fromUtf8(text));
}

bool MessageBoxNotifier::askYesNo(const std::string& text) {
    return QMessageBox::question(parent_, QString::fromLatin1(applicationTitle), fromUtf8(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Notifier::Answer MessageBoxNotifier::askYesNoCancel(const std::string& text) {
    const auto button = QMessageBox::question(
        parent_, QString::fromLatin1(applicationTitle), fromUtf8(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

// --- frame -----------------------------------------------------------------------

MainWindow::MainWindow(AppSettings& settings, SettingsStore& store, CKovo5Doc& document,
                       const Clock& clock, ShellOptions options, FrameSeams seams)
    : settings_(settings), options_(std::move(options)),
      writer_(std::make_unique<AppSettingsWriter>(settings, store)),
      recentFiles_(std::make_unique<RecentFileList>(settings, store)),
      messageBoxes_(std::make_unique<MessageBoxNotifier>(this)),
      fileDialogs_(std::make_unique<QtFileDialogs>(this)),
      notifier_(seams.notifier ? seams.notifier : messageBoxes_.get()),
      dialogs_(seams.dialogs ? seams.dialogs : fileDialogs_.get()), doc_(document),
      documentFile_(document), port_(std::move(seams.port)), timers_(std::move(seams.timers)),
      makeSplashTimers_(std::move(seams.makeSplashTimers)) {
    if (!port_) {
        auto port = std::make_unique<QtCommPort>(settings_);
        port->setDevicePathOverride(options_.portOverride);
        port_ = std::move(port);
    }
    if (!timers_)
        timers_ = std::make_unique<QtTimerService>();
    if (!makeSplashTimers_)
        makeSplashTimers_ = [] { return std::make_unique<QtTimerService>(); };
    if (options_.dataDirectory.isEmpty())
        options_.dataDirectory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    createLink(clock);
    createDocumentCommands();

    setAttribute(Qt::WA_QuitOnClose);
    setAcceptDrops(true);
    panelArea_ = new QWidget(this);
    panelArea_->setObjectName(QStringLiteral("panelArea"));
    panelArea_->setAutoFillBackground(true);
    QPalette palette = panelArea_->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panelArea_->setPalette(palette);
    setCentralWidget(panelArea_);
    createMenus();
    updateTitle();

    if (options_.showSplash) {
        splash_ = new SplashScreen(makeSplashTimers_());
        splash_->start();
    }
}

// The serial control and the polling loop belong to the frame; the port
// stays closed until a document has been read.
void MainWindow::createLink(const Clock& clock) {
    router_ = std::make_unique<TimerRouter>(*timers_);
    link_ = std::make_unique<ReceiverLink>(*port_, *router_, clock, *notifier_, settings_);
    link_->createControl();
    chooser_ = std::make_unique<CommandChooser>(doc_, *link_, *router_, settings_);
    loop_ = std::make_unique<PollingLoop>(doc_, *link_, *chooser_, *router_);
    link_->setClient(loop_.get());
    router_->on(TimerOpenLastDocument, [this] {
        router_->stop(TimerOpenLastDocument);
        openLastDocument();
    });
}

void MainWindow::createDocumentCommands() {
    recentFiles_->load();
    DocumentController::Hooks hooks;
    hooks.closePort = [this] {
        const bool wasOpen = port_->portOpen();
        link_->closePort();
        return wasOpen;
    };
    hooks.reopenPort = [this] { link_->openPort(settings_.portNum, settings_.commSpeed); };
    documents_ = std::make_unique<DocumentController>(documentFile_, *notifier_, *dialogs_,
                                                      *recentFiles_, options_.dataDirectory,
                                                      std::move(hooks), this);
    connect(documents_.get(), &DocumentController::titleChanged, this, &MainWindow::updateTitle);
    connect(documents_.get(), &DocumentController::recentListChanged, this,
            &MainWindow::rebuildRecentFiles);
}

MainWindow::~MainWindow() {
    if (splash_)
        delete splash_.data();
    // The link lets go of the port and the timers before they go.
    loop_.reset();
    chooser_.reset();
    link_.reset();
}

bool MainWindow::start() {
    if (options_.startupFile.isEmpty()) {
        documentFile_.newDocument();
    } else if (!documents_->openFile(options_.startupFile)) {
        return false;
    }
    router_->start(TimerOpenLastDocument, kOpenLastDocumentMs);
    showTitleStrip();
    return true;
}

// --- menus -----------------------------------------------------------------------

QAction* MainWindow::addCommand(QMenu* menu, const QString& text, int command,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    return action;
}

void MainWindow::createMenus() {
    // A tab in the text makes the menu show what follows it as the key hint,
    // so "Ctrl+T" appears although no key is bound to the export.
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(fileMenu_, QStringLiteral("&New \tCtrl+N"), CommandNew, QKeySequence::New);
    addCommand(fileMenu_, QStringLiteral("&Open...\tCtrl+O"), CommandOpen, QKeySequence::Open);
    addCommand(fileMenu_, QStringLiteral("&Save\tCtrl+S"), CommandSave, QKeySequence::Save);
    addCommand(fileMenu_, QStringLiteral("S&ave as..."), CommandSaveAs);
    fileMenu_->addSeparator();
    QMenu* exportMenu = fileMenu_->addMenu(QStringLiteral("Expor&t text \tCtrl+T"));
    addCommand(exportMenu, QStringLiteral("Memory data"), CommandExportMemory);
    addCommand(exportMenu, QStringLiteral("Log data"), CommandExportLog);
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addSeparator();
    addCommand(fileMenu_, QStringLiteral("&Exit"), CommandExit);
    rebuildRecentFiles();

    QMenu* configMenu = menuBar()->addMenu(QStringLiteral("Configuration&s"));
    addCommand(configMenu, QStringLiteral("COM &port"), CommandComPort);
    addCommand(configMenu, QStringLiteral("Display Preference(&T)"), CommandDisplayPreference);
    addCommand(configMenu, QStringLiteral("&Sub-Step size"), CommandSubStep);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help "));
    addCommand(helpMenu, QStringLiteral("Contents"), CommandHelpContents);
    addCommand(helpMenu, QStringLiteral("О программе..."), CommandAbout);
}

void MainWindow::rebuildRecentFiles() {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();
    const QStringList files = documents_->recentFiles();
    QList<QAction*> actions;
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), fileMenu_);
        action->setData(CommandRecentFirst + i);
        connect(action, &QAction::triggered, this, [this, i] { runCommand(CommandRecentFirst + i); });
        actions.append(action);
    }
    if (actions.isEmpty()) {
        auto* placeholder = new QAction(QStringLiteral("Recent File"), fileMenu_);
        placeholder->setEnabled(false);
        actions.append(placeholder);
    }
    // Recent files sit between the export submenu and Exit.
    const QList<QAction*> all = fileMenu_->actions();
    QAction* before = all.value(all.indexOf(recentSeparator_) + 1);
    fileMenu_->insertActions(before, actions);
    recentActions_ = actions;
}

bool MainWindow::runCommand(int command) {
    if (command >= CommandRecentFirst && command < CommandRecentFirst + 5) {
        documents_->openRecent(command - CommandRecentFirst);
        return true;
    }
    switch (command) {
    case CommandNew:
        documents_->fileNew();
        return true;
    case CommandOpen:
        documents_->fileOpen();
        return true;
    case CommandSave:
        documents_->fileSave();
        return true;
    case CommandSaveAs:
        documents_->fileSaveAs();
        return true;
    case CommandExportMemory:
        documents_->exportText(0);
        return true;
    case CommandExportLog:
        documents_->exportText(1);
        return true;
    case CommandExit:
        close();
        return true;
    case CommandAbout: {
        AboutBox about(this);
        about.exec();
        return true;
    }
    case CommandHelpContents:
        showHelp();
        return true;
    default:
        return false;
    }
}

void MainWindow::showHelp() {
    const QString installed = QString::fromUtf8(KOVO_HELP_FILE);
    if (!installed.isEmpty() && QFileInfo::exists(installed) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(installed)))
        return;
    AboutBox about(this);
    about.exec();
}

// --- timers ----------------------------------------------------------------------

void MainWindow::openLastDocument() {
    documents_->openFile(QFile::decodeName(settings_.lastFile.c_str()));
}

// --- window geometry -------------------------------------------------------------

int MainWindow::titleHeight() const { return menuBar()->sizeHint().height(); }

int MainWindow::stackHeight() const { return 48; }

void MainWindow::applyWindowFlags() {
    Qt::WindowFlags flags = Qt::Window;
    if (settings_.showTitle) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    } else {
        flags |= Qt::FramelessWindowHint;
        // Only the bare front panel stays above other windows.
        if (settings_.topMost)
            flags |= Qt::WindowStaysOnTopHint;
    }
    if (flags != windowFlags())
        setWindowFlags(flags);
}

void MainWindow::showTitleStrip() {
    const bool titled = settings_.showTitle != 0;
    writer_->setShowTitle(settings_.showTitle);
    applyWindowFlags();
    menuBar()->setVisible(titled);
    const int top = titled ? titleGap : 0;
    panelArea_->setFixedSize(frameWidth, top + stackHeight());
    setFixedSize(frameWidth, (titled ? titleHeight() : 0) + top + stackHeight());
    move(settings_.positionX, settings_.positionY);
    show();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // Without the title strip the display panel drags the window and stores
    // the position itself.
    if (settings_.showTitle && isVisible() &&
        (x() != settings_.positionX || y() != settings_.positionY))
        writer_->setPosition(x(), y());
}

// --- closing and dropped files ---------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (documents_->saveModified())
        event->accept();
    else
        event->ignore();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        documents_->openFile(urls.first().toLocalFile());
    }
}

void MainWindow::updateTitle() {
    setWindowTitle(documents_->title() + QStringLiteral(" - ") + QString::fromLatin1(applicationTitle));
}

} // namespace kovo
