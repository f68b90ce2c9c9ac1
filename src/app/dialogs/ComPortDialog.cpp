#include "app/dialogs/ComPortDialog.h"

#include "app/AppSettingsWriter.h"
#include "app/HamlibTransport.h"
#include "rig/HamlibModels.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStandardItemModel>

namespace kovo {

namespace {

// The rows of the squelch choice of a Hamlib radio.
constexpr int kSquelchFromDcd = 0;
constexpr int kSquelchFromStrength = 1;

} // namespace

ComPortDialog::ComPortDialog(AppSettingsWriter& writer, const QStringList& availableDevices,
                             QWidget* parent)
    : KovoDialog(QCoreApplication::translate("ComPortDialog", " COM Port settings"), 112, 104,
                 parent),
      writer_(writer), port_(this), speed_(this), device_(this) {
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
    buildHamlibControls();

    port_.select(settings.portNum - 1);
    speed_.select(settings.commSpeed);
    shownKind_ = settings.useHamlib == 1 ? 2 : (settings.device == 0 ? 0 : 1);
    device_.select(shownKind_);
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
    const int kind = device_.selectedOr(settings.useHamlib == 1 ? 2 : settings.device);
    if (kind != 2)
        writer_.setDevice(kind);
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] != settings.comDevice[i])
            writer_.setComDevice(static_cast<int>(i) + 1, paths_[i]);
    }
    writer_.setHamlib(kind == 2 ? 1 : 0, chosenHamlibModel(),
                      hamlibPort_->text().trimmed().toStdString(), hamlibSpeed_->value());
    writer_.setHamlibSquelch(hamlibSquelch_->currentIndex() == kSquelchFromDcd,
                             hamlibThreshold_->value());
    kindChanged_ = kind != shownKind_;
}

// ---- a radio through Hamlib ----

namespace {

constexpr int kModelNumberRole = Qt::UserRole + 1;

// What the radio said of itself, in a line: its squelch report and its
// strength, each as read or as missing.
QString describeReadings(const rig::RigReadings& readings) {
    const QString squelch = !readings.squelchOpen   ? QStringLiteral("not reported")
                            : *readings.squelchOpen ? QStringLiteral("open")
                                                    : QStringLiteral("closed");
    const QString strength = readings.strengthDb
                                 ? QStringLiteral("%1 dB over S9").arg(*readings.strengthDb)
                                 : QStringLiteral("not reported");
    return QStringLiteral("The radio answers. Squelch (DCD): %1. Strength: %2.")
        .arg(squelch, strength);
}

} // namespace

