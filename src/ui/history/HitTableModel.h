#pragma once
#include "history/HistoryQuery.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

namespace kovo {

// The filtered hits, newest first, a page at a time: the first page comes
// with the filter, and each further page is asked for (through `moreWanted`)
// as the view scrolls, read elsewhere and handed in with append().
class HitTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Frequency, Mode, Duration, MaxSignal, Comment, Recording, ColumnCount };
    static constexpr int kPageSize = 200;

    explicit HitTableModel(history::UtcOffsetAt offset, QObject* parent = nullptr);

    // Starts again with the first page of the hits that pass `filter`, read
    // when the store's newest row id was `newestId`.
    void reset(const history::HitFilter& filter, std::vector<history::HitRow> firstPage,
               std::int64_t newestId);
    // The page after the last row arrived.
    void append(std::vector<history::HitRow> page);
    // Called with the last row's place when the view wants the next page.
    void setMoreWanted(std::function<void(const history::HitCursor&)> moreWanted) {
        moreWanted_ = std::move(moreWanted);
    }
    const history::HitFilter& filter() const { return filter_; }
    const history::HitRow* hit(int row) const;
    // The store's newest row id when the rows were read: a different one now
    // means new hits, whatever the filter.
    std::int64_t newestId() const { return newestId_; }
    bool isFetching() const { return fetching_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    QVariant display(const history::HitRow& hit, int column) const;

    history::UtcOffsetAt offset_;
    history::HitFilter filter_;
    std::vector<history::HitRow> rows_;
    std::function<void(const history::HitCursor&)> moreWanted_;
    bool atEnd_ = true;
    bool fetching_ = false;
    std::int64_t newestId_ = 0;
};

// "1:05" for 65 seconds, "1:00:05" from an hour on.
QString formatDuration(std::int64_t seconds);

// A signal index as the database panel's S-meter scale reads it, with the
// receiver's index after it: "S7 (7)", "S9+30 (12)".
QString formatSignal(std::int64_t index);

} // namespace kovo
