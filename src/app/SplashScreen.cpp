#include "SplashScreen.h"

#include "link/TimerIds.h"
#include "link/TimerService.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>

namespace kovo {

SplashScreen::SplashScreen(std::unique_ptr<TimerService> timers, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      timers_(std::move(timers)), picture_(artwork()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(picture_.size());
    timers_->setHandler([this](int id) {
        if (id == TimerSplash)
            dismiss();
    });
}

SplashScreen::~SplashScreen() {
    qApp->removeEventFilter(this);
    timers_->killTimer(TimerSplash);
}

void SplashScreen::start() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    qApp->installEventFilter(this);
    timers_->setTimer(TimerSplash, durationMs);
    show();
}

QPixmap SplashScreen::artwork() {
    QPixmap pixmap(360, 150);
    pixmap.fill(QColor(0, 0, 64));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor amber(255, 224, 0);
    painter.setPen(QPen(amber, 2));
    painter.drawRect(pixmap.rect().adjusted(6, 6, -7, -7));
    QFont title(QStringLiteral("IPAGothic"));
    title.setPixelSize(44);
    title.setWeight(QFont::DemiBold);
    painter.setFont(title);
    painter.drawText(QRect(0, 24, pixmap.width(), 56), Qt::AlignCenter, QStringLiteral("KOVO3000"));
    QFont small(QStringLiteral("IPAGothic"));
    small.setPixelSize(12);
    painter.setFont(small);
    painter.setPen(QColor(255, 255, 0));
    painter.drawText(QRect(0, 86, pixmap.width(), 18), Qt::AlignCenter,
                     QStringLiteral("AR3000 / AR3000A Receiver Control"));
    painter.drawText(QRect(0, 106, pixmap.width(), 18), Qt::AlignCenter,
                     QStringLiteral("Version %1").arg(QCoreApplication::applicationVersion()));
    return pixmap;
}

bool SplashScreen::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        dismiss();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void SplashScreen::dismiss() {
    if (dismissed_)
        return;
    dismissed_ = true;
    qApp->removeEventFilter(this);
    timers_->killTimer(TimerSplash);
    close();
}

} // namespace kovo
