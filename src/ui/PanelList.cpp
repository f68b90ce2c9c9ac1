#include "ui/PanelList.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

namespace kovo {

PanelList::PanelList(int id, const QRect& closedRect, const QFont& font, QWidget* parent)
    : QComboBox(parent), id_(id)
{
    setGeometry(closedRect);
    setFont(font);
    setEditable(false);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setMaxVisibleItems(8);
    setStyleSheet(QStringLiteral(
        "QComboBox{background:black;color:rgb(0,255,0);border:1px solid rgb(96,112,150);"
        "padding:0px 0px 0px 2px;margin:0px;}"
        "QComboBox::drop-down{width:9px;border:none;background:rgb(40,52,80);}"
        "QComboBox::down-arrow{width:0px;height:0px;border-left:3px solid transparent;"
        "border-right:3px solid transparent;border-top:4px solid rgb(0,255,0);}"
        "QComboBox QAbstractItemView{background:black;color:rgb(0,255,0);"
        "selection-background-color:rgb(0,96,0);selection-color:rgb(200,255,200);"
        "border:1px solid rgb(96,112,150);outline:0px;}"
        "QComboBox QAbstractItemView::item{height:12px;padding:0px;}"));
    connect(this, &QComboBox::activated, this, [this](int row) { emit userChose(id_, row); });
}

void PanelList::showRow(int row)
{
    if (row == currentIndex())
        return;
    const QSignalBlocker block(this);
    setCurrentIndex(row);
}

void PanelList::setRows(const QStringList& rows)
{
    const QSignalBlocker block(this);
    clear();
    addItems(rows);
}

} // namespace kovo
