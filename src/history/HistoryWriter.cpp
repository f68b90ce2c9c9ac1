#include "HistoryWriter.h"

#include <sqlite3.h>

#include <iterator>

namespace kovo::history {

namespace {

constexpr const char* kInsertHit =
    "INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, max_signal, comment, imported) "
    "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)";
constexpr const char* kEndHit =
    "UPDATE hit_rows SET end_utc = max(start_utc, ?2), max_signal = max(max_signal, ?3) "
    "WHERE id = ?1";
// The recorder names a file by the second it was handed the hit, which may
// be a second or two after the hit began in the program (a busy machine, the
// record handed again as the tuning changed): the file belongs to the
// nearest hit on its frequency that has none yet.
constexpr std::int64_t kJoinToleranceSeconds = 2;
constexpr const char* kHitForRecording =
    "SELECT h.start_utc FROM hit_rows h WHERE h.frequency_hz = ?1 "
    "AND h.start_utc BETWEEN ?2 - ?3 AND ?2 + ?3 AND NOT EXISTS (SELECT 1 FROM recordings r "
    "WHERE r.frequency_hz = h.frequency_hz AND r.start_utc = h.start_utc) "
    "ORDER BY abs(h.start_utc - ?2), h.start_utc LIMIT 1";
constexpr const char* kPutRecording =
    "INSERT OR REPLACE INTO recordings(frequency_hz, start_utc, path) VALUES(?1, ?2, ?3)";
constexpr const char* kDropOldHits =
    "DELETE FROM hit_rows WHERE id IN (SELECT id FROM hit_rows WHERE start_utc < ?1 LIMIT ?2)";
constexpr const char* kDropOldRecordings =
    "DELETE FROM recordings WHERE (frequency_hz, start_utc) IN (SELECT frequency_hz, start_utc "
    "FROM recordings WHERE start_utc < ?1 LIMIT ?2)";
constexpr const char* kLogImportedKey = "log_imported";
constexpr std::int64_t kSecondsPerDay = 86400;

StoreError stepDone(HistoryDatabase& db, Statement& statement) {
    const int result = statement.step();
    statement.reset();
    if (result != SQLITE_DONE)
        return db.lastError("The history store cannot be written");
    return {};
}

StoreError insertHit(HistoryDatabase& db, const StoredHit& row) {
    Statement insert = db.prepare(kInsertHit);
    insert.bind(1, row.startUtc)
        .bind(2, std::max(row.startUtc, row.endUtc))
        .bind(3, std::int64_t(row.frequencyHz))
        .bind(4, std::string_view(row.mode))
        .bind(5, std::int64_t(row.maxSignal))
        .bind(6, std::string_view(row.comment))
        .bind(7, std::int64_t(row.imported ? 1 : 0));
    return stepDone(db, insert);
}

} // namespace

HistoryWriter::HistoryWriter(Options options, MessageListener onMessage)
    : options_(std::move(options)), onMessage_(std::move(onMessage)) {
    thread_ = std::thread([this] { run(); });
}

HistoryWriter::~HistoryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

HistoryWriter::HitId HistoryWriter::begin(const StoredHit& row) {
    HitId id;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        queue_.push_back(Begin{id, row});
    }
    wake_.notify_one();
    return id;
}

void HistoryWriter::end(HitId hit, std::int64_t endUtc, int maxSignal) {
    enqueue(End{hit, endUtc, maxSignal});
}

void HistoryWriter::importOnce(std::vector<StoredHit> rows) {
    enqueue(Import{std::move(rows)});
}

void HistoryWriter::recordingKept(std::uint32_t frequencyHz, std::int64_t startUtc,
                                  std::string path) {
    enqueue(Recording{frequencyHz, startUtc, std::move(path)});
}

void HistoryWriter::enqueue(Operation op) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(op));
    }
    wake_.notify_one();
}

void HistoryWriter::flush() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return queue_.empty() && !busy_ && !retentionDue_; });
}

bool HistoryWriter::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

std::int64_t HistoryWriter::nowSeconds() const {
    if (options_.now)
        return options_.now();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void HistoryWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto ready = [this] { return stopping_ || !queue_.empty() || retentionDue_; };
        if (db_)
            wake_.wait_until(lock, nextRetention_, ready);
        else
            wake_.wait(lock, ready);
        if (!ready())
            retentionDue_ = true; // the hour is up
        if (stopping_ && queue_.empty())
            break;
        std::vector<Operation> batch(std::make_move_iterator(queue_.begin()),
                                     std::make_move_iterator(queue_.end()));
        queue_.clear();
        const bool retention = batch.empty() && retentionDue_;
        busy_ = true;
        lock.unlock();

        bool retentionLeft = false;
        if (ensureOpen()) {
            if (!batch.empty()) {
                if (const StoreError error = write(batch); !error.ok())
                    pause(error.message);
            } else if (retention) {
                retentionLeft = retentionStep();
            }
        }

        lock.lock();
        if (retention && !retentionLeft) {
            retentionDue_ = false;
            nextRetention_ = std::chrono::steady_clock::now() + options_.retentionEvery;
        }
        paused_ = !db_;
        busy_ = false;
        done_.notify_all();
    }
    lock.unlock();
    done_.notify_all();
}

