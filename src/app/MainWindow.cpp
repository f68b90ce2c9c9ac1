#include "MainWindow.h"

#include "AboutBox.h"
#include "HelpWindow.h"
#include "app/AppSettingsWriter.h"
#include "app/Language.h"
#include "app/QtTimerService.h"
#include "app/RigctlService.h"
#include "app/SettingsTable.h"
#include "app/WebRemoteService.h"
#include "app/dialogs/AfGainRangeDialog.h"
#include "app/dialogs/BandWidthDialog.h"
#include "app/dialogs/ChannelImportDialog.h"
#include "app/dialogs/CheckBoxDialogs.h"
#include "app/dialogs/ComPortDialog.h"
#include "app/dialogs/ConfirmDialogs.h"
#include "app/dialogs/CwPitchDialog.h"
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RigctlDialog.h"
#include "app/dialogs/StepDialog.h"
#include "app/dialogs/WebRemoteDialog.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/ChirpCsv.h"
#include "data/Notifier.h"
#include "scan/ReceiverCore.h"
#include "ui/CKovo5View.h"
#include "ui/PanelStack.h"
#include "ui/RepaintPacer.h"
#include "ui/history/HistoryWindow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QUrl>
#include <QWindow>

namespace kovo {

// --- frame -----------------------------------------------------------------------

MainWindow::MainWindow(AppSettingsWriter& writer, SettingsStore& store,
                       std::unique_ptr<TimerService> moveTimers)
    : settings_(writer.settings()), writer_(writer), store_(store),
      positionKeeper_(writer, std::move(moveTimers)) {
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
    static const SystemClock wallClock;
    new RepaintPacer(*this,
                     std::make_unique<QtTimerService>(nullptr, QtTimerService::Precision::Coarse),
                     wallClock); // a child of the window
    menus_.build(loadLanguageChoice(store_));
}

MainWindow::~MainWindow() {
    positionKeeper_.storeNow();
}

void MainWindow::attach(Parts parts) {
    doc_ = &parts.doc;
    documents_ = &parts.documents;
    view_ = &parts.view;
    core_ = &parts.core;
    rigctl_ = &parts.rigctl;
    notifier_ = &parts.notifier;
    view_->stack().setParent(panelArea_);
    view_->stack().show();
    applyFrame();
    connect(documents_, &DocumentController::titleChanged, this, &MainWindow::updateTitle);
    connect(documents_, &DocumentController::recentListChanged, this,
            &MainWindow::rebuildRecentFiles);
    rebuildRecentFiles();
    updateTitle();
}

void MainWindow::showAtStoredPosition() {
    move(settings_.positionX, settings_.positionY);
    show();
}

// --- menus -----------------------------------------------------------------------

void MainWindow::chooseLanguage(int command) {
    const std::optional<LanguageChoice> chosen = MainMenus::languageOf(command);
    if (!chosen || *chosen == loadLanguageChoice(store_))
        return;
    storeLanguageChoice(store_, *chosen);
    notifier_->showMessage(
        tr("The language changes at the next start of the program.").toStdString());
}

void MainWindow::rebuildRecentFiles() {
    menus_.showRecentFiles(documents_->recentFiles());
}

void MainWindow::createCommands() {
    commands_ = {
        {CommandNew, [this] { documents_->fileNew(); }},
        {CommandOpen, [this] { documents_->fileOpen(); }},
        {CommandSave, [this] { documents_->fileSave(); }},
        {CommandSaveAs, [this] { documents_->fileSaveAs(); }},
        {CommandExportMemory, [this] { documents_->exportText(0); }},
        {CommandExportLog, [this] { documents_->exportText(1); }},
        {CommandImportChannels,
         [this] {
             ChannelImportCommand(*doc_, *notifier_, ChannelImportCommand::interactiveSeams(this),
                                  this)
                 .run();
         }},
        {CommandExportChirp, [this] { exportChirp(); }},
        {CommandExit, [this] { close(); }},
        {CommandAbout, [this] { AboutBox(this).exec(); }},
        {CommandHelpContents, [this] { showHelp(); }},
        {CommandComPort, [this] { configurePort(); }},
        {CommandRigctl, [this] { configureRigctl(); }},
        {CommandWebRemote, [this] { configureWebRemote(); }},
        {CommandHistory, [this] { showHistory(); }},
        {CommandLanguageSystem, [this] { chooseLanguage(CommandLanguageSystem); }},
        {CommandLanguageJapanese, [this] { chooseLanguage(CommandLanguageJapanese); }},
        {CommandLanguageEnglish, [this] { chooseLanguage(CommandLanguageEnglish); }},
        {CommandDisplayPreference,
         [this] {
             if (DisplayPreferenceDialog(writer_, this).exec() == QDialog::Accepted)
                 view_->layout(false);
         }},
        {CommandCwPitch, [this] { CwPitchDialog(writer_, this).exec(); }},
        {CommandDefaultBandWidth, [this] { BandWidthDialog(writer_, this).exec(); }},
        {CommandAfGainRange, [this] { AfGainRangeDialog(writer_, this).exec(); }},
        {CommandPowerControl, [this] { PowerControlDialog(writer_, this).exec(); }},
        {CommandOptions,
         [this] {
             if (OptionsDialog(writer_, this).exec() == QDialog::Accepted)
                 view_->layout(false);
         }},
        {CommandSubStep,
         [this] {
             StepDialog(
                 doc_->controlParams.subStep,
                 [this](int subStep) { core_->operations().setSubStep(subStep); }, this)
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
    ComPortDialog dialog(writer_, ComPortDialog::serialDevicesOnThisMachine(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    applyPortSettings(dialog.receiverKindChanged());
}

void MainWindow::applyPortSettings(bool receiverKindChanged) {
    core_->closePort();
    if (receiverKindChanged && core_->link().pluggedIn()) {
        core_->unplugReceiver();
        view_->showDemoMode(false);
    }
    view_->refreshAll(); // the VCS key follows the receiver kind
    core_->openPortFromSettings();
}

void MainWindow::configureRigctl() {
    // The dialog shows the server as it runs, which a port given on the
    // command line may have switched on.
    RigctlDialog dialog(
        rigctl_->inEffect(),
        [this](const RigctlSettings& settings) {
            settings.store(store_);
            if (const auto error = rigctl_->apply(settings))
                notifier_->showMessage("Hamlib network server: " + error->toStdString());
        },
        this);
    dialog.exec();
}

void MainWindow::configureWebRemote() {
    if (!webRemote_) {
        notifier_->showMessage("The web remote is not part of this program.");
        return;
    }
    WebRemoteDialog dialog(webRemote_->inEffect(),
                           {[this](const WebRemoteSettings& settings) {
                                settings.store(store_);
                                if (const auto error = webRemote_->apply(settings))
                                    notifier_->showMessage("Web remote: " + error->toStdString());
                            },
                            [this] { return webRemote_->link(); },
                            [this] { webRemote_->renewToken(); }},
                           this);
    dialog.exec();
}

void MainWindow::showHistory() {
    if (!history_) {
        // A store that cannot be opened is explained in the window itself.
        auto* window = new HistoryWindow(history::defaultHistoryPath(), historyActions(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        history_ = window;
    }
    history_->show();
    history_->raise();
    history_->activateWindow();
}

HistoryActions MainWindow::historyActions() {
    HistoryActions actions;
    actions.play = [](const QString& path) {
        return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    actions.storeAsChannel = [this](const history::HitRow& hit) {
        return core_->operations().storeHeardFrequency(static_cast<std::uint32_t>(hit.frequencyHz),
                                                       hit.mode, hit.comment,
                                                       [this] { return confirmOverwrite(); });
    };
    actions.chooseCsvFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(history_, QStringLiteral("Export CSV"), suggested,
                                            QStringLiteral("CSV files (*.csv)"));
    };
    actions.showMessage = [this](const QString& text) {
        QMessageBox::information(history_, QStringLiteral("History"), text);
    };
    actions.nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    return actions;
}

void MainWindow::runCommand(int commandId) {
    runMenuCommand(commandId);
}

bool MainWindow::confirmOverwrite() {
    OverwriteDialog dialog(this);
    return dialog.exec() == QDialog::Accepted;
}

void MainWindow::exportChirp() {
    const QString folder = documents_->path().isEmpty() ? documents_->dataDirectory()
                                                        : QFileInfo(documents_->path()).path();
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Channels for CHIRP (CSV)"), QDir(folder).filePath("Channels.csv"),
        QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const FileResult written = exportChirpCsv(*doc_, path.toStdString());
    if (!written.ok)
        notifier_->showMessage(written.message);
}

void MainWindow::showHelp() {
    if (!help_)
        help_ = new HelpWindow(interfaceLanguageInUse(), this);
    help_->show();
    help_->raise();
    help_->activateWindow();
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
        positionKeeper_.storeNow(); // the window comes back where it was last moved
        setWindowFlags(flags);      // hides the window
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
// the bare front panel, its position is stored for the next start once it
// stops moving.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible())
        positionKeeper_.moved(x(), y());
}

// --- closing and dropped files ---------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    positionKeeper_.storeNow();
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
                   QString::fromLatin1(kProgramTitle));
}

} // namespace kovo
