#include "MainWindow.h"

#include "AboutBox.h"
#include "app/AppSettingsWriter.h"
#include "app/QtCommPort.h"
#include "app/QtTimerService.h"
#include "app/RecentFileList.h"
#include "app/RigctlService.h"
#include "app/SettingsTable.h"
#include "app/dialogs/AfGainRangeDialog.h"
#include "app/dialogs/BandWidthDialog.h"
#include "app/dialogs/CheckBoxDialogs.h"
#include "app/dialogs/ComPortDialog.h"
#include "app/dialogs/ConfirmDialogs.h"
#include "app/dialogs/CwPitchDialog.h"
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RigctlDialog.h"
#include "app/dialogs/StepDialog.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "scan/ReceiverCore.h"
#include "ui/CKovo5View.h"
#include "ui/PanelStack.h"
#include "ui/RepaintPacer.h"
#include "ui/database/DatabasePanel.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QStandardPaths>
#include <QUrl>
#include <QWindow>

#ifndef KOVO_HELP_FILE
#define KOVO_HELP_FILE ""
#endif

namespace kovo {

namespace {

constexpr const char* applicationTitle = "KOVO3000";

} // namespace

// --- message boxes -------------------------------------------------------------

Notifier::Answer FrameMessageBoxes::askYesNoCancel(const std::string& text) {
    const auto button = QMessageBox::question(
        parent_, QString::fromLatin1(applicationTitle), QString::fromUtf8(text.c_str()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool DialogColours::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && !qobject_cast<QFileDialog*>(dialog))
            applyDialogColours(dialog);
    }
    return false;
}

// --- what the panels are handed ------------------------------------------------

// The panel settings, written to the store the moment they change.
class MainWindow::PanelSettings final : public SettingsWriter {
public:
    explicit PanelSettings(AppSettingsWriter& writer) : writer_(writer) {}
    const AppSettings& settings() const override { return writer_.settings(); }
    void setPosition(int x, int y) override { writer_.setPosition(x, y); }
    void setShowTitle(int shown) override { writer_.setShowTitle(shown); }
    void setShowControls(int c1, int c2) override { writer_.setShowControls(c1, c2); }
    void setShowDataBase(int shown) override { writer_.setShowDataBase(shown); }
    void setAfGain(int gain) override { writer_.setAfGain(gain); }

private:
    AppSettingsWriter& writer_;
};

// --- frame -----------------------------------------------------------------------

MainWindow::MainWindow(AppSettings& settings, SettingsStore& store, CKovo5Doc& document,
                       const Clock& clock, ShellOptions options, FrameSeams seams)
    : settings_(settings), doc_(document), options_(std::move(options)),
      writer_(std::make_unique<AppSettingsWriter>(settings, store)),
      panelSettings_(std::make_unique<PanelSettings>(*writer_)),
      recentFiles_(std::make_unique<RecentFileList>(settings, store)),
      messageBoxes_(std::make_unique<FrameMessageBoxes>(this)),
      fileDialogs_(std::make_unique<QtFileDialogs>(this)),
      notifier_(seams.notifier ? seams.notifier : messageBoxes_.get()),
      dialogs_(seams.dialogs ? seams.dialogs : fileDialogs_.get()),
      external_(seams.externalControl), documentFile_(document), port_(std::move(seams.port)),
      timers_(std::move(seams.timers)), makeSplashTimers_(std::move(seams.makeSplashTimers)),
      store_(store) {
    if (!port_) {
        auto port = std::make_unique<QtCommPort>();
        port->setDevicePathOverride(options_.portOverride);
        port_ = std::move(port);
    }
    if (!timers_)
        timers_ = std::make_unique<QtTimerService>();
    if (!makeSplashTimers_)
        makeSplashTimers_ = [] { return std::make_unique<QtTimerService>(); };
    if (options_.dataDirectory.isEmpty())
        options_.dataDirectory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The strip toggles of the document are program settings.
    doc_.writeSoftSetting = [this](const std::string& name, int value) {
        if (name == "DTMF")
            writer_->setDtmf(value);
        else if (name == "ELM")
            writer_->setElm(value);
        if ((name == "DTMF" || name == "ELM") && view_)
            view_->layout(false); // the strip appears or goes at once
        if (name == "MBMultiSelect")
            writer_->setMbMultiSelect(value);
    };

    createCommands();
    setAttribute(Qt::WA_QuitOnClose);
    setAcceptDrops(true);
    panelArea_ = new QWidget(this);
    panelArea_->setObjectName(QStringLiteral("panelArea"));
    panelArea_->setAutoFillBackground(true);
    QPalette palette = panelArea_->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panelArea_->setPalette(palette);
    setCentralWidget(panelArea_);
    new RepaintPacer(*this); // a child of the window
    createMenus();

    // The front panel and the serial control, then the splash; the port
    // stays closed until a document has been read.
    createCore(clock);
    createDocumentCommands();
    rebuildRecentFiles();
    updateTitle();
    if (options_.showSplash) {
        splash_ = new SplashScreen(makeSplashTimers_());
        splash_->start();
    }
}

MainWindow::~MainWindow() {
    if (external_)
        external_->windowClosing();
    if (splash_)
        delete splash_.data();
    // The core lets go of the port and the timers before they go, and the
    // panels before the core.
    documents_.reset();
    rigctl_.reset();
    core_.reset();
    view_.reset();
    doc_.writeSoftSetting = nullptr;
}

void MainWindow::createCore(const Clock& clock) {
    view_ = std::make_unique<CKovo5View>(
        CKovo5View::Ports{doc_, *panelSettings_, *notifier_, coreForPanels_, *this});
    databaseHost_ = std::make_unique<DeleteDataHost>(this);
    view_->databasePanel().setHost(databaseHost_.get());
    view_->stack().setParent(panelArea_);
    view_->stack().show();
    applyFrame();
    core_ = std::make_unique<ReceiverCore>(
        ReceiverCore::Seams{*port_, *timers_, clock, *notifier_, settings_, doc_, *this, *view_});
    coreForPanels_.attach(*core_);
    scanStopSubscription_ = core_->engine().scanStops().subscribe([this](const ScanStop& stop) {
        if (scanStopListener_)
            scanStopListener_(stop);
    });
    core_->createControl();
    rigctl_ = std::make_unique<RigctlService>(doc_, *core_, *view_, settings_);
}

void MainWindow::createDocumentCommands() {
    recentFiles_->load();
    DocumentController::Hooks hooks;
    hooks.closePort = [this] {
        const bool wasOpen = port_->portOpen();
        core_->closePort();
        return wasOpen;
    };
    hooks.reopenPort = [this] { core_->openPortFromSettings(); };
    hooks.documentReplaced = [this] {
        if (started_)
            startView();
    };
    documents_ =
        std::make_unique<DocumentController>(documentFile_, *notifier_, *dialogs_, *recentFiles_,
                                             options_.dataDirectory, std::move(hooks), this);
    connect(documents_.get(), &DocumentController::titleChanged, this, &MainWindow::updateTitle);
    connect(documents_.get(), &DocumentController::recentListChanged, this,
            &MainWindow::rebuildRecentFiles);
}

bool MainWindow::start() {
    if (options_.startupFile.isEmpty()) {
        documentFile_.newDocument();
    } else if (!documents_->openFile(options_.startupFile)) {
        return false;
    }
    started_ = true;
    core_->startOpenLastDocumentTimer([this] { openLastDocument(); });
    startRigctl();
    if (external_)
        external_->announceProgram();
    startView();
    view_->showTitleStrip();
    move(settings_.positionX, settings_.positionY);
    show();
    return true;
}

// Every start of the view: at start-up and after File New and File Open.
void MainWindow::startView() {
    CControlParams& params = doc_.controlParams;
    params.recomputeBandScopeShown();
    view_->layout(false);
    view_->refreshAll();
    const bool vfoPeer = external_ && external_->vfoPeerPresent();
    if (vfoPeer)
        core_->setOperatingMode(OperatingMode::Vfo);
    else
        core_->setOperatingMode(params.operatingMode); // a damaged file's number changes nothing
    if (external_)
        external_->viewReady();
}

void MainWindow::openLastDocument() {
    if (options_.replaceLastDocument) {
        options_.replaceLastDocument(doc_);
        core_->openPortFromSettings();
        startView();
        return;
    }
    // The receiver is reached whatever became of the last document: a failed
    // read leaves a closed port closed, and nothing else would open it.
    if (!documents_->openFile(QFile::decodeName(settings_.lastFile.c_str())) &&
        !port_->portOpen() && !core_->link().probing())
        core_->openPortFromSettings();
}

// --- menus -----------------------------------------------------------------------

QAction* MainWindow::addCommand(QMenu* menu, const QString& text, int command,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // The window holds the action too: a hidden menu bar (the bare front
        // panel) takes its menus' shortcuts with it.
        addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, command] { runMenuCommand(command); });
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

    QMenu* configMenu = menuBar()->addMenu(QStringLiteral("Configuration&s"));
    addCommand(configMenu, QStringLiteral("COM &port"), CommandComPort);
    addCommand(configMenu, QStringLiteral("Display Preference(&T)"), CommandDisplayPreference);
    addCommand(configMenu, QStringLiteral("&Sub-Step size"), CommandSubStep);
    configMenu->addSeparator();
    addCommand(configMenu, QStringLiteral("CW Pitch"), CommandCwPitch);
    addCommand(configMenu, QStringLiteral("Default Band Width"), CommandDefaultBandWidth);
    addCommand(configMenu, QStringLiteral("AF Gain Range"), CommandAfGainRange);
    addCommand(configMenu, QStringLiteral("Power Control"), CommandPowerControl);
    addCommand(configMenu, QStringLiteral("Options"), CommandOptions);
    addCommand(configMenu, QStringLiteral("&Hamlib network server"), CommandRigctl);

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
        connect(action, &QAction::triggered, this,
                [this, i] { runMenuCommand(CommandRecentFirst + i); });
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

