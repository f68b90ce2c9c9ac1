#pragma once
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RadioGroup.h"

namespace kovo {

class AppSettingsWriter;

// " AF Gain Range": "Small" (0) or "Large" (1), stored as "AfGainRange".
class AfGainRangeDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit AfGainRangeDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    RadioGroup range_;
};

} // namespace kovo
