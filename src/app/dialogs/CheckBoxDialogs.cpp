#include "app/dialogs/CheckBoxDialogs.h"

#include "app/AppSettingsWriter.h"

#include <QCheckBox>
#include <QCoreApplication>

namespace kovo {

namespace {

int checkedValue(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

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

SingleCheckBoxDialog::SingleCheckBoxDialog(const QString& title, const QString& caption,
                                           int widthDu, AppSettingsWriter& writer,
                                           int AppSettings::*field,
                                           void (AppSettingsWriter::*store)(int), QWidget* parent)
    : KovoDialog(title, widthDu, 41, parent), writer_(writer), store_(store) {
    box_ = addCheck(caption, du(4, 6, widthDu - 10, 14));
    addOk(du(4, 24, 36, 14));
    addCancel(du(widthDu - 42, 24, 36, 14));
    box_->setChecked(writer_.settings().*field != 0);
}

void SingleCheckBoxDialog::storeValues() {
    (writer_.*store_)(checkedValue(box_));
}

DisplayPreferenceDialog::DisplayPreferenceDialog(AppSettingsWriter& writer, QWidget* parent)
    : SingleCheckBoxDialog(
          QCoreApplication::translate("DisplayPreferenceDialog", " Display Preference"),
          // The box keeps the panels above other windows.
          QCoreApplication::translate("DisplayPreferenceDialog", "Autoscroll OFF "), 114, writer,
          &AppSettings::topMost, &AppSettingsWriter::setTopMost, parent) {}

PowerControlDialog::PowerControlDialog(AppSettingsWriter& writer, QWidget* parent)
    : SingleCheckBoxDialog(QStringLiteral(" Power control"), QStringLiteral("Power control"), 138,
                           writer, &AppSettings::powerControl, &AppSettingsWriter::setPowerControl,
                           parent) {}

OptionsDialog::OptionsDialog(AppSettingsWriter& writer, QWidget* parent)
    : KovoDialog(QStringLiteral(" Options"), 91, 115, parent), writer_(writer) {
    const ReceiverOptions current = ReceiverOptions::from(writer_.settings());
    for (size_t i = 0; i < kOptionBoxes.size(); ++i) {
        boxes_[i] = addCheck(QString::fromLatin1(kOptionBoxes[i].caption),
                             du(4, 4 + 16 * static_cast<int>(i), 80, 12));
        boxes_[i]->setChecked(current.*kOptionBoxes[i].option != 0);
    }
    addOk(du(4, 100, 32, 14));
    addCancel(du(52, 100, 32, 14));
}

void OptionsDialog::storeValues() {
    ReceiverOptions chosen;
    for (size_t i = 0; i < kOptionBoxes.size(); ++i)
        chosen.*kOptionBoxes[i].option = checkedValue(boxes_[i]);
    writer_.setOptions(chosen);
}

} // namespace kovo
