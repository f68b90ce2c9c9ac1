#include "ui/database/DatabaseList.h"

#include "ui/PictureCache.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseModel.h"
#include "ui/database/StorableText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kovo {
namespace {

const QColor kText{0, 255, 0};
const QColor kSelectedBack{0, 112, 0};
const QColor kSelectedText{230, 255, 230};
const QColor kCaret{140, 220, 140};

// Paints a line character by character on the 6 x 12 cell grid, so that the
// columns hold whatever the font's own advances are; a double-byte character
// takes two cells and is centred in them. Each line's picture is kept: a
// scan moves the selection every step, and laying the characters out again
// each time costs more than the rest of the window's painting.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {DatabaseList::kCellWidth * 100, DatabaseList::kRowHeight};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        const qreal ratio = p->device()->devicePixelRatio();
        const QColor base = option.palette.color(QPalette::Base);
        const QString text = index.data(Qt::DisplayRole).toString();
        const LineLook look{option.font, ratio, base, r.size()};
        const QString key = (selected ? u'S' : u'N') + text;
        p->drawPixmap(r.topLeft(),
                      pictures_.picture(look, key, r.size(), ratio, [&](QPainter& line) {
                          const QRect area(QPoint(0, 0), r.size());
                          line.fillRect(area, selected ? kSelectedBack : base);
                          drawLine(line, area, text, selected, option);
                      }));
        if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Active)) {
            p->setPen(QPen(kCaret, 1, Qt::DotLine));
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
    }

private:
    // Room for some three hundred line pictures of a list.
    static constexpr int kKeptLinesKiB = 8 * 1024;
    struct LineLook {
        QFont font;
        qreal pixelRatio = 0;
        QColor base;
        QSize size;
        bool operator==(const LineLook&) const = default;
    };

    static void drawLine(QPainter& p, const QRect& r, const QString& text, bool selected,
                         const QStyleOptionViewItem& option) {
        p.setPen(selected ? kSelectedText : kText);
        p.setFont(option.font);
        const int baseline =
            r.top() + option.fontMetrics.ascent() + (r.height() - option.fontMetrics.height()) / 2;
        int x = r.left() + DatabaseList::kTextInset;
        // Blanks are skipped; every other character sits in its cells.
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const int columns = dblines::columnsOf(c.unicode());
            if (c != QLatin1Char(' ')) {
                const int advance = option.fontMetrics.horizontalAdvance(c);
                const int cell = DatabaseList::kCellWidth * columns;
                p.drawText(x + (cell - advance) / 2, baseline, QString(c));
            }
            x += DatabaseList::kCellWidth * columns;
            if (x > r.right())
                break;
        }
    }

    mutable PictureCache<LineLook> pictures_{kKeptLinesKiB};
};

} // namespace

// ---- CellEditor ----

CellEditor::CellEditor(int id, const QFont& font, QWidget* parent) : QLineEdit(parent), id_(id) {
    setFont(font);
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setStyleSheet(
        QStringLiteral("QLineEdit{background:rgb(255,255,0);color:black;border:0px;padding:0px;"
                       "selection-background-color:rgb(0,0,128);selection-color:white;}"));
    setAccessibleName(QStringLiteral("Edit field"));
    keepTypedTextStorable(this);
}

void CellEditor::refuse() {
    ++refusals_;
    QApplication::beep();
    setFocus();
}

void CellEditor::takeFocusBack() {
    setFocus();
    if (!isActiveWindow())
        activateWindow();
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit finished(true);
        return;
    case Qt::Key_Escape:
        emit finished(false);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

// ---- DatabaseList ----

DatabaseList::DatabaseList(int id, DatabaseModel& model, const QFont& font, QWidget* parent)
    : QListView(parent), id_(id), model_(model) {
    setModel(&model);
    setFont(font);
    setItemDelegate(new CellDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(false);
    setLayoutMode(QListView::SinglePass);
    // Colours through the palette: a style sheet on the list would route
    // every row paint through the style-sheet style.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, kText);
    setPalette(pal);
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{background:rgb(16,22,38);width:11px;margin:0px;}"
        "QScrollBar::handle:vertical{background:rgb(70,84,118);min-height:14px;"
        "border:1px solid rgb(96,112,150);}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}"));
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction)
            emit scrolledByUser(this);
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex&) { emit rowActivated(this); });
}

int DatabaseList::rowCount() const {
    return model_.rowCount();
}

int DatabaseList::topRow() const {
    // Scrolled by whole rows and no row hidden, the scroll bar counts rows:
    // its value is the top row, once a pending layout has set its range.
    const_cast<DatabaseList*>(this)->executeDelayedItemsLayout();
    return verticalScrollBar()->value();
}

