#include "HitTableModel.h"

#include "data/ValueTables.h"

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

QString formatSignal(std::int64_t index) {
    const std::string_view scale = signalLabel(index);
    const QString label = QString::fromLatin1(scale.data(), qsizetype(scale.size()));
    if (label.isEmpty())
        return QString::number(index);
    const QString units = label.startsWith(QLatin1Char('+')) ? QStringLiteral("S9") + label
                                                             : QStringLiteral("S") + label;
    return QStringLiteral("%1 (%2)").arg(units).arg(index);
}

HitTableModel::HitTableModel(history::UtcOffsetAt offset, QObject* parent)
    : QAbstractTableModel(parent), offset_(std::move(offset)) {}

void HitTableModel::reset(const history::HitFilter& filter, std::vector<history::HitRow> firstPage,
                          std::int64_t newestId) {
    beginResetModel();
    filter_ = filter;
    newestId_ = newestId;
    rows_ = std::move(firstPage);
    atEnd_ = rows_.size() < static_cast<std::size_t>(kPageSize);
    fetching_ = false;
    endResetModel();
}

void HitTableModel::append(std::vector<history::HitRow> page) {
    fetching_ = false;
    atEnd_ = page.size() < static_cast<std::size_t>(kPageSize);
    if (page.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(page.begin()),
                 std::make_move_iterator(page.end()));
    endInsertRows();
}

const history::HitRow* HitTableModel::hit(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size()
               ? &rows_[static_cast<std::size_t>(row)]
               : nullptr;
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
        return formatSignal(hit.maxSignal);
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
    return !parent.isValid() && !atEnd_ && !fetching_ && !rows_.empty();
}

void HitTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent) || !moreWanted_)
        return;
    fetching_ = true;
    moreWanted_(history::HitCursor{rows_.back().startUtc, rows_.back().id});
}

} // namespace kovo
