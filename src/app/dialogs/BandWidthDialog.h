#pragma once
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RadioGroup.h"

namespace kovo {

class AppSettingsWriter;

// " Default Band Width": the IF bandwidth the NFM, WFM and AM keys apply.
class BandWidthDialog final : public KovoDialog {
    Q_OBJECT
public:
    explicit BandWidthDialog(AppSettingsWriter& writer, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    AppSettingsWriter& writer_;
    RadioGroup nfm_;
    RadioGroup wfm_;
    RadioGroup am_;
};

} // namespace kovo
