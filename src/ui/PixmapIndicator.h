#pragma once
#include <QPixmap>
#include <QWidget>

#include <functional>

namespace kovo {

// Shows one of a set of images chosen by index; the images are drawn on
// demand for the screen's pixel ratio. Repaints only when the index changes.
class PixmapIndicator : public QWidget {
    Q_OBJECT
public:
    using ImageFor = std::function<QPixmap(int index, qreal dpr)>;

    PixmapIndicator(const QRect& rect, ImageFor imageFor, QWidget* parent);

    void setIndex(int index);
    int index() const { return index_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ImageFor imageFor_;
    int index_ = 0;
};

} // namespace kovo
