#pragma once
#include "ui/PanelStackLayout.h"

#include <QPixmap>
#include <QWidget>

namespace kovo {

// A strip of the front panel: a fixed 555-pixel-wide widget with drawn
// backdrop artwork, kept as an image for the screen's pixel ratio.
class PanelBase : public QWidget {
    Q_OBJECT
public:
    PanelBase(PanelSlot slot, QWidget* parent);

    PanelSlot slot() const { return slot_; }

protected:
    virtual void paintBackdrop(QPainter& p) = 0;
    void paintEvent(QPaintEvent* event) override;
    // Makes Tab visit the panel's controls in the order given (the order a
    // user reads the face: group by group, each left to right and top to
    // bottom) rather than in the order they were made.
    static void orderTabChain(const QList<QWidget*>& controls);

private:
    PanelSlot slot_;
    QPixmap backdrop_;
};

// A centred single line of text painted straight on the plate; repaints only
// when the text changes.
class PanelText : public QWidget {
    Q_OBJECT
public:
    PanelText(const QRect& rect, const QFont& font, const QColor& colour, QWidget* parent);
    void showText(const QString& text);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString text_;
    QColor colour_;
};

} // namespace kovo
