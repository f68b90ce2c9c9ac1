#include "app/dialogs/WebRemoteDialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <qrencode.h>

#include <memory>

namespace kovo {

QImage qrCodeImage(const QString& text, int scale) {
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return {};
    constexpr int kQuietModules = 4;
    const int modules = code->width + 2 * kQuietModules;
    QImage image(modules * scale, modules * scale, QImage::Format_Mono);
    image.fill(1); // white
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        image.setPixel((x + kQuietModules) * scale + dx,
                                       (y + kQuietModules) * scale + dy, 0);
    return image;
}

WebRemoteDialog::WebRemoteDialog(const WebRemoteSettings& settings, Actions actions,
                                 QWidget* parent)
    : KovoDialog(QStringLiteral(" Web remote"), 200, 214, parent), settings_(settings),
      actions_(std::move(actions)) {
    enabled_ = addCheck(QStringLiteral("Serve the web remote"), du(4, 4, 190, 12));
    enabled_->setChecked(settings_.enabled);

    addLabel(QStringLiteral("TCP port"), du(4, 22, 50, 10));
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("webPort"));
    port_->setAccessibleName(QStringLiteral("TCP port"));
    port_->setRange(1, 65535);
    port_->setValue(settings_.port);
    port_->setGeometry(du(60, 20, 50, 14));

    otherDevices_ =
        addCheck(QStringLiteral("Allow other devices on the network"), du(4, 38, 190, 12));
    otherDevices_->setChecked(settings_.otherDevices);

    // The link wraps anywhere, so that it shows whole; dark text on white
    // whatever the dialog's colours.
    link_ = new QPlainTextEdit(this);
    link_->setObjectName(QStringLiteral("webLink"));
    link_->setAccessibleName(QStringLiteral("Link"));
    link_->setReadOnly(true);
    link_->setWordWrapMode(QTextOption::WrapAnywhere);
    link_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    link_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette readable = link_->palette();
    readable.setColor(QPalette::Base, Qt::white);
    readable.setColor(QPalette::Text, Qt::black);
    link_->setPalette(readable);
    link_->setGeometry(du(4, 54, 150, 34));

    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("webCopyLink"));
    copy->setAccessibleName(QStringLiteral("Copy the link"));
    copy->setGeometry(du(158, 54, 38, 14));
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(link_->toPlainText()); });

    code_ = new QLabel(this);
    code_->setObjectName(QStringLiteral("webQrCode"));
    code_->setAccessibleName(QStringLiteral("QR code of the link"));
    code_->setAlignment(Qt::AlignCenter);
    code_->setGeometry(du(4, 90, 192, 100));

    auto* renew = new QPushButton(QStringLiteral("New token"), this);
    renew->setObjectName(QStringLiteral("webNewToken"));
    renew->setAccessibleName(QStringLiteral("New token"));
    renew->setAccessibleDescription(QStringLiteral("Every link given out before stops working."));
    renew->setGeometry(du(4, 194, 60, 14));
    connect(renew, &QPushButton::clicked, this, [this] {
        actions_.renewToken();
        showLink();
    });

    addOk(du(110, 194, 40, 14));
    addCancel(du(156, 194, 40, 14));
    showLink();
}

void WebRemoteDialog::showLink() {
    const QString link = actions_.link();
    link_->setPlainText(link);
    const QImage image = qrCodeImage(link, 3);
    code_->setPixmap(QPixmap::fromImage(image));
}

void WebRemoteDialog::storeValues() {
    WebRemoteSettings next = settings_;
    next.enabled = enabled_->isChecked();
    next.port = port_->value();
    next.otherDevices = otherDevices_->isChecked();
    if (next != settings_)
        actions_.store(next);
}

} // namespace kovo
