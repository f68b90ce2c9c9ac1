#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kovo::history {

// Where the history lives: $XDG_DATA_HOME/Fennelworks/KOVO3000/history.sqlite,
// or ~/.local/share/... when XDG_DATA_HOME is unset or empty. Either argument
// may be null (read from the environment by the caller).
std::string historyPath(const char* xdgDataHome, const char* home);
// The same, read from this process's environment.
std::string defaultHistoryPath();

// The outcome of an operation on the store: empty when it worked, else the
// message to show (English, with SQLite's own words at the end).
struct StoreError {
    std::string message;
    bool ok() const { return message.empty(); }
};

// One prepared statement; finalised when it goes. Bind indices start at 1.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool valid() const { return statement_ != nullptr; }
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Back to the start with the bindings cleared.
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
};

// The hit history file, opened in WAL mode so that other programs (the
// recorder, sqlite3 on a terminal) may read and write it while the program
// runs. Opening creates the folders, the file and the schema where missing.
//
// Schema, version 1 (a contract: other programs read it):
//   hit_rows(id, start_utc, end_utc, frequency_hz, mode, max_signal, comment,
//            imported)        one row per transmission, written by the program
//   recordings(frequency_hz, start_utc, path)
//                             the audio file of a hit, written by the recorder
//   hits                      a view: hit_rows joined with recordings, with
//                             the column `recording` (NULL without a file)
//   meta(key, value)          "schema_version", "log_imported", ...
// Times are seconds since 1970, UTC; texts are UTF-8.
class HistoryDatabase {
public:
    // Opens the store at `path`; nullptr with `error` filled when it cannot
    // be opened, is not a database, or its schema cannot be made.
    // `busyTimeoutMs` is how long a statement waits for another writer's lock.
    static std::unique_ptr<HistoryDatabase> open(const std::string& path, StoreError& error,
                                                 int busyTimeoutMs = 2000);
    // Opens an existing store only to read it (another connection made it):
    // for readers on threads of their own.
    static std::unique_ptr<HistoryDatabase>
    openForReading(const std::string& path, StoreError& error, int busyTimeoutMs = 2000);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    sqlite3* handle() const { return db_; }
    const std::string& path() const { return path_; }

    // Runs statements that return no rows.
    StoreError exec(std::string_view sql);
    Statement prepare(std::string_view sql) const { return Statement(db_, sql); }
    // The last error SQLite reported on this connection, as a message.
    StoreError lastError(std::string_view what) const;

    std::optional<std::string> meta(std::string_view key) const;
    StoreError setMeta(std::string_view key, std::string_view value);

private:
    HistoryDatabase(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    StoreError createSchema();

    sqlite3* db_;
    std::string path_;
};

} // namespace kovo::history
