#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "PulseAudio.h"
#include "RecorderSettings.h"
#include "RecordingGate.h"
#include "SoundFile.h"
#include "ipc/Messages.h"
#include "ipc/SharedMemory.h"

class QDBusServiceWatcher;

namespace kovo::ipc {
class WindowBus;
}
namespace kovo::history {
class HistoryWriter;
}

namespace kovo::recorder {

// The recorder as a peer of the program on the window bus: it follows the
// program's codes, gates the captured audio into one file per log entry,
// plays recordings back, and keeps the folder within its cap.
class Recorder final : public QObject {
    Q_OBJECT
public:
    struct Figures {
        int files = 0;
        std::vector<double> latenciesMs; // squelch open to the first live audio in the file
        double keptSeconds = 0;          // audio written to files
        double openSeconds = 0;          // squelch open while a file was open
    };

    explicit Recorder(RecorderSettings settings, QObject* parent = nullptr);
    ~Recorder() override;

    // Joins the bus, creates the record memory, starts capturing and links
    // up with a program already running. False (with a reason) without a bus.
    bool start(QString* error);
    // Ends the link and closes the file.
    void shutdown();

    bool linked() const { return program_ != ipc::kNoWindow; }
    bool refusing() const { return refusing_; }
    bool audioConnected() const { return capture_ && capture_->connected(); }
    float level() const { return capture_ ? capture_->level() : 0.0f; }
    std::filesystem::path folder() const { return folder_; }
    QString currentFile() const;
    std::uint64_t freeSpace() const { return freeBytes_; }
    Figures figures() const;

    // Plays a file of the folder (the window's play buttons).
    bool play(const QString& name);
    void stopPlayback() { player_.stop(); }

signals:
    void linkChanged(bool linked);
    void recordingStarted(const QString& name);
    void recordingFinished(const QString& name);
    void recordingsRemoved(const QStringList& names);
    void playbackStarted(const QString& name);
    void playbackRefused(std::uint32_t frequencyHz, qint64 time);
    void squelchChanged(bool open);
    void diskStateChanged(bool refusing);
    void audioChanged(bool flowing);
    void message(const QString& text);

private:
    std::int32_t handle(std::uint32_t code, std::uint32_t value);
    std::optional<EntryInfo> readRecord();
    void offerLink();
    void setProgram(ipc::WindowHandle program);
    void lostProgram();
    void startEntry();
    void endEntry();
    void setSquelch(bool open);
    std::int32_t startPlayback();
    void checkDisk();
    // Adds the open squelch so far to the figures (the lock is held).
    void closeOpenInterval();
    void onAudio(std::span<const float> samples);

    RecorderSettings settings_;
    std::filesystem::path folder_;
    std::unique_ptr<ipc::WindowBus> bus_;
    ipc::PosixSharedMemory memory_;
    bool ownsRecordMemory_ = false;
    QDBusServiceWatcher* watcher_ = nullptr;
    ipc::WindowHandle program_ = ipc::kNoWindow;

    mutable std::mutex mutex_; // the gate and the sink, shared with the capture thread
    SoundFileSink sink_;
    RecordingGate gate_;
    std::unique_ptr<AudioCapture> capture_;
    Player player_;

    QTimer diskTimer_;
    QTimer audioTimer_;
    bool audioFlowing_ = false;
    std::atomic<std::uint64_t> freeBytes_{0};
    bool refusing_ = false;
    QElapsedTimer clock_;
    qint64 openSince_ = -1;               // when keeping began (ms), -1 when not keeping
    std::atomic<qint64> latencyFrom_{-1}; // squelch opened, no live audio kept yet
    Figures figures_;
    // Names each kept file in the program's hit history, on its own thread.
    std::unique_ptr<history::HistoryWriter> history_;
};

} // namespace kovo::recorder
