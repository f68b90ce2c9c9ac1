#include "ui/database/DatabaseModel.h"

#include "data/CKovo5Doc.h"
#include "ui/database/DatabaseLines.h"

#include <algorithm>

namespace kovo {

using Kind = DocumentChange::Kind;

DatabaseModel::DatabaseModel(CKovo5Doc& doc, int view, QObject* parent)
    : QAbstractListModel(parent), doc_(doc), view_(view),
      subscription_(doc.changes().subscribe([this](const DocumentChange& c) { onChange(c); })) {}

int DatabaseModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant DatabaseModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return dblines::line(doc_, view_, index.row());
    return {};
}

Qt::ItemFlags DatabaseModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void DatabaseModel::rebuild() {
    beginResetModel();
    rows_ = dblines::rowCount(doc_, view_);
    endResetModel();
}

// ---- change notices ----

void DatabaseModel::onChange(const DocumentChange& change) {
    if (change.kind == Kind::DocumentReplaced) {
        rebuild();
        return;
    }
    switch (view_) {
    case dblines::ChannelView:
        onChannelChange(change);
        break;
    case dblines::LogView:
        onLogChange(change);
        break;
    case dblines::BankView:
        // A bank's line counts its channels, so a channel stored, removed
        // or given other banks changes it too.
        if (change.kind == Kind::BanksChanged || change.kind == Kind::LinkSetsChanged ||
            change.kind == Kind::ChannelInserted || change.kind == Kind::ChannelRemoved ||
            change.kind == Kind::ChannelChanged)
            allRowsChanged();
        break;
    case dblines::SearchBankView:
    case dblines::PassRangeView:
    case dblines::AutoRangeView:
        if (change.kind == Kind::RangesChanged)
            allRowsChanged();
        break;
    case dblines::SearchStringView:
        if (change.kind == Kind::SearchStringsChanged)
            allRowsChanged();
        break;
    default:
        break;
    }
}

void DatabaseModel::onChannelChange(const DocumentChange& change) {
    switch (change.kind) {
    case Kind::ChannelInserted:
        rowInserted(change.row);
        break;
    case Kind::ChannelChanged:
        rowChanged(change.row);
        break;
    case Kind::ChannelRemoved:
        rowRemoved(change.row);
        break;
    case Kind::ChannelMoved:
        rowMoved(change.row, change.toRow);
        break;
    default:
        break;
    }
}

void DatabaseModel::onLogChange(const DocumentChange& change) {
    switch (change.kind) {
    case Kind::LogAppended:
        rowAppended(change.droppedOldest);
        break;
    case Kind::LogUpdated:
        rowChanged(change.row);
        break;
    case Kind::LogCleared:
        rebuild();
        break;
    default:
        break;
    }
}

// ---- model calls ----
// A notice that finds the model out of step with the document (a change made
// behind its back) makes it read everything again.

bool DatabaseModel::inStep(int rowsBefore) {
    if (rows_ == rowsBefore)
        return true;
    rebuild();
    return false;
}

void DatabaseModel::rowChanged(int row) {
    if (row >= 0 && row < rows_)
        rowsChanged(row, row);
}

void DatabaseModel::rowInserted(int row) {
    if (!inStep(dblines::rowCount(doc_, view_) - 1) || row < 0 || row > rows_)
        return;
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
    // The row numbers below the new row moved.
    rowsChanged(row + 1, rows_ - 1);
}

void DatabaseModel::rowRemoved(int row) {
    if (!inStep(dblines::rowCount(doc_, view_) + 1) || row < 0 || row >= rows_)
        return;
    beginRemoveRows({}, row, row);
    --rows_;
    endRemoveRows();
    rowsChanged(row, rows_ - 1);
}

void DatabaseModel::rowMoved(int from, int to) {
    if (!inStep(dblines::rowCount(doc_, view_)) || from < 0 || from >= rows_ || to < 0 ||
        to >= rows_ || from == to)
        return;
    // Qt names the destination as counted before the move: one further down
    // when the row moves down.
    beginMoveRows({}, from, from, {}, from < to ? to + 1 : to);
    endMoveRows();
    rowsChanged(std::min(from, to), std::max(from, to));
}

void DatabaseModel::rowAppended(bool droppedOldest) {
    const int after = dblines::rowCount(doc_, view_);
    if (!inStep(droppedOldest ? after : after - 1))
        return;
    // The full ring replaced its oldest entry: the first line goes and the
    // new one comes at the end; a selected line stays with its entry.
    if (droppedOldest && rows_ > 0) {
        beginRemoveRows({}, 0, 0);
        --rows_;
        endRemoveRows();
    }
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
}

void DatabaseModel::rowsChanged(int first, int last) {
    if (first >= 0 && first <= last)
        emit dataChanged(index(first), index(last), {Qt::DisplayRole});
}

void DatabaseModel::allRowsChanged() {
    rowsChanged(0, rows_ - 1);
}

} // namespace kovo
