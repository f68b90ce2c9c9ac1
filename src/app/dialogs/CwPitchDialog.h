#pragma once
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RadioGroup.h"

namespace kovo {

class AppSettingsWriter;

// "  CW PITCH": 400 Hz to 1100 Hz in 100 Hz steps, stored as "CwPitch" 0..7.
class CwPitchDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit CwPitchDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    RadioGroup pitch_;
};

} // namespace kovo
