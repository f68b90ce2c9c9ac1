#include "app/dialogs/ComPortDialog.h"

#include "app/AppSettingsWriter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QSerialPortInfo>

namespace kovo {

ComPortDialog::ComPortDialog(AppSettingsWriter& writer, const QStringList& availableDevices,
                             QWidget* parent)
    : KovoDialog(QStringLiteral(" COM Port settings"), 112, 104, parent), writer_(writer),
      port_(this), speed_(this), device_(this) {
    const AppSettings& settings = writer_.settings();
    paths_ = settings.comDevice;

    const char* portNames[] = {"COM1", "COM2", "COM3", "COM4"};
    for (int i = 0; i < 4; ++i)
        port_.add(addRadio(QString::fromLatin1(portNames[i]), du(4, 4 + 12 * i, 40, 12)));
    speed_.add(addRadio(QStringLiteral("4800bps"), du(56, 4, 52, 12)));
    speed_.add(addRadio(QStringLiteral("9600bps"), du(56, 16, 52, 12)));
    device_.add(addRadio(QStringLiteral("AR3000"), du(56, 40, 52, 12)));
    device_.add(addRadio(QStringLiteral("AR3000A"), du(56, 52, 52, 12)));

    // Which device file each COM port stands for on this machine.
    devicePath_ = new QComboBox(this);
    devicePath_->setObjectName(QStringLiteral("comDevice"));
    devicePath_->setEditable(true);
    devicePath_->setInsertPolicy(QComboBox::NoInsert);
    devicePath_->addItems(availableDevices);
    devicePath_->setGeometry(du(4, 68, 104, 14));

    addOk(du(4, 87, 40, 14));
    addCancel(du(70, 87, 36, 14));

    port_.select(settings.portNum - 1);
    speed_.select(settings.commSpeed);
    device_.select(settings.device);
    showDeviceOf(port_.selected());
    connect(port_.buttons(), &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        keepEditedDevice();
        showDeviceOf(id);
    });
}

QStringList ComPortDialog::serialDevicesOnThisMachine() {
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    return paths;
}

void ComPortDialog::showDeviceOf(int portIndex) {
    shownPort_ = portIndex;
    const bool known = portIndex >= 0 && portIndex < static_cast<int>(paths_.size());
    devicePath_->setEnabled(known);
    devicePath_->setEditText(known ? QString::fromStdString(paths_[static_cast<size_t>(portIndex)])
                                   : QString());
}

void ComPortDialog::keepEditedDevice() {
    const QString text = devicePath_->currentText().trimmed();
    if (shownPort_ >= 0 && shownPort_ < static_cast<int>(paths_.size()) && !text.isEmpty())
        paths_[static_cast<size_t>(shownPort_)] = text.toStdString();
}

void ComPortDialog::storeValues() {
    const AppSettings& settings = writer_.settings();
    keepEditedDevice();
    writer_.setPort(port_.selectedOr(settings.portNum - 1) + 1,
                    speed_.selectedOr(settings.commSpeed));
    writer_.setDevice(device_.selectedOr(settings.device));
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] != settings.comDevice[i])
            writer_.setComDevice(static_cast<int>(i) + 1, paths_[i]);
    }
}

} // namespace kovo
