#include "app/dialogs/BandWidthDialog.h"

#include "app/AppSettingsWriter.h"

#include <QStringList>

namespace kovo {

BandWidthDialog::BandWidthDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" Default Band Width"), 170, 57, parent), writer_(writer),
      nfm_(this), wfm_(this), am_(this) {
    struct Row {
        const char* caption;
        int y;
        RadioGroup& group;
        QStringList choices;
    };
    const Row rows[] = {
        {"NFM", 4, nfm_, {"6kHz", "15kHz", "30kHz"}},
        {"WFM", 22, wfm_, {"110kHz", "220kHz"}},
        {"AM", 40, am_, {"6kHz", "15kHz"}},
    };
    for (const Row& row : rows) {
        addLabel(QString::fromLatin1(row.caption), du(4, row.y, 36, 10));
        for (int i = 0; i < row.choices.size(); ++i)
            row.group.add(addRadio(row.choices[i], du(48 + 40 * i, row.y, 36, 10)));
    }
    addOk(du(128, 20, 36, 14));
    addCancel(du(128, 38, 36, 14));

    const AppSettings& settings = writer_.settings();
    nfm_.select(settings.nfmBandWidth);
    wfm_.select(settings.wfmBandWidth);
    am_.select(settings.amBandWidth);
}

void BandWidthDialog::storeValues() {
    const AppSettings& settings = writer_.settings();
    writer_.setBandWidths(nfm_.selectedOr(settings.nfmBandWidth),
                          wfm_.selectedOr(settings.wfmBandWidth),
                          am_.selectedOr(settings.amBandWidth));
}

} // namespace kovo
