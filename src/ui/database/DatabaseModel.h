#pragma once
#include "data/Notices.h"

#include <QAbstractListModel>

namespace kovo {

class CKovo5Doc;
struct DocumentChange;

// One database view as a list model: one row per record, the line text made
// from the document when the view asks for it. The model listens to the
// document's change notices and turns each into the matching model calls; it
// keeps its own row count so that its rows change only through those calls.
class DatabaseModel : public QAbstractListModel {
    Q_OBJECT
public:
    DatabaseModel(CKovo5Doc& doc, int view, QObject* parent = nullptr);

    int view() const { return view_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Takes the document's row count and drops every cached line.
    void rebuild();

private:
    void rowChanged(int row);
    void onChange(const DocumentChange& change);
    void onChannelChange(const DocumentChange& change);
    void onLogChange(const DocumentChange& change);
    // True when the model has `rowsBefore` rows; else it rebuilds.
    bool inStep(int rowsBefore);
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowMoved(int from, int to);
    void rowAppended(bool droppedOldest);
    void rowsChanged(int first, int last);
    void allRowsChanged();

    const CKovo5Doc& doc_;
    int view_;
    int rows_ = 0;
    Subscription subscription_;
};

} // namespace kovo
