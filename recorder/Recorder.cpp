#include "Recorder.h"

#include "FolderCap.h"
#include "RecordingName.h"
#include "data/Cp932.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryWriter.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QStandardPaths>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace kovo::recorder {
namespace {

namespace code = ipc::recorder;
using ipc::Message;

constexpr const char* kRecordMemory = "MemBromControl";
constexpr int kDiskCheckMs = 2000;

std::filesystem::path defaultFolder() {
    // The program's per-user data folder, where its documents live too.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return std::filesystem::path(data.toStdString()) / "Fennelworks" / "KOVO3000" / "Recordings";
}

// The program writes the record into memory the recorder provides. An
// object that is already there (another recorder's) is used as it is and
// never shrunk, when it is this user's own and closed to others; `created`
// says whether this one made it. False with the reason in `problem`.
bool createRecordMemory(bool& created, std::string& problem) {
    const ipc::SharedObject object = ipc::SharedObject::openOrCreate(kRecordMemory);
    created = object.created();
    const bool ok = object.usable() || (object.check() == ipc::ObjectCheck::TooShort &&
                                        ::ftruncate(object.fd(), off_t(ipc::kMappingSize)) == 0);
    if (!ok)
        problem = ipc::refusalReason(kRecordMemory, object.check());
    return ok;
}

} // namespace

Recorder::Recorder(RecorderSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)),
      folder_(settings_.folder.empty() ? defaultFolder() : std::filesystem::path(settings_.folder)),
      sink_(folder_, settings_.format, settings_.sampleRate),
      gate_(sink_, std::size_t(settings_.sampleRate) * std::size_t(settings_.preRollMs) / 1000) {
    clock_.start();
    // Called with the gate's lock held: the rest happens once it is free.
    if (!settings_.historyPath.empty()) {
        history::HistoryWriter::Options options;
        options.path = settings_.historyPath;
        options.retentionDays = 0; // the program's to keep
        history_ = std::make_unique<history::HistoryWriter>(
            std::move(options), [this](const std::string& text) {
                QMetaObject::invokeMethod(
                    this, [this, text] { emit message(QString::fromStdString(text)); },
                    Qt::QueuedConnection);
            });
    }
    sink_.onClosed = [this](const std::string& name) {
        ++figures_.files;
        // The hit that began at the entry's time now has its audio.
        if (history_) {
            const EntryInfo& entry = sink_.currentEntry();
            history_->recordingKept(entry.frequencyHz, entry.time,
                                    std::filesystem::absolute(sink_.folder() / name).string());
        }
        QMetaObject::invokeMethod(
            this,
            [this, file = QString::fromStdString(name)] {
                emit recordingFinished(file);
                QStringList removed;
                for (const std::string& r : enforceCap(folder_, settings_.capMegabytes << 20, {}))
                    removed << QString::fromStdString(r);
                if (!removed.isEmpty())
                    emit recordingsRemoved(removed);
            },
            Qt::QueuedConnection);
    };
    sink_.onDiscarded = [this](const std::string& name) {
        QMetaObject::invokeMethod(
            this,
            [this, file = QString::fromStdString(name)] {
                emit message(QStringLiteral("discarded %1: no audio").arg(file));
            },
            Qt::QueuedConnection);
    };
    audioTimer_.setInterval(100);
    connect(&audioTimer_, &QTimer::timeout, this, [this] {
        if (audioConnected() == audioFlowing_)
            return;
        audioFlowing_ = !audioFlowing_;
        emit audioChanged(audioFlowing_);
    });
    diskTimer_.setInterval(kDiskCheckMs);
    connect(&diskTimer_, &QTimer::timeout, this, &Recorder::checkDisk);
}

Recorder::~Recorder() {
    shutdown();
    if (capture_)
        capture_->stop();
    player_.stop();
    if (ownsRecordMemory_)
        ::shm_unlink((std::string("/") + kRecordMemory).c_str());
}

