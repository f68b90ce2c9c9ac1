#pragma once
#include <QLineEdit>
#include <QListView>
#include <QPointer>

#include <vector>

namespace kovo {

class DatabaseModel;

// The in-place editor: a yellow single-line field laid over one column of a
// list line. Enter stores, Escape discards; either hands the focus back to
// the list.
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    CellEditor(int id, const QFont& font, QWidget* parent);
    int id() const { return id_; }
    // Text that cannot be stored: a beep, and the focus stays here with the
    // text for correction.
    void refuse();
    // The focus comes back here, into the active window (after a message
    // about the text was closed).
    void takeFocusBack();
    int refusals() const { return refusals_; }

signals:
    void finished(bool store);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int id_;
    int refusals_ = 0;
};

// One database list: green lines on black in 6 x 12 pixel cells, 17 lines
// visible, extended multi-selection. It carries the state of the in-place
// editor open on it and reports what the user does; the panel decides.
class DatabaseList : public QListView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 12;
    static constexpr int kCellWidth = 6;
    static constexpr int kVisibleRows = 17;
    static constexpr int kTextInset = 2;

    // Field kinds of the editor.
    enum EditKind { NoEdit = 0, FrequencyEdit = 1, RangeEdit = 2, TextEdit = 3 };

    DatabaseList(int id, DatabaseModel& model, const QFont& font, QWidget* parent);

    int id() const { return id_; }
    DatabaseModel& databaseModel() const { return model_; }

    // ---- rows ----
    int rowCount() const;
    int topRow() const;
    void setTopRow(int row);
    int caretRow() const;
    // Moves the caret without touching the selection.
    void setCaretRow(int row);
    std::vector<int> selectedRows() const;
    void selectRows(const std::vector<int>& rows);
    void selectRow(int row);
    bool isRowSelected(int row) const;
    // The row under a point of the viewport, or the nearest row.
    int rowNearest(QPoint viewportPos) const;

    // ---- editor ----
    bool editorOpen() const { return first_ != nullptr; }
    // Opens one or two editors over `row` at the given columns (second < 0:
    // none), `width` characters wide, with the texts given.
    void openEditors(int row, int view, EditKind kind, int firstColumn, int secondColumn, int width,
                     const QString& firstText, const QString& secondText);
    void closeEditors();
    // The edited item now stands at `row`: the editors move over it.
    void moveEditorsTo(int row);
    CellEditor* firstEditor() const { return first_; }
    CellEditor* secondEditor() const { return second_; }
    int editedRow() const { return editedRow_; }
    int editedView() const { return editedView_; }
    EditKind editKind() const { return kind_; }
    bool commitOnFocus() const { return commitOnFocus_; }
    void setCommitOnFocus(bool commit) { commitOnFocus_ = commit; }

signals:
    // The right button went down at a point of the viewport, or the menu key
    // was pressed (the caret row's point).
    void contextMenuWanted(DatabaseList* list, QPoint viewportPos, bool fromKeyboard);
    // Double-click or Enter on the caret row.
    void rowActivated(DatabaseList* list);
    // F2: edit the caret row's first field.
    void editWanted(DatabaseList* list);
    // The user scrolled the list.
    void scrolledByUser(DatabaseList* list);
    // The list took the focus back from an open editor.
    void editorLeft(DatabaseList* list);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void onEditorFinished(bool store);
    CellEditor* makeEditor(int id, int column, const QString& text);
    void placeEditor(CellEditor* editor, int column);

    int id_;
    DatabaseModel& model_;
    QPointer<CellEditor> first_;
    QPointer<CellEditor> second_;
    int editedRow_ = -1;
    int editedView_ = -1;
    int firstColumn_ = 0;
    int secondColumn_ = -1;
    int editorWidth_ = 0;
    EditKind kind_ = NoEdit;
    bool commitOnFocus_ = true;
    bool editorKeyPending_ = false;
};

} // namespace kovo
