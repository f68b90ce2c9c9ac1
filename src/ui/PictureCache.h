#pragma once
#include <QCache>
#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace kovo {

// Pictures of texts drawn lately, each under its own key, for as long as the
// look that shapes them (size, pixel ratio, font, colours) stays the same: a
// change of look drops them all. What is kept is bounded by its size in KiB,
// the least lately used going first. A scan goes round the same channels
// again and again, so most repaints copy a picture instead of laying out and
// drawing the text once more.
template <typename Look> class PictureCache {
public:
    explicit PictureCache(int kib) : pictures_(kib) {}

    // The picture kept for `key` in `look`, or one `draw(QPainter&)` paints
    // now on `size` logical pixels at `pixelRatio`.
    template <typename Draw>
    QPixmap picture(const Look& look, const QString& key, QSize size, qreal pixelRatio,
                    Draw&& draw) {
        if (!(look == look_)) {
            pictures_.clear();
            look_ = look;
        }
        if (const QPixmap* kept = pictures_.object(key))
            return *kept;
        QPixmap picture(size * pixelRatio);
        picture.setDevicePixelRatio(pixelRatio);
        {
            QPainter p(&picture);
            draw(p);
        }
        const qsizetype kib =
            qMax<qsizetype>(1, qsizetype(picture.width()) * picture.height() / 256);
        pictures_.insert(key, new QPixmap(picture), kib);
        return picture;
    }

    void clear() { pictures_.clear(); }

private:
    QCache<QString, QPixmap> pictures_;
    Look look_{};
};

} // namespace kovo
