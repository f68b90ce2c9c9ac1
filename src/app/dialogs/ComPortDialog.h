#pragma once
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RadioGroup.h"

#include <QStringList>
#include <array>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QSortFilterProxyModel;
class QSpinBox;
class QStandardItemModel;

namespace kovo {

class AppSettingsWriter;

// " COM Port settings": port COM1..COM4, speed 4800/9600 and receiver kind,
// plus the device each COM port opens. The third kind, "Hamlib", drives any
// radio Hamlib knows: its model from Hamlib's list (searchable by maker and
// name), its device or host:port and speed, and a test of the connection
// that never blocks the window. On OK the port and speed are stored, then
// the receiver kind, then any changed device paths, then the Hamlib radio
// and how its squelch is read (its own report, DCD, or its strength against
// a threshold); the caller then reopens the port. The test shows both
// readings as the radio gives them, so the user can see which one to trust.
class ComPortDialog final : public KovoDialog {
    Q_OBJECT
public:
    ComPortDialog(AppSettingsWriter& writer, const QStringList& availableDevices,
                  QWidget* parent = nullptr);

    // The serial devices present on this machine, for the device list.
    static QStringList serialDevicesOnThisMachine();
    // Whether OK stored another receiver kind than the dialog showed.
    bool receiverKindChanged() const { return kindChanged_; }

protected:
    void storeValues() override;

private:
    void showDeviceOf(int portIndex);
    void keepEditedDevice();
    void buildHamlibControls();
    void selectHamlibModel(int number);
    int chosenHamlibModel() const;
    void testHamlibConnection();
    void showHamlibTestResult(const QString& text);
    void showThresholdInUse();

    AppSettingsWriter& writer_;
    RadioGroup port_;
    RadioGroup speed_;
    RadioGroup device_;
    QComboBox* devicePath_ = nullptr;
    // Device paths being edited, one per COM port; the port they belong to.
    std::array<std::string, 4> paths_;
    int shownPort_ = -1;
    int shownKind_ = 0;
    bool kindChanged_ = false;

    QLineEdit* hamlibSearch_ = nullptr;
    QStandardItemModel* hamlibModels_ = nullptr;
    QSortFilterProxyModel* hamlibFilter_ = nullptr;
    QListView* hamlibList_ = nullptr;
    QLineEdit* hamlibPort_ = nullptr;
    QSpinBox* hamlibSpeed_ = nullptr;
    QComboBox* hamlibSquelch_ = nullptr;
    QSpinBox* hamlibThreshold_ = nullptr;
    QLabel* hamlibStatus_ = nullptr;
    QObject* hamlibTest_ = nullptr; // the connection being tested, if any
};

} // namespace kovo