void ComPortDialog::buildHamlibControls() {
    const AppSettings& settings = writer_.settings();
    device_.add(addRadio(QStringLiteral("Hamlib"), du(116, 4, 60, 12)));

    addLabel(QStringLiteral("Find"), du(116, 18, 24, 12));
    hamlibSearch_ = new QLineEdit(this);
    hamlibSearch_->setObjectName(QStringLiteral("hamlibSearch"));
    hamlibSearch_->setAccessibleName(QStringLiteral("Find a Hamlib model by maker or name"));
    hamlibSearch_->setGeometry(du(142, 18, 130, 12));

    hamlibModels_ = new QStandardItemModel(this);
    for (const rig::HamlibModel& model : rig::hamlibModels()) {
        auto* item = new QStandardItem(
            QStringLiteral("%1 %2 (%3)")
                .arg(QString::fromStdString(model.maker), QString::fromStdString(model.name))
                .arg(model.number));
        item->setData(model.number, kModelNumberRole);
        item->setEditable(false);
        hamlibModels_->appendRow(item);
    }
    hamlibFilter_ = new QSortFilterProxyModel(this);
    hamlibFilter_->setSourceModel(hamlibModels_);
    hamlibFilter_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    hamlibList_ = new QListView(this);
    hamlibList_->setObjectName(QStringLiteral("hamlibModels"));
    hamlibList_->setAccessibleName(QStringLiteral("Hamlib radio model"));
    hamlibList_->setModel(hamlibFilter_);
    hamlibList_->setGeometry(du(116, 32, 156, 36));
    connect(hamlibSearch_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const int chosen = chosenHamlibModel();
        hamlibFilter_->setFilterFixedString(text);
        selectHamlibModel(chosen);
    });

    addLabel(QStringLiteral("Port"), du(116, 70, 24, 12));
    hamlibPort_ = new QLineEdit(QString::fromStdString(settings.hamlibPort), this);
    hamlibPort_->setObjectName(QStringLiteral("hamlibPort"));
    hamlibPort_->setAccessibleName(QStringLiteral("Hamlib device path or host:port"));
    hamlibPort_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 or host:4532"));
    hamlibPort_->setGeometry(du(142, 70, 130, 12));

    addLabel(QStringLiteral("Speed"), du(116, 84, 24, 12));
    hamlibSpeed_ = new QSpinBox(this);
    hamlibSpeed_->setObjectName(QStringLiteral("hamlibSpeed"));
    hamlibSpeed_->setAccessibleName(QStringLiteral("Hamlib speed in bit/s, 0 for the model's"));
    hamlibSpeed_->setRange(0, 4000000);
    hamlibSpeed_->setSpecialValueText(QStringLiteral("model's default"));
    hamlibSpeed_->setValue(settings.hamlibSpeed);
    hamlibSpeed_->setGeometry(du(142, 84, 70, 12));

    auto* test = new QPushButton(QStringLiteral("Test"), this);
    test->setObjectName(QStringLiteral("hamlibTest"));
    test->setAccessibleName(QStringLiteral("Test the connection to the Hamlib radio"));
    test->setGeometry(du(216, 84, 56, 14));
    connect(test, &QPushButton::clicked, this, &ComPortDialog::testHamlibConnection);

    addLabel(QStringLiteral("Squelch"), du(116, 98, 30, 12));
    hamlibSquelch_ = new QComboBox(this);
    hamlibSquelch_->setObjectName(QStringLiteral("hamlibSquelch"));
    hamlibSquelch_->setAccessibleName(QStringLiteral("What opens the squelch of a Hamlib radio"));
    hamlibSquelch_->insertItem(kSquelchFromDcd, QStringLiteral("The radio's squelch (DCD)"));
    hamlibSquelch_->insertItem(kSquelchFromStrength, QStringLiteral("Signal strength"));
    hamlibSquelch_->setCurrentIndex(settings.hamlibUseDcd != 0 ? kSquelchFromDcd
                                                               : kSquelchFromStrength);
    hamlibSquelch_->setGeometry(du(148, 98, 124, 12));

    addLabel(QStringLiteral("Open at"), du(116, 112, 30, 12));
    hamlibThreshold_ = new QSpinBox(this);
    hamlibThreshold_->setObjectName(QStringLiteral("hamlibThreshold"));
    hamlibThreshold_->setAccessibleName(
        QStringLiteral("Signal strength that opens the squelch, in dB over S9"));
    hamlibThreshold_->setRange(-60, 60);
    hamlibThreshold_->setSuffix(QStringLiteral(" dB over S9"));
    hamlibThreshold_->setValue(settings.hamlibThreshold);
    hamlibThreshold_->setGeometry(du(148, 112, 124, 12));
    connect(hamlibSquelch_, &QComboBox::currentIndexChanged, this,
            &ComPortDialog::showThresholdInUse);
    showThresholdInUse();

    resizeDu(276, 148);
    hamlibStatus_ = addLabel(QString(), du(116, 126, 156, 20));
    hamlibStatus_->setObjectName(QStringLiteral("hamlibStatus"));
    hamlibStatus_->setAccessibleName(QStringLiteral("Hamlib connection test result"));
    hamlibStatus_->setWordWrap(true);

    selectHamlibModel(settings.hamlibModel);
}

void ComPortDialog::selectHamlibModel(int number) {
    const QModelIndexList found = hamlibFilter_->match(hamlibFilter_->index(0, 0), kModelNumberRole,
                                                       number, 1, Qt::MatchExactly);
    if (!found.isEmpty()) {
        hamlibList_->setCurrentIndex(found.first());
        hamlibList_->scrollTo(found.first());
    }
}

int ComPortDialog::chosenHamlibModel() const {
    const QModelIndex current = hamlibList_->currentIndex();
    return current.isValid() ? current.data(kModelNumberRole).toInt()
                             : writer_.settings().hamlibModel;
}

// The threshold counts only while the strength decides.
void ComPortDialog::showThresholdInUse() {
    hamlibThreshold_->setEnabled(hamlibSquelch_->currentIndex() == kSquelchFromStrength);
}

void ComPortDialog::showHamlibTestResult(const QString& text) {
    hamlibStatus_->setText(text);
    if (hamlibTest_)
        hamlibTest_->deleteLater();
    hamlibTest_ = nullptr;
}

// Opens the radio on a worker of its own, asks for the receiver's prompt and
// then for both readings, squelch report and strength; they show below, or
// Hamlib's words for the failure. The window stays live meanwhile.
void ComPortDialog::testHamlibConnection() {
    delete hamlibTest_;
    PortDescription port;
    port.kind = PortDescription::Kind::Hamlib;
    port.path = hamlibPort_->text().trimmed().toStdString();
    port.hamlib.model = chosenHamlibModel();
    port.hamlib.speed = hamlibSpeed_->value();
    auto* transport = new HamlibTransport(port, this);
    hamlibTest_ = transport;
    hamlibStatus_->setText(QStringLiteral("Testing…"));
    connect(transport, &PortTransport::readyRead, this, [transport] {
        if (transport->readAll().contains('>'))
            transport->takeReadings();
    });
    connect(transport, &HamlibTransport::readingsTaken, this,
            [this](const rig::RigReadings& readings) {
                showHamlibTestResult(describeReadings(readings));
            });
    connect(transport, &PortTransport::lost, this,
            [this](const QString& why) { showHamlibTestResult(why); });
    QString error;
    if (!transport->open(&error)) {
        hamlibStatus_->setText(error);
        delete transport;
        hamlibTest_ = nullptr;
        return;
    }
    transport->write("\r");
}

} // namespace kovo
