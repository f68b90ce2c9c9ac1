#include "app/dialogs/KovoDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace kovo {

namespace {
// Close to the size of the classic dialog font, so that the dialog-unit
// layouts keep their proportions.
constexpr int kDialogFontPixels = 12;
// Room on the title bar beside the title (icon, close button, margins), in
// lines of the title's font.
constexpr int kTitleBarLinesBesideTitle = 5;
} // namespace

void applyDialogColours(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(0, 64, 0));
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

KovoDialog::KovoDialog(const QString& title, int widthDu, int heightDu, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont dialogFont = font();
    dialogFont.setPixelSize(kDialogFontPixels);
    setFont(dialogFont);
    applyDialogColours(this);

    const QFontMetricsF metrics(dialogFont);
    baseX_ = metrics.horizontalAdvance(
                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
             52.0;
    baseY_ = metrics.height();
    resizeDu(widthDu, heightDu);
}

void KovoDialog::accept() {
    storeValues();
    QDialog::accept();
}

int KovoDialog::duToPixelsX(int x) const {
    return static_cast<int>(std::lround(x * baseX_ / 4));
}
int KovoDialog::duToPixelsY(int y) const {
    return static_cast<int>(std::lround(y * baseY_ / 8));
}

QRect KovoDialog::du(int x, int y, int width, int height) const {
    return QRect(duToPixelsX(x), duToPixelsY(y), duToPixelsX(width), duToPixelsY(height));
}

int KovoDialog::widthFittingDu(const QString& text, int xDu, int marginDu, int minimumDu) const {
    const int textPixels = QFontMetrics(font()).boundingRect(text).width();
    int widthDu = minimumDu;
    while (duToPixelsX(widthDu - xDu - marginDu) < textPixels)
        ++widthDu;
    return widthDu;
}

void KovoDialog::resizeDu(int widthDu, int heightDu) {
    setFixedSize(std::max(duToPixelsX(widthDu), titleBarWidth()), duToPixelsY(heightDu));
}

int KovoDialog::titleBarWidth() const {
    // The window system draws the title in about the desktop's font, often
    // bold, beside the window's icon and close button.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    return metrics.horizontalAdvance(windowTitle().trimmed()) +
           kTitleBarLinesBesideTitle * metrics.height();
}

QRect KovoDialog::widenedToFit(QRect geometry, int wantedWidth) const {
    // Fonts here run wider than the classic dialog font; a caption may use the
    // free room up to the dialog's right edge instead of being cut off.
    const int room = width() - geometry.x();
    geometry.setWidth(std::max(geometry.width(), std::min(wantedWidth, room)));
    return geometry;
}

QRadioButton* KovoDialog::addRadio(const QString& text, const QRect& geometry) {
    auto* button = new QRadioButton(text, this);
    button->setGeometry(widenedToFit(geometry, button->sizeHint().width()));
    return button;
}

QCheckBox* KovoDialog::addCheck(const QString& text, const QRect& geometry) {
    auto* box = new QCheckBox(text, this);
    box->setGeometry(widenedToFit(geometry, box->sizeHint().width()));
    return box;
}

QLabel* KovoDialog::addLabel(const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    return label;
}

QPushButton* KovoDialog::addOk(const QRect& geometry, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(widenedToFit(geometry, button->sizeHint().width()));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &KovoDialog::accept);
    return button;
}

QPushButton* KovoDialog::addCancel(const QRect& geometry, const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(widenedToFit(geometry, button->sizeHint().width()));
    connect(button, &QPushButton::clicked, this, &KovoDialog::reject);
    return button;
}

} // namespace kovo
