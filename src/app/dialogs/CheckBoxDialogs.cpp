#include "app/dialogs/CheckBoxDialogs.h"

#include "app/AppSettingsWriter.h"

#include <QCheckBox>

namespace kovo {

namespace {

int checkedValue(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

struct OptionBox {
    const char* caption;
    int ReceiverOptions::*option;
};

// Top to bottom as the dialog shows them.
constexpr std::array<OptionBox, 6> kOptionBoxes{{
    {"AM Sync. Det.", &ReceiverOptions::sam},
    {"Noise Blanker ", &ReceiverOptions::nb},
    {"AFC", &ReceiverOptions::afc},
    {"CTCSS", &ReceiverOptions::ctcss},
    {"Scramble Decoder", &ReceiverOptions::decoder},
    {"500Hz Filter", &ReceiverOptions::filter},
}};

} // namespace

DisplayPreferenceDialog::DisplayPreferenceDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" Display Preference"), 114, 41, parent), writer_(writer)
{
    topMost_ = addCheck(QStringLiteral("Autoscroll OFF "), du(4, 6, 104, 14));
    addOk(du(4, 24, 36, 14));
    addCancel(du(72, 24, 36, 14));
    topMost_->setChecked(writer_.settings().topMost != 0);
}

void DisplayPreferenceDialog::storeValues() { writer_.setTopMost(checkedValue(topMost_)); }

PowerControlDialog::PowerControlDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" Power control"), 138, 41, parent), writer_(writer)
{
    powerControl_ = addCheck(QStringLiteral("Power control"), du(4, 6, 128, 14));
    addOk(du(4, 24, 36, 14));
    addCancel(du(96, 24, 36, 14));
    powerControl_->setChecked(writer_.settings().powerControl != 0);
}

void PowerControlDialog::storeValues() { writer_.setPowerControl(checkedValue(powerControl_)); }

OptionsDialog::OptionsDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" Options"), 91, 115, parent), writer_(writer)
{
    const ReceiverOptions current = ReceiverOptions::from(writer_.settings());
    for (size_t i = 0; i < kOptionBoxes.size(); ++i) {
        boxes_[i] = addCheck(QString::fromLatin1(kOptionBoxes[i].caption),
                             du(4, 4 + 16 * static_cast<int>(i), 80, 12));
        boxes_[i]->setChecked(current.*kOptionBoxes[i].option != 0);
    }
    addOk(du(4, 100, 32, 14));
    addCancel(du(52, 100, 32, 14));
}

void OptionsDialog::storeValues()
{
    ReceiverOptions chosen;
    for (size_t i = 0; i < kOptionBoxes.size(); ++i)
        chosen.*kOptionBoxes[i].option = checkedValue(boxes_[i]);
    writer_.setOptions(chosen);
}

} // namespace kovo
