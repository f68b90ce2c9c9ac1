#include "Program.h"

#include "app/AppSettingsWriter.h"
#include "app/MainWindow.h"
#include "app/QtCommPort.h"
#include "app/QtTimerService.h"
#include "app/RecentFileList.h"
#include "app/RigctlService.h"
#include "app/dialogs/ConfirmDialogs.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "link/ReceiverDescription.h"
#include "scan/ReceiverCore.h"
#include "ui/CKovo5View.h"
#include "ui/database/DatabasePanel.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <array>

namespace kovo {

// The panel settings, written to the store the moment they change.
class Program::PanelSettings final : public SettingsWriter {
public:
    PanelSettings(AppSettingsWriter& writer, std::function<void(int, int)> keepPosition)
        : writer_(writer), keepPosition_(std::move(keepPosition)) {}
    const AppSettings& settings() const override { return writer_.settings(); }
    // A drag of the bare front panel: stored once the window stops moving.
    void setPosition(int x, int y) override { keepPosition_(x, y); }
    void setShowTitle(int shown) override { writer_.setShowTitle(shown); }
    void setShowControls(int c1, int c2) override { writer_.setShowControls(c1, c2); }
    void setShowDataBase(int shown) override { writer_.setShowDataBase(shown); }
    void setAfGain(int gain) override { writer_.setAfGain(gain); }

private:
    AppSettingsWriter& writer_;
    std::function<void(int, int)> keepPosition_;
};

Program::Program(AppSettings& settings, SettingsStore& store, CKovo5Doc& document,
                 const Clock& clock, ShellOptions options, ProgramSeams seams)
    : settings_(settings), doc_(document), store_(store), options_(std::move(options)),
      peers_(seams.peers), recorder_(seams.recorder),
      writer_(std::make_unique<AppSettingsWriter>(settings, store)),
      panelSettings_(std::make_unique<PanelSettings>(
          *writer_, [this](int x, int y) { window_->keepPosition(x, y); })),
      recentFiles_(std::make_unique<RecentFileList>(settings, store)), documentFile_(document),
      window_(std::make_unique<MainWindow>(
          *writer_, store,
          seams.windowTimers ? std::move(seams.windowTimers) : std::make_unique<QtTimerService>())),
      messageBoxes_(std::make_unique<FrameMessageBoxes>(window_.get())),
      fileDialogs_(std::make_unique<QtFileDialogs>(window_.get())),
      notifier_(seams.notifier ? seams.notifier : messageBoxes_.get()),
      dialogs_(seams.dialogs ? seams.dialogs : fileDialogs_.get()), port_(std::move(seams.port)),
      timers_(std::move(seams.timers)), makeSplashTimers_(std::move(seams.makeSplashTimers)) {
    if (!port_)
        port_ = std::make_unique<QtCommPort>();
    if (!timers_)
        timers_ = std::make_unique<QtTimerService>();
    writer_->setWriteFailureReporter([this] {
        notifier_->showMessage(
            "The settings file cannot be written; settings changed from now on hold only until "
            "the program ends.");
    });
    if (!makeSplashTimers_)
        makeSplashTimers_ = [] { return std::make_unique<QtTimerService>(); };
    if (options_.dataDirectory.isEmpty())
        options_.dataDirectory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The strip toggles of the document are program settings.
    softSettingSubscription_ = doc_.parameters().softSettingChanges().subscribe(
        [this](const SoftSettingChange& change) { applySoftSetting(change); });

    // The front panel and the serial control, then the splash; the port
    // stays closed until a document has been read.
    createCore(clock);
    createDocumentCommands();
    window_->attach({doc_, *documents_, *view_, *core_, *rigctl_, *notifier_});
    if (options_.showSplash) {
        splash_ = new SplashScreen(makeSplashTimers_());
        splash_->start();
    }
}

Program::~Program() {
    // The message boxes go before the window stores its last position.
    writer_->setWriteFailureReporter({});
    notices_.notify({ProgramEvent::WindowClosing});
    if (splash_)
        delete splash_.data();
    // The members go in reverse order of their making: the document commands
    // and the network server before the core, the core before the panels,
    // the port and the timers.
}

void Program::applySoftSetting(const SoftSettingChange& change) {
    struct Setter {
        SoftSetting which;
        void (AppSettingsWriter::*write)(int);
        bool relayout; // the strip appears or goes at once
    };
    static constexpr std::array<Setter, 3> kSetters{{
        {SoftSetting::Dtmf, &AppSettingsWriter::setDtmf, true},
        {SoftSetting::Elm, &AppSettingsWriter::setElm, true},
        {SoftSetting::MbMultiSelect, &AppSettingsWriter::setMbMultiSelect, false},
    }};
    for (const Setter& setter : kSetters) {
        if (setter.which != change.which)
            continue;
        ((*writer_).*setter.write)(change.value);
        if (setter.relayout && view_)
            view_->layout(false);
    }
}

void Program::createCore(const Clock& clock) {
    core_ = std::make_unique<ReceiverCore>(
        ReceiverCore::Seams{*port_, *timers_, clock, *notifier_, settings_, doc_});
    coreForPanels_ = std::make_unique<ReceiverCoreCommands>(*core_);
    databaseHost_ = std::make_unique<DeleteDataHost>(window_.get());
    databaseHost_->setRecorder(recorder_);
    view_ = std::make_unique<CKovo5View>(CKovo5View::Ports{doc_, *panelSettings_, *notifier_,
                                                           *coreForPanels_, window_->frameHost()});
    view_->databasePanel().setHost(databaseHost_.get());
    viewAttachment_ = core_->attachView(*view_);
    linkSubscription_ =
        core_->linkNotices().subscribe([this](const LinkNotice& notice) { onLinkNotice(notice); });
    // The stand-in receiver and its device go together, so that the link
    // never speaks one receiver's commands to another.
    if (!options_.portOverride.empty())
        core_->plugInReceiver(options_.portReceiver ? *options_.portReceiver
                                                    : receiverDescriptionFor(settings_.device),
                              PortDescription::parse(options_.portOverride));
    core_->createControl();
    rigctl_ = std::make_unique<RigctlService>(*core_);
}

void Program::createDocumentCommands() {
    recentFiles_->load();
    if (options_.demo)
        recentFiles_->keepForThisRunOnly();
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
                                             options_.dataDirectory, std::move(hooks));
    documents_->setUntitledIsExample(options_.demo);
}