bool HistoryWriter::ensureOpen() {
    if (db_)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (messageShown_ && now < retryAt_)
        return false;
    StoreError error;
    db_ = HistoryDatabase::open(options_.path, error, options_.busyTimeoutMs);
    if (!db_) {
        pause(error.message);
        return false;
    }
    messageShown_ = false;
    return true;
}

void HistoryWriter::pause(const std::string& message) {
    db_.reset();
    retryAt_ = std::chrono::steady_clock::now() + options_.retryAfter;
    if (messageShown_)
        return;
    messageShown_ = true;
    if (onMessage_)
        onMessage_("The hit history is paused: " + message +
                   ". Scanning goes on; hits are written again once the store can be used.");
}

StoreError HistoryWriter::write(std::vector<Operation>& batch) {
    if (StoreError error = db_->exec("BEGIN IMMEDIATE"); !error.ok())
        return {"The history store cannot be written: " + error.message};
    std::vector<HitId> begun;
    for (const Operation& op : batch) {
        if (const auto* b = std::get_if<Begin>(&op))
            begun.push_back(b->id);
        if (StoreError error = apply(op); !error.ok()) {
            db_->exec("ROLLBACK");
            for (HitId id : begun)
                rowOfHit_.erase(id);
            return error;
        }
    }
    if (StoreError error = db_->exec("COMMIT"); !error.ok()) {
        db_->exec("ROLLBACK");
        for (HitId id : begun)
            rowOfHit_.erase(id);
        return {"The history store cannot be written: " + error.message};
    }
    return {};
}

StoreError HistoryWriter::apply(const Operation& op) {
    if (const auto* b = std::get_if<Begin>(&op)) {
        StoreError error = insertHit(*db_, b->row);
        if (error.ok())
            rowOfHit_[b->id] = sqlite3_last_insert_rowid(db_->handle());
        return error;
    }
    if (const auto* e = std::get_if<End>(&op)) {
        const auto row = rowOfHit_.find(e->id);
        if (row == rowOfHit_.end())
            return {}; // its beginning was not written (the history was paused)
        const std::int64_t id = row->second;
        rowOfHit_.erase(row);
        Statement update = db_->prepare(kEndHit);
        update.bind(1, id).bind(2, e->endUtc).bind(3, std::int64_t(e->maxSignal));
        return stepDone(*db_, update);
    }
    if (const auto* i = std::get_if<Import>(&op)) {
        if (db_->meta(kLogImportedKey))
            return {};
        for (const StoredHit& row : i->rows) {
            StoredHit imported = row;
            imported.imported = true;
            if (StoreError error = insertHit(*db_, imported); !error.ok())
                return error;
        }
        return db_->setMeta(kLogImportedKey, std::to_string(nowSeconds()));
    }
    const auto& r = std::get<Recording>(op);
    Statement put = db_->prepare(kPutRecording);
    put.bind(1, std::int64_t(r.frequencyHz))
        .bind(2, startOfHitRecorded(r.frequencyHz, r.startUtc))
        .bind(3, std::string_view(r.path));
    return stepDone(*db_, put);
}

// Without such a hit the file keeps its own time: a hit written later at
// that second still finds it.
std::int64_t HistoryWriter::startOfHitRecorded(std::uint32_t frequencyHz, std::int64_t startUtc) {
    Statement find = db_->prepare(kHitForRecording);
    find.bind(1, std::int64_t(frequencyHz)).bind(2, startUtc).bind(3, kJoinToleranceSeconds);
    return find.step() == SQLITE_ROW ? find.integer(0) : startUtc;
}

bool HistoryWriter::retentionStep() {
    if (options_.retentionDays <= 0)
        return false;
    const std::int64_t cutoff =
        nowSeconds() - std::int64_t(options_.retentionDays) * kSecondsPerDay;
    int deleted = 0;
    for (const char* sql : {kDropOldHits, kDropOldRecordings}) {
        Statement drop = db_->prepare(sql);
        drop.bind(1, cutoff).bind(2, std::int64_t(options_.retentionBatch));
        if (const StoreError error = stepDone(*db_, drop); !error.ok()) {
            pause(error.message);
            return false;
        }
        deleted += sqlite3_changes(db_->handle());
    }
    return deleted > 0;
}

} // namespace kovo::history
