#pragma once
#include "ui/PanelArt.h"

#include <QAbstractButton>
#include <QStringList>

namespace kovo {

// A key of the front panel whose caption is part of its image. State 0 is the
// "off" image pair; states 1.. are "on" pairs, each with its own caption (the
// AM key reads AM, SAM, SAL or SAH when lit). Tab reaches it without a
// click taking the keyboard away from the fields; Space or Enter presses it
// as a click does, and an amber ring shows when it has the focus.
class ImageKey : public QAbstractButton {
    Q_OBJECT
public:
    ImageKey(int id, const QRect& rect, QStringList captions, art::KeyStyle style, QWidget* parent);

    int id() const { return id_; }
    int state() const { return state_; }
    // Changes the image pair; repaints only when it differs.
    void setState(int state);
    art::KeyFace face() const;
    // A name for screen readers that says more than the lettering ("Memory
    // Channels" for MEM); kept whatever the state.
    void setSpokenName(const QString& name);

    QSize sizeHint() const override { return size(); }

signals:
    void activated(int id);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void describeState();

    int id_;
    int state_ = 0;
    QStringList captions_;
    art::KeyStyle style_;
    QString spokenName_;
};

} // namespace kovo