bool Recorder::start(QString* error) {
    std::error_code fsError;
    std::filesystem::create_directories(folder_, fsError);
    std::string problem;
    if (!createRecordMemory(ownsRecordMemory_, problem)) {
        *error = problem.empty() ? QStringLiteral("cannot create the shared memory /%1")
                                       .arg(QLatin1String(kRecordMemory))
                                 : QString::fromStdString(problem);
        return false;
    }
    bus_ = std::make_unique<ipc::WindowBus>(
        QDBusConnection::sessionBus(), QList<Message>{Message::BromControl},
        [this](Message, std::uint32_t c, std::uint32_t v) { return handle(c, v); },
        [] { return QStringLiteral("KOVO Recorder"); });
    // The program calls back while this side is still waiting for its answer.
    bus_->setServeWhileWaiting(true);
    if (!bus_->open()) {
        *error = QStringLiteral("no session bus");
        return false;
    }
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(QDBusConnection::sessionBus());
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& name) {
        if (name == ipc::WindowBus::serviceName(program_))
            lostProgram();
    });
    checkDisk();
    diskTimer_.start();
    capture_ = std::make_unique<AudioCapture>(settings_.source, settings_.sampleRate,
                                              [this](std::span<const float> s) { onAudio(s); });
    capture_->start();
    audioTimer_.start();
    offerLink();
    return true;
}

void Recorder::shutdown() {
    if (bus_ && program_ != ipc::kNoWindow)
        bus_->send(program_, Message::BromAnswer, code::kGoodbye, 0);
    setProgram(ipc::kNoWindow);
    std::lock_guard lock(mutex_);
    closeOpenInterval();
    gate_.linkLost();
}

// A program already on the bus learns of the recorder at once.
void Recorder::offerLink() {
    for (ipc::WindowHandle w : bus_->otherWindows())
        if (bus_->handlesOf(w).contains(QStringLiteral("BROMAnswer")) &&
            bus_->send(w, Message::BromAnswer, code::kHello, bus_->ownWindow()) == 1) {
            setProgram(w);
            return;
        }
}

void Recorder::setProgram(ipc::WindowHandle program) {
    if (program == program_)
        return;
    const bool wasLinked = linked();
    if (watcher_) {
        watcher_->setWatchedServices({});
        if (program != ipc::kNoWindow)
            watcher_->addWatchedService(ipc::WindowBus::serviceName(program));
    }
    program_ = program;
    if (wasLinked != linked())
        emit linkChanged(linked());
}

void Recorder::lostProgram() {
    setProgram(ipc::kNoWindow);
    std::lock_guard lock(mutex_);
    closeOpenInterval();
    gate_.linkLost();
}

void Recorder::closeOpenInterval() {
    if (openSince_ >= 0)
        figures_.openSeconds += double(clock_.elapsed() - openSince_) / 1000.0;
    openSince_ = -1;
    latencyFrom_ = -1;
}

std::int32_t Recorder::handle(std::uint32_t c, std::uint32_t value) {
    switch (c) {
    case code::kHello:
        // The program waits for this call to end before it can hear the answer.
        if (value != ipc::kNoWindow)
            QTimer::singleShot(0, this, [this, value] {
                if (bus_->send(value, Message::BromAnswer, code::kHello, bus_->ownWindow()) == 1)
                    setProgram(value);
            });
        return 1;
    case code::kAcknowledge:
        if (value != ipc::kNoWindow)
            setProgram(value);
        return 1;
    case code::kGoodbye:
        // Every program says goodbye as it closes, to everybody when it has
        // no recorder of its own: only the linked program's ends the link.
        if (bus_->callerIs(program_))
            lostProgram();
        return 1;
    case code::kRecordWritten:
        startEntry();
        return 1;
    case code::kScanMovedOn:
        endEntry();
        return 1;
    case code::kStartPlayback:
        return startPlayback();
    case code::kStopPlayback:
        player_.stop();
        return 1;
    case code::kSquelchOpened:
    case code::kSquelchClosed:
        setSquelch(c == code::kSquelchOpened);
        return 1;
    default:
        return 1;
    }
}

