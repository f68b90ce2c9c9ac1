#pragma once
#include "history/HistoryQuery.h"

#include <QAbstractTableModel>
#include <vector>

namespace kovo {

// The filtered hits, newest first, fetched a page at a time as the view
// scrolls: a store of millions of hits shows its first rows at once.
class HitTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Frequency, Mode, Duration, MaxSignal, Comment, Recording, ColumnCount };
    static constexpr int kPageSize = 200;

    HitTableModel(const history::HistoryQuery& query, history::UtcOffsetAt offset,
                  QObject* parent = nullptr);

    // Starts again from the newest hit that passes `filter`.
    void setFilter(const history::HitFilter& filter);
    const history::HitFilter& filter() const { return filter_; }
    const history::HitRow* hit(int row) const;
    // Hits were added to the store since the rows were read. Only the newest
    // row id is compared, so that a filter few hits pass costs nothing here.
    bool isStale() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    QVariant display(const history::HitRow& hit, int column) const;

    const history::HistoryQuery& query_;
    history::UtcOffsetAt offset_;
    history::HitFilter filter_;
    std::vector<history::HitRow> rows_;
    bool atEnd_ = true;
    std::int64_t newestId_ = 0;
};

// "1:05" for 65 seconds, "1:00:05" from an hour on.
QString formatDuration(std::int64_t seconds);

} // namespace kovo
