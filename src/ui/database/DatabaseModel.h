#pragma once
#include <QAbstractListModel>

namespace kovo {

class CKovo5Doc;

// One database view as a list model: one row per record, the line text made
// from the document when the view asks for it. The model keeps its own row
// count so that it changes only through the notifications below, which the
// panel calls after the document changed.
class DatabaseModel : public QAbstractListModel {
    Q_OBJECT
public:
    DatabaseModel(const CKovo5Doc& doc, int view, QObject* parent = nullptr);

    int view() const { return view_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Takes the document's row count and drops every cached line.
    void rebuild();
    void rowChanged(int row);
    void rowInserted(int row);
    void firstRowRemoved();
    void rowAppended();

private:
    const CKovo5Doc& doc_;
    int view_;
    int rows_ = 0;
};

} // namespace kovo