void MainWindow::createCommands() {
    commands_ = {
        {CommandNew, [this] { documents_->fileNew(); }},
        {CommandOpen, [this] { documents_->fileOpen(); }},
        {CommandSave, [this] { documents_->fileSave(); }},
        {CommandSaveAs, [this] { documents_->fileSaveAs(); }},
        {CommandExportMemory, [this] { documents_->exportText(0); }},
        {CommandExportLog, [this] { documents_->exportText(1); }},
        {CommandExit, [this] { close(); }},
        {CommandAbout, [this] { AboutBox(this).exec(); }},
        {CommandHelpContents, [this] { showHelp(); }},
        {CommandComPort, [this] { configurePort(); }},
        {CommandRigctl, [this] { configureRigctl(); }},
        {CommandDisplayPreference,
         [this] {
             if (DisplayPreferenceDialog(*writer_, this).exec() == QDialog::Accepted)
                 view_->layout(false);
         }},
        {CommandCwPitch, [this] { CwPitchDialog(*writer_, this).exec(); }},
        {CommandDefaultBandWidth, [this] { BandWidthDialog(*writer_, this).exec(); }},
        {CommandAfGainRange, [this] { AfGainRangeDialog(*writer_, this).exec(); }},
        {CommandPowerControl, [this] { PowerControlDialog(*writer_, this).exec(); }},
        {CommandOptions,
         [this] {
             if (OptionsDialog(*writer_, this).exec() == QDialog::Accepted)
                 view_->layout(false);
         }},
        {CommandSubStep,
         [this] {
             StepDialog(
                 doc_.controlParams.subStep,
                 [this](int subStep) {
                     doc_.controlParams.subStep = subStep;
                     doc_.setModified(true);
                 },
                 this)
                 .exec();
         }},
    };
    for (int i = 0; i < settings::kRecentFileCount; ++i)
        commands_[CommandRecentFirst + i] = [this, i] { documents_->openRecent(i); };
}

