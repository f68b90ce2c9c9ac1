#include "app/dialogs/AfGainRangeDialog.h"

#include "app/AppSettingsWriter.h"

namespace kovo {

AfGainRangeDialog::AfGainRangeDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" AF Gain Range"), 94, 38, parent), writer_(writer), range_(this) {
    range_.add(addRadio(QStringLiteral("Small"), du(4, 4, 44, 12)));
    range_.add(addRadio(QStringLiteral("Large"), du(4, 20, 44, 12)));
    addOk(du(52, 4, 36, 14));
    addCancel(du(52, 20, 36, 14));
    range_.select(writer_.settings().afGainRange);
}

void AfGainRangeDialog::storeValues() {
    writer_.setAfGainRange(range_.selectedOr(writer_.settings().afGainRange));
}

} // namespace kovo
