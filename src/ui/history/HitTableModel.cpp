#include "HitTableModel.h"

#include <QFileInfo>

namespace kovo {

namespace {

const char* const kHeaders[HitTableModel::ColumnCount] = {
    "Time", "Frequency (MHz)", "Mode", "Duration", "Max signal", "Comment", "Recording"};

} // namespace

QString formatDuration(std::int64_t seconds) {
    const auto s = static_cast<int>(seconds % 60);
    const auto m = static_cast<int>(seconds / 60 % 60);
    const auto h = static_cast<qint64>(seconds / 3600);
    if (h > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(m, 2, 10, QChar('0'))
            .arg(s, 2, 10, QChar('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QChar('0'));
}

HitTableModel::HitTableModel(const history::HistoryQuery& query, history::UtcOffsetAt offset,
                             QObject* parent)
    : QAbstractTableModel(parent), query_(query), offset_(std::move(offset)) {}

void HitTableModel::setFilter(const history::HitFilter& filter) {
    beginResetModel();
    filter_ = filter;
    newestId_ = query_.newestId();
    rows_ = query_.page(filter_, std::nullopt, kPageSize);
    atEnd_ = rows_.size() < static_cast<std::size_t>(kPageSize);
    endResetModel();
}

const history::HitRow* HitTableModel::hit(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size()
               ? &rows_[static_cast<std::size_t>(row)]
               : nullptr;
}

bool HitTableModel::isStale() const {
    return query_.newestId() != newestId_;
}

int HitTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HitTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HitTableModel::display(const history::HitRow& hit, int column) const {
    switch (column) {
    case Time:
        return QString::fromStdString(history::formatLocalTime(hit.startUtc, offset_));
    case Frequency:
        return QString::fromStdString(history::formatMegahertz(hit.frequencyHz));
    case Mode:
        return QString::fromStdString(hit.mode);
    case Duration:
        return formatDuration(hit.durationSeconds());
    case MaxSignal:
        return QVariant::fromValue(hit.maxSignal);
    case Comment:
        return QString::fromStdString(hit.comment);
    case Recording:
        return hit.recording ? QFileInfo(QString::fromStdString(*hit.recording)).fileName()
                             : QString();
    default:
        return {};
    }
}

QVariant HitTableModel::data(const QModelIndex& index, int role) const {
    const history::HitRow* row = index.isValid() ? hit(index.row()) : nullptr;
    if (!row)
        return {};
    if (role == Qt::DisplayRole)
        return display(*row, index.column());
    if (role == Qt::ToolTipRole && index.column() == Recording && row->recording)
        return QString::fromStdString(*row->recording);
    if (role == Qt::TextAlignmentRole &&
        (index.column() == Frequency || index.column() == Duration || index.column() == MaxSignal))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant HitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount)
        return QString::fromLatin1(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool HitTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void HitTableModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || atEnd_ || rows_.empty())
        return;
    const history::HitRow& last = rows_.back();
    auto more = query_.page(filter_, history::HitCursor{last.startUtc, last.id}, kPageSize);
    atEnd_ = more.size() < static_cast<std::size_t>(kPageSize);
    if (more.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
    endInsertRows();
}

} // namespace kovo
