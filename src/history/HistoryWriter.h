#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <variant>
#include <vector>

#include "HistoryDatabase.h"

namespace kovo::history {

// One transmission as the store keeps it. Texts are UTF-8.
struct StoredHit {
    std::int64_t startUtc = 0;
    std::int64_t endUtc = 0;
    std::uint32_t frequencyHz = 0;
    std::string mode;
    int maxSignal = 0;
    std::string comment;
    bool imported = false;
};

// Writes the hit history on a thread of its own: callers only queue, so the
// thread that runs the scan never waits for the disk. Whatever is queued is
// written in one transaction as soon as the thread is free, so a killed
// program loses no more than the last moments. A store that cannot be
// opened or written pauses the history with one message; the writer tries
// to open it again now and then, and drops hits while it is paused.
class HistoryWriter {
public:
    using HitId = std::uint64_t;

    struct Options {
        std::string path;
        int retentionDays = 400;           // rows that began earlier go; 0 keeps everything
        std::function<std::int64_t()> now; // seconds since 1970 UTC; the system clock if empty
        std::chrono::milliseconds retryAfter{std::chrono::seconds(30)};
        std::chrono::milliseconds retentionEvery{std::chrono::hours(1)};
        int busyTimeoutMs = 2000;
        int retentionBatch = 2000; // rows deleted per transaction
    };
    // Called on the writer's thread, once each time the history pauses.
    using MessageListener = std::function<void(const std::string&)>;

    HistoryWriter(Options options, MessageListener onMessage);
    // Writes what is queued, then ends the thread.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // A hit in progress: its row is written at once, with end = start.
    HitId begin(const StoredHit& row);
    // Its end and the highest signal heard.
    void end(HitId hit, std::int64_t endUtc, int maxSignal);
    // Rows taken over from an older record of hits (the document's log):
    // written once in the store's life, marked imported.
    void importOnce(std::vector<StoredHit> rows);
    // The recorder kept audio for the hit that began at `startUtc`, or for
    // the nearest hit on the frequency without audio a second or two from it.
    void recordingKept(std::uint32_t frequencyHz, std::int64_t startUtc, std::string path);

    // Waits until everything queued so far has been written (or dropped)
    // and no retention pass is left to run.
    void flush();
    bool paused() const;

private:
    struct Begin {
        HitId id;
        StoredHit row;
    };
    struct End {
        HitId id;
        std::int64_t endUtc;
        int maxSignal;
    };
    struct Import {
        std::vector<StoredHit> rows;
    };
    struct Recording {
        std::uint32_t frequencyHz;
        std::int64_t startUtc;
        std::string path;
    };
    using Operation = std::variant<Begin, End, Import, Recording>;

    void enqueue(Operation op);
    void run();
    bool ensureOpen();
    StoreError write(std::vector<Operation>& batch);
    StoreError apply(const Operation& op);
    std::int64_t startOfHitRecorded(std::uint32_t frequencyHz, std::int64_t startUtc);
    // Deletes one batch of old rows; false when nothing was left to delete.
    bool retentionStep();
    void pause(const std::string& message);
    std::int64_t nowSeconds() const;

    Options options_;
    MessageListener onMessage_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Operation> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    bool paused_ = false;
    bool retentionDue_ = true;
    HitId nextId_ = 1;

    // The writer thread's own.
    std::unique_ptr<HistoryDatabase> db_;
    std::unordered_map<HitId, std::int64_t> rowOfHit_;
    std::chrono::steady_clock::time_point retryAt_{};
    std::chrono::steady_clock::time_point nextRetention_{};
    bool messageShown_ = false;

    std::thread thread_;
};

} // namespace kovo::history
