#pragma once

#include <QJsonArray>
#include <QObject>
#include <QString>
#include <QThread>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace kovo::web {

// The latest hits of the history store for the web page, read on a thread of
// its own (the store is looked at once a second, and read again only when a
// hit was added), so that no query runs on the thread of the scan.
class HitsFeed final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLatestHits = 20;

    HitsFeed(std::string storePath, int intervalMs, QObject* parent = nullptr);
    ~HitsFeed() override;

signals:
    // On the thread that made the feed: newest first, and the recording file
    // of each hit that has one, by hit id.
    void hitsChanged(const QJsonArray& hits, const std::map<std::int64_t, QString>& recordings);

private:
    class Reader;
    QThread thread_;
    Reader* reader_ = nullptr;
};

} // namespace kovo::web
