#include "app/dialogs/CwPitchDialog.h"

#include "app/AppSettingsWriter.h"

namespace kovo {

CwPitchDialog::CwPitchDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral("  CW PITCH"), 94, 105, parent), writer_(writer), pitch_(this) {
    for (int i = 0; i < 8; ++i)
        pitch_.add(addRadio(QStringLiteral("%1Hz").arg(400 + 100 * i), du(4, 4 + 12 * i, 40, 12)));
    addOk(du(52, 60, 36, 14));
    addCancel(du(52, 84, 36, 14));
    pitch_.select(writer_.settings().cwPitch);
}

void CwPitchDialog::storeValues() {
    writer_.setCwPitch(pitch_.selectedOr(writer_.settings().cwPitch));
}

} // namespace kovo