std::optional<EntryInfo> Recorder::readRecord() {
    std::vector<std::uint8_t> bytes;
    if (!memory_.read(kRecordMemory, bytes))
        return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(bytes.data() + 20);
    return EntryInfo{ipc::getU32(bytes, 4), std::int32_t(ipc::getU32(bytes, 8)),
                     cp932ToUtf8(std::string(text, ::strnlen(text, 64)))};
}

void Recorder::startEntry() {
    const auto entry = readRecord();
    if (!entry)
        return;
    if (refusing_) {
        // Nothing is written while the disk is nearly full; an earlier file is still closed.
        endEntry();
        emit message(QStringLiteral("not recording %1: the disk is nearly full")
                         .arg(QString::fromStdString(frequencyText(entry->frequencyHz))));
        return;
    }
    bool opened = false;
    bool keeping = false;
    {
        std::lock_guard lock(mutex_);
        closeOpenInterval();
        opened = gate_.entryStarted(*entry);
        keeping = gate_.keeping();
    }
    if (keeping) {
        std::lock_guard lock(mutex_);
        openSince_ = clock_.elapsed();
        latencyFrom_ = openSince_;
    }
    if (opened)
        emit recordingStarted(currentFile());
    else
        emit message(QStringLiteral("cannot write a recording: %1")
                         .arg(QString::fromStdString(sink_.lastError())));
}

void Recorder::endEntry() {
    std::lock_guard lock(mutex_);
    closeOpenInterval();
    gate_.entryEnded();
}

void Recorder::setSquelch(bool open) {
    {
        std::lock_guard lock(mutex_);
        const bool was = gate_.keeping();
        gate_.squelchChanged(open);
        const bool now = gate_.keeping();
        if (was && !now)
            closeOpenInterval();
        if (!was && now) {
            openSince_ = clock_.elapsed();
            latencyFrom_ = openSince_;
        }
    }
    emit squelchChanged(open);
}

std::int32_t Recorder::startPlayback() {
    const auto entry = readRecord();
    const auto file =
        entry ? findRecording(folder_, entry->frequencyHz, entry->time) : std::nullopt;
    if (!file || !player_.play(*file)) {
        if (entry)
            emit playbackRefused(entry->frequencyHz, entry->time);
        return -1;
    }
    emit playbackStarted(QString::fromStdString(file->filename().string()));
    return 0;
}

bool Recorder::play(const QString& name) {
    const auto file = folder_ / name.toStdString();
    if (name.contains(QLatin1Char('/')) || !player_.play(file))
        return false;
    emit playbackStarted(name);
    return true;
}

QString Recorder::currentFile() const {
    std::lock_guard lock(mutex_);
    return QString::fromStdString(sink_.currentName());
}

Recorder::Figures Recorder::figures() const {
    std::lock_guard lock(mutex_);
    return figures_;
}

void Recorder::checkDisk() {
    freeBytes_ = freeBytes(folder_);
    const bool refuse = freeBytes_ < (settings_.minFreeMegabytes << 20);
    if (refuse == refusing_)
        return;
    refusing_ = refuse;
    if (refuse)
        endEntry();
    emit diskStateChanged(refuse);
}

void Recorder::onAudio(std::span<const float> samples) {
    std::lock_guard lock(mutex_);
    const std::size_t written = gate_.audio(samples);
    if (written == 0)
        return;
    figures_.keptSeconds += double(written) / double(settings_.sampleRate);
    const qint64 from = latencyFrom_.exchange(-1);
    if (from >= 0)
        figures_.latenciesMs.push_back(double(clock_.elapsed() - from));
}

} // namespace kovo::recorder