bool MainWindow::runMenuCommand(int command) {
    const auto found = commands_.find(command);
    if (found == commands_.end())
        return false;
    found->second();
    return true;
}

// The COM-port command: on OK the new port is opened and probed.
void MainWindow::configurePort() {
    ComPortDialog dialog(*writer_, ComPortDialog::serialDevicesOnThisMachine(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    view_->refreshAll(); // the VCS key follows the receiver kind
    core_->closePort();
    core_->openPortFromSettings();
}

// Stored settings, or the port named on the command line for this run.
void MainWindow::startRigctl() {
    RigctlSettings settings = RigctlSettings::load(store_);
    if (options_.rigctlPort) {
        settings.enabled = true;
        settings.port = *options_.rigctlPort;
    }
    if (const auto error = rigctl_->apply(settings))
        notifier_->showMessage("Hamlib network server: " + error->toStdString());
}

void MainWindow::configureRigctl() {
    RigctlDialog dialog(
        RigctlSettings::load(store_),
        [this](const RigctlSettings& settings) {
            settings.store(store_);
            if (const auto error = rigctl_->apply(settings))
                notifier_->showMessage("Hamlib network server: " + error->toStdString());
        },
        this);
    dialog.exec();
}

void MainWindow::runCommand(int commandId) {
    runMenuCommand(commandId);
}

bool MainWindow::confirmOverwrite() {
    OverwriteDialog dialog(this);
    return dialog.exec() == QDialog::Accepted;
}

void MainWindow::showHelp() {
    const QString installed = QString::fromUtf8(KOVO_HELP_FILE);
    if (!installed.isEmpty() && QFileInfo::exists(installed) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(installed)))
        return;
    AboutBox(this).exec();
}

// --- window geometry -------------------------------------------------------------

int MainWindow::titleHeight() const {
    return menuBar()->sizeHint().height();
}

// Window decoration, menu bar and size follow "ShowTitle", the stack height
// and whether the bare front panel stays on top.
void MainWindow::applyFrame() {
    const bool titled = settings_.showTitle != 0;
    Qt::WindowFlags flags = Qt::Window;
    if (titled) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if (stayOnTop_)
        flags |= Qt::WindowStaysOnTopHint;
    const bool wasVisible = isVisible();
    if (flags != windowFlags()) {
        setWindowFlags(flags); // hides the window
        move(settings_.positionX, settings_.positionY);
    }
    menuBar()->setVisible(titled);
    const int top = titled ? titleGap : 0;
    if (view_) // the view lays itself out while it is being built
        view_->stack().move(0, top);
    panelArea_->setFixedSize(frameWidth, top + stackHeight_);
    setFixedSize(frameWidth, (titled ? titleHeight() : 0) + top + stackHeight_);
    if (wasVisible && !isVisible())
        show();
}

void MainWindow::showTitleStrip(bool) {
    applyFrame();
}

void MainWindow::stackResized(int height) {
    stackHeight_ = height;
    applyFrame();
}

void MainWindow::setStayOnTop(bool onTop) {
    stayOnTop_ = onTop;
    applyFrame();
}

void MainWindow::moveFrame(int x, int y) {
    move(x, y);
}

bool MainWindow::startSystemMove() {
    QWindow* window = windowHandle();
    return window && window->startSystemMove();
}

// Wherever the window ends up, by the window manager's frame or by a drag of
// the bare front panel, its position is stored for the next start.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible() && (x() != settings_.positionX || y() != settings_.positionY))
        writer_->setPosition(x(), y());
}

// --- what the receiver link reports ----------------------------------------------

void MainWindow::refreshPanels() {
    view_->refreshPanels();
}

void MainWindow::showSignal(bool squelchOpen, int signalValue) {
    view_->showSignal(squelchOpen, signalValue);
}

// Squelch changes are news for the external control clients and the
// recorder only; the meter already shows them.
void MainWindow::squelchChanged(bool open) {
    if (external_)
        external_->squelchChanged(open);
}

void MainWindow::setRecorderLink(DatabaseHost* recorder) {
    static_cast<DeleteDataHost&>(*databaseHost_).setRecorder(recorder);
}

// Besides the link's one message box, the panel keeps saying that no
// receiver answers for as long as that lasts.
void MainWindow::linkStatusChanged(LinkStatus status) {
    view_->showLinkStatus(status);
}

void MainWindow::setScanStopListener(std::function<void(const ScanStop&)> listener) {
    scanStopListener_ = std::move(listener);
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
    setWindowTitle(documents_->title() + QStringLiteral(" - ") +
                   QString::fromLatin1(applicationTitle));
}

} // namespace kovo
