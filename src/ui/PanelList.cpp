#include "ui/PanelList.h"

#include "ui/PanelArt.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace kovo {
namespace {

constexpr int kRowHeight = 12;
constexpr int kVisibleRows = 8;

// Rows of the opened list at the panels' fixed height, whatever the style's
// menu-like rows would be.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
    }
};

} // namespace

PanelList::PanelList(int id, const QRect& closedRect, const QFont& font, QWidget* parent)
    : QComboBox(parent), id_(id) {
    setGeometry(closedRect);
    setFont(font);
    setEditable(false);
    // Tab reaches the list (Up and Down choose, Space opens it); a click
    // leaves the keyboard where it was.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
    // A drop-down that hangs below the field with a scroll bar, not a menu
    // laid over it showing every row.
    setStyleSheet(QStringLiteral("QComboBox{combobox-popup:0;}"));
    setMaxVisibleItems(kVisibleRows);
    setItemDelegate(new FixedRowDelegate(this));
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view()->setStyleSheet(QStringLiteral(
        "QAbstractItemView{background:black;color:rgb(0,255,0);"
        "selection-background-color:rgb(0,96,0);selection-color:rgb(200,255,200);"
        "border:1px solid rgb(96,112,150);outline:0px;}"
        "QAbstractItemView::item{padding:0px 2px;}"
        "QScrollBar:vertical{background:rgb(16,22,38);width:10px;margin:0px;}"
        "QScrollBar::handle:vertical{background:rgb(70,84,118);min-height:12px;}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}"));
    connect(this, &QComboBox::activated, this, [this](int row) { emit userChose(id_, row); });
}

void PanelList::showRow(int row) {
    if (row == currentIndex())
        return;
    const QSignalBlocker block(this);
    setCurrentIndex(row);
}

void PanelList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, Qt::black);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), QColor(70, 84, 118));
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), QColor(70, 84, 118));
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), QColor(120, 136, 176));
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), QColor(120, 136, 176));
    const QRect button(r.right() - 9, r.top() + 1, 9, r.height() - 2);
    p.fillRect(button, QColor(36, 46, 72));
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    const QPointF c = QRectF(button).center();
    arrow.moveTo(c.x() - 3, c.y() - 1.5);
    arrow.lineTo(c.x() + 3, c.y() - 1.5);
    arrow.lineTo(c.x(), c.y() + 2);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0, 230, 0));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    p.setPen(QColor(0, 255, 0));
    p.drawText(r.adjusted(2, 0, -11, 0), Qt::AlignVCenter | Qt::AlignLeft, currentText());
    if (hasFocus())
        art::drawFocusMark(p, r);
}

void PanelList::setRows(const QStringList& rows) {
    const QSignalBlocker block(this);
    clear();
    addItems(rows);
}

} // namespace kovo
