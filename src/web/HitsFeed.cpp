#include "web/HitsFeed.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryQuery.h"

#include <QJsonObject>
#include <QTimer>

namespace kovo::web {

class HitsFeed::Reader final : public QObject {
public:
    Reader(std::string path, HitsFeed& feed) : path_(std::move(path)), feed_(feed) {}

    void poll() {
        if (!store_) {
            history::StoreError error;
            store_ = history::HistoryDatabase::openForReading(path_, error);
            if (!store_)
                return; // no hits yet: the writer makes the store with the first
        }
        const history::HistoryQuery query(*store_);
        const std::int64_t newest = query.newestId();
        if (newest == shownNewest_)
            return;
        shownNewest_ = newest;
        QJsonArray hits;
        std::map<std::int64_t, QString> recordings;
        for (const history::HitRow& row : query.page({}, std::nullopt, kLatestHits)) {
            hits.append(QJsonObject{
                {QStringLiteral("id"), double(row.id)},
                {QStringLiteral("start"), double(row.startUtc)},
                {QStringLiteral("seconds"), double(row.durationSeconds())},
                {QStringLiteral("hz"), double(row.frequencyHz)},
                {QStringLiteral("mode"), QString::fromStdString(row.mode)},
                {QStringLiteral("signal"), double(row.maxSignal)},
                {QStringLiteral("comment"), QString::fromStdString(row.comment)},
                {QStringLiteral("recording"), row.recording.has_value()},
            });
            if (row.recording)
                recordings.emplace(row.id, QString::fromStdString(*row.recording));
        }
        emit feed_.hitsChanged(hits, recordings);
    }

private:
    std::string path_;
    HitsFeed& feed_;
    std::unique_ptr<history::HistoryDatabase> store_;
    std::int64_t shownNewest_ = -1;
};

HitsFeed::HitsFeed(std::string storePath, int intervalMs, QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::map<std::int64_t, QString>>();
    reader_ = new Reader(std::move(storePath), *this);
    reader_->moveToThread(&thread_);
    // The timer is made on the reader's thread, where it runs.
    connect(&thread_, &QThread::started, reader_, [r = reader_, intervalMs] {
        auto* timer = new QTimer(r);
        connect(timer, &QTimer::timeout, r, [r] { r->poll(); });
        r->poll();
        timer->start(intervalMs);
    });
    connect(&thread_, &QThread::finished, reader_, &QObject::deleteLater);
    thread_.start();
}

HitsFeed::~HitsFeed() {
    thread_.quit();
    thread_.wait();
}

} // namespace kovo::web