void DatabaseList::setTopRow(int row) {
    // Makes sure the scroll range follows a rebuild before it is used.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(std::max(0, row));
}

int DatabaseList::caretRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : 0;
}

void DatabaseList::setCaretRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    selectionModel()->setCurrentIndex(model_.index(row), QItemSelectionModel::NoUpdate);
}

std::vector<int> DatabaseList::selectedRows() const {
    std::vector<int> rows;
    const QModelIndexList list = selectionModel()->selectedRows();
    rows.reserve(std::size_t(list.size()));
    for (const QModelIndex& i : list)
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    if (rows.size() > 5000)
        rows.resize(5000);
    return rows;
}

void DatabaseList::selectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < rowCount())
            selection.select(model_.index(row), model_.index(row));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void DatabaseList::selectRow(int row) {
    if (row >= 0 && row < rowCount())
        selectionModel()->select(model_.index(row), QItemSelectionModel::Select);
}

bool DatabaseList::isRowSelected(int row) const {
    return row >= 0 && row < rowCount() && selectionModel()->isRowSelected(row, {});
}

int DatabaseList::rowNearest(QPoint viewportPos) const {
    const QModelIndex i = indexAt(viewportPos);
    if (i.isValid())
        return i.row();
    const int n = rowCount();
    if (n == 0)
        return -1;
    return std::clamp(topRow() + viewportPos.y() / kRowHeight, 0, n - 1);
}

// ---- editor ----

void DatabaseList::placeEditor(CellEditor* editor, int column) {
    // The layout may be behind a row the document just added or removed.
    executeDelayedItemsLayout();
    const QRect item = visualRect(model_.index(editedRow_));
    editor->setGeometry(item.left() + kTextInset + kCellWidth * column, item.top(),
                        kCellWidth * editorWidth_, item.height());
}

CellEditor* DatabaseList::makeEditor(int id, int column, const QString& text) {
    auto* e = new CellEditor(id, font(), viewport());
    placeEditor(e, column);
    e->setText(text);
    e->show();
    connect(e, &CellEditor::finished, this, &DatabaseList::onEditorFinished);
    return e;
}

void DatabaseList::openEditors(int row, int view, EditKind kind, int firstColumn, int secondColumn,
                               int width, const QString& firstText, const QString& secondText) {
    closeEditors();
    editedRow_ = row;
    editedView_ = view;
    kind_ = kind;
    firstColumn_ = firstColumn;
    secondColumn_ = secondColumn;
    editorWidth_ = width;
    first_ = makeEditor(4000, firstColumn, firstText);
    if (secondColumn >= 0)
        second_ = makeEditor(4001, secondColumn, secondText);
    setTabOrder(first_, second_ ? second_.data() : first_.data());
    first_->setFocus();
}

void DatabaseList::closeEditors() {
    // Deleted later: a key handler of the editor may still be running.
    for (CellEditor* e : {first_.data(), second_.data()}) {
        if (e) {
            e->hide();
            e->deleteLater();
        }
    }
    first_ = nullptr;
    second_ = nullptr;
    kind_ = NoEdit;
}

void DatabaseList::moveEditorsTo(int row) {
    if (!editorOpen() || row < 0 || row >= rowCount())
        return;
    editedRow_ = row;
    placeEditor(first_, firstColumn_);
    if (second_)
        placeEditor(second_, secondColumn_);
}

void DatabaseList::onEditorFinished(bool store) {
    commitOnFocus_ = store;
    editorKeyPending_ = true;
    setFocus();
    editorKeyPending_ = false;
    if (editorOpen())
        emit editorLeft(this);
}

// ---- events ----

void DatabaseList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit contextMenuWanted(this, event->position().toPoint(), false);
        return;
    }
    QListView::mousePressEvent(event);
}

void DatabaseList::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->accept();
        return;
    }
    const QRect r = visualRect(model_.index(caretRow()));
    emit contextMenuWanted(this, r.isValid() ? r.center() : QPoint(4, 4), true);
}

void DatabaseList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (rowCount() > 0)
            emit rowActivated(this);
        return;
    case Qt::Key_F2:
        if (rowCount() > 0)
            emit editWanted(this);
        return;
    case Qt::Key_F10:
        if (event->modifiers() & Qt::ShiftModifier) {
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
            contextMenuEvent(&menu);
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

void DatabaseList::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    if (editorOpen() && !editorKeyPending_)
        emit editorLeft(this);
}

void DatabaseList::wheelEvent(QWheelEvent* event) {
    const int before = verticalScrollBar()->value();
    QListView::wheelEvent(event);
    if (verticalScrollBar()->value() != before)
        emit scrolledByUser(this);
}

} // namespace kovo
