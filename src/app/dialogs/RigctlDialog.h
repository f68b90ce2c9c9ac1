#pragma once
#include "app/RigctlService.h"
#include "app/dialogs/KovoDialog.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace kovo {

// " Hamlib network server": whether other programs may reach the receiver
// through the Hamlib network protocol, on which TCP port and address. On OK
// the values go to `store` when the user changed any; an address that is not
// an IP address keeps the previous one.
class RigctlDialog final : public KovoDialog {
    Q_OBJECT
public:
    RigctlDialog(const RigctlSettings& settings, std::function<void(const RigctlSettings&)> store,
                 QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    RigctlSettings settings_;
    std::function<void(const RigctlSettings&)> store_;
    QCheckBox* enabled_ = nullptr;
    QSpinBox* port_ = nullptr;
    QLineEdit* address_ = nullptr;
};

} // namespace kovo
