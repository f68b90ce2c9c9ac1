#pragma once
#include "history/HistoryQuery.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

namespace kovo {

// Runs queries on the hit history on a thread of its own, with a read-only
// connection of its own, so that a slow search never holds up the window.
// Jobs run one after another in the order they were given.
class HistoryReader final {
public:
    // What a job gets: the query, or null with the reason when the store
    // cannot be read.
    struct Access {
        const history::HistoryQuery* query = nullptr;
        std::string error;
    };

    explicit HistoryReader(std::string path);
    // Waits for the running job to end; jobs not yet started are dropped.
    ~HistoryReader();
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Runs `job` on the reader's thread, then `done` with its result on
    // `receiver`'s thread. `receiver` must outlive the reader.
    template <typename Result>
    void run(std::function<Result(const Access&)> job, QObject* receiver,
             std::function<void(Result&)> done) {
        post([job, receiver, done](const Access& access) {
            auto result = std::make_shared<Result>(job(access));
            QMetaObject::invokeMethod(
                receiver, [done, result] { done(*result); }, Qt::QueuedConnection);
        });
    }

private:
    void post(std::function<void(const Access&)> job);
    const Access& access();

    std::string path_;
    QThread thread_;
    QObject* context_; // lives on thread_: the jobs are its queued calls
    // Made and used on thread_ only.
    std::unique_ptr<history::HistoryDatabase> store_;
    std::unique_ptr<history::HistoryQuery> query_;
    Access access_;
    bool opened_ = false;
};

} // namespace kovo
