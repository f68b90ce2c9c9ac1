#include "HistoryDatabase.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kovo::history {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS hit_rows(
    id INTEGER PRIMARY KEY,
    start_utc INTEGER NOT NULL,
    end_utc INTEGER NOT NULL,
    frequency_hz INTEGER NOT NULL,
    mode TEXT NOT NULL,
    max_signal INTEGER NOT NULL,
    comment TEXT NOT NULL DEFAULT '',
    imported INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS hit_rows_by_start ON hit_rows(start_utc);
CREATE INDEX IF NOT EXISTS hit_rows_by_frequency ON hit_rows(frequency_hz, start_utc);
CREATE TABLE IF NOT EXISTS recordings(
    frequency_hz INTEGER NOT NULL,
    start_utc INTEGER NOT NULL,
    path TEXT NOT NULL,
    PRIMARY KEY(frequency_hz, start_utc)) WITHOUT ROWID;
CREATE VIEW IF NOT EXISTS hits AS
    SELECT h.id, h.start_utc, h.end_utc, h.frequency_hz, h.mode, h.max_signal, h.comment,
           r.path AS recording, h.imported
    FROM hit_rows h
    LEFT JOIN recordings r ON r.frequency_hz = h.frequency_hz AND r.start_utc = h.start_utc;
INSERT OR IGNORE INTO meta(key, value) VALUES('schema_version', '1');
)sql";

StoreError sqliteError(sqlite3* db, std::string_view what) {
    std::string message(what);
    if (db) {
        message += ": ";
        message += sqlite3_errmsg(db);
    }
    return {message};
}

} // namespace

std::string historyPath(const char* xdgDataHome, const char* home) {
    std::string base;
    if (xdgDataHome && *xdgDataHome)
        base = xdgDataHome;
    else
        base = std::string(home ? home : "") + "/.local/share";
    return base + "/Fennelworks/KOVO3000/history.sqlite";
}

std::string defaultHistoryPath() {
    return historyPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

Statement::Statement(sqlite3* db, std::string_view sql) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
        SQLITE_OK)
        statement_ = nullptr;
}

Statement::Statement(Statement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

int Statement::step() {
    return statement_ ? sqlite3_step(statement_) : SQLITE_MISUSE;
}

void Statement::reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string Statement::text(int column) const {
    const auto* bytes = sqlite3_column_text(statement_, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                               static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                 : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::open(const std::string& path, StoreError& error,
                                                       int busyTimeoutMs) {
    std::error_code ec;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = sqliteError(db, "The history store " + path + " cannot be opened");
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<HistoryDatabase> store(new HistoryDatabase(db, path));
    // Another writer (the recorder) may hold the lock for a moment.
    sqlite3_busy_timeout(db, busyTimeoutMs);
    error = store->exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    if (error.ok())
        error = store->createSchema();
    if (!error.ok()) {
        error.message = "The history store " + path + " cannot be used: " + error.message;
        return nullptr;
    }
    return store;
}

std::unique_ptr<HistoryDatabase>
HistoryDatabase::openForReading(const std::string& path, StoreError& error, int busyTimeoutMs) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = sqliteError(db, "The history store " + path + " cannot be opened");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    error = {};
    return std::unique_ptr<HistoryDatabase>(new HistoryDatabase(db, path));
}

HistoryDatabase::~HistoryDatabase() {
    sqlite3_close_v2(db_);
}

StoreError HistoryDatabase::exec(std::string_view sql) {
    char* message = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    StoreError error{message ? message : sqlite3_errmsg(db_)};
    sqlite3_free(message);
    return error;
}

StoreError HistoryDatabase::lastError(std::string_view what) const {
    return sqliteError(db_, what);
}

StoreError HistoryDatabase::createSchema() {
    return exec(kSchema);
}

std::optional<std::string> HistoryDatabase::meta(std::string_view key) const {
    Statement query = prepare("SELECT value FROM meta WHERE key = ?1");
    query.bind(1, key);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return query.text(0);
}

StoreError HistoryDatabase::setMeta(std::string_view key, std::string_view value) {
    Statement update = prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
    update.bind(1, key).bind(2, value);
    if (update.step() != SQLITE_DONE)
        return lastError("The history store cannot be written");
    return {};
}

} // namespace kovo::history
