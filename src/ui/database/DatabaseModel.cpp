#include "ui/database/DatabaseModel.h"

#include "ui/database/DatabaseLines.h"

namespace kovo {

DatabaseModel::DatabaseModel(const CKovo5Doc& doc, int view, QObject* parent)
    : QAbstractListModel(parent), doc_(doc), view_(view) {}

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

void DatabaseModel::rowChanged(int row) {
    if (row < 0 || row >= rows_)
        return;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void DatabaseModel::rowInserted(int row) {
    if (row < 0 || row > rows_)
        return;
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
    // The row numbers below the new row moved.
    if (row + 1 < rows_)
        emit dataChanged(index(row + 1), index(rows_ - 1), {Qt::DisplayRole});
}

void DatabaseModel::firstRowRemoved() {
    if (rows_ == 0)
        return;
    beginRemoveRows({}, 0, 0);
    --rows_;
    endRemoveRows();
}

void DatabaseModel::rowAppended() {
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
}

} // namespace kovo