bool Program::start() {
    if (options_.startupFile.isEmpty()) {
        documentFile_.newDocument();
    } else if (!documents_->openFile(options_.startupFile)) {
        startupFileFailed_ = true;
        documentFile_.newDocument();
    }
    started_ = true;
    core_->startOpenLastDocumentTimer([this] { openLastDocument(); });
    startRigctl();
    notices_.notify({ProgramEvent::Announced});
    startView();
    view_->showTitleStrip();
    window_->showAtStoredPosition();
    return !startupFileFailed_;
}

// Every start of the view: at start-up and after File New and File Open.
void Program::startView() {
    CControlParams& params = doc_.controlParams;
    params.recomputeBandScopeShown();
    view_->layout(false);
    view_->refreshAll();
    const bool vfoPeer = peers_ && peers_->vfoPeerPresent();
    if (vfoPeer)
        core_->setOperatingMode(OperatingMode::Vfo);
    else
        core_->setOperatingMode(params.operatingMode); // a damaged file's number changes nothing
    notices_.notify({ProgramEvent::ViewReady});
}

void Program::openLastDocument() {
    if (options_.replaceLastDocument) {
        options_.replaceLastDocument(doc_);
        core_->openPortFromSettings();
        startView();
        return;
    }
    // The user asked for another file than the last: the new document that
    // took its place stays.
    if (startupFileFailed_) {
        core_->openPortFromSettings();
        return;
    }
    // The receiver is reached whatever became of the last document: a failed
    // read leaves a closed port closed, and nothing else would open it.
    if (!documents_->openFile(QFile::decodeName(settings_.lastFile.c_str())) &&
        !port_->portOpen() && !core_->link().probing())
        core_->openPortFromSettings();
}

void Program::startRigctl() {
    RigctlSettings settings = RigctlSettings::load(store_);
    if (options_.rigctlPort) {
        settings.enabled = true;
        settings.port = *options_.rigctlPort;
    }
    if (const auto error = rigctl_->apply(settings))
        notifier_->showMessage("Hamlib network server: " + error->toStdString());
}

void Program::closeForShutdown(int exitCode) {
    shutdownExitCode_ = exitCode;
    window_->close();
    // The splash window may still be up, so the last window closing does
    // not end the event loop by itself.
    QCoreApplication::exit(exitCode);
}

// --- what the receiver link reports ----------------------------------------------

// The panels show the active record and the signal; squelch changes are news
// for the window bus only, which follows the link itself (the meter already
// shows them). Besides the link's one message box, the panel keeps saying
// that no receiver answers for as long as that lasts.
void Program::onLinkNotice(const LinkNotice& notice) {
    using Kind = LinkNotice::Kind;
    switch (notice.kind) {
    case Kind::ActiveRecordSwitched:
        view_->refreshPanels();
        break;
    case Kind::Signal:
        view_->showSignal(notice.squelchOpen, notice.level);
        break;
    case Kind::SquelchChanged:
        break;
    case Kind::StatusChanged:
        view_->showLinkStatus(notice.status);
        break;
    }
}

} // namespace kovo
