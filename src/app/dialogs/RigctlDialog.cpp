#include "app/dialogs/RigctlDialog.h"

#include <QCheckBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QSpinBox>

namespace kovo {

RigctlDialog::RigctlDialog(const RigctlSettings& settings,
                           std::function<void(const RigctlSettings&)> store, QWidget* parent)
    : KovoDialog(QStringLiteral(" Hamlib network server"), 150, 76, parent), settings_(settings),
      store_(std::move(store)) {
    enabled_ = addCheck(QStringLiteral("Serve the Hamlib network protocol"), du(4, 4, 142, 12));
    enabled_->setChecked(settings_.enabled);

    addLabel(QStringLiteral("TCP port"), du(4, 22, 50, 10));
    port_ = new QSpinBox(this);
    port_->setObjectName(QStringLiteral("rigctlPort"));
    port_->setAccessibleName(QStringLiteral("TCP port"));
    port_->setRange(1, 65535);
    port_->setValue(settings_.port);
    port_->setGeometry(du(60, 20, 50, 14));

    addLabel(QStringLiteral("Address"), du(4, 40, 50, 10));
    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("rigctlAddress"));
    address_->setAccessibleName(QStringLiteral("Address"));
    address_->setToolTip(QStringLiteral("127.0.0.1: this computer only; 0.0.0.0: every network"));
    address_->setText(QString::fromStdString(settings_.address));
    address_->setGeometry(du(60, 38, 86, 14));

    addOk(du(4, 58, 40, 14));
    addCancel(du(110, 58, 36, 14));
}

void RigctlDialog::storeValues() {
    RigctlSettings next = settings_;
    next.enabled = enabled_->isChecked();
    next.port = port_->value();
    const QString address = address_->text().trimmed();
    if (!QHostAddress(address).isNull())
        next.address = address.toStdString();
    // OK on what the dialog showed leaves the server as it runs, and a port
    // given for this run only stays unstored.
    if (next != settings_)
        store_(next);
}

} // namespace kovo
