#include "app/dialogs/StepDialog.h"

#include <array>

namespace kovo {

namespace {

struct StepButton {
    const char* caption;
    int x;
    int y;
};

// In sub-step order: button n stands for sub-step n + 1.
constexpr std::array<StepButton, 16> kStepButtons{{
    {"50Hz", 4, 4},
    {"100Hz", 4, 16},
    {"1kHz", 4, 28},
    {"5kHz", 4, 40},
    {"6.25kHz", 4, 52},
    {"9kHz", 4, 64},
    {"10kHz", 4, 76},
    {"12.5kHz", 52, 4},
    {"15kHz", 52, 16},
    {"20kHz", 52, 28},
    {"25kHz", 52, 40},
    {"50kHz", 52, 52},
    {"100kHz", 52, 64},
    {"1MHz", 52, 76},
    {"10MHz", 100, 4},
    {"Main X 10", 100, 28},
}};

} // namespace

StepDialog::StepDialog(int subStep, std::function<void(int)> store, QWidget* parent)
    : KovoDialog(QStringLiteral("  STEP"), 146, 93, parent), store_(std::move(store)),
      steps_(this) {
    for (const StepButton& button : kStepButtons)
        steps_.add(addRadio(QString::fromLatin1(button.caption), du(button.x, button.y, 40, 12)));
    addOk(du(100, 56, 40, 14));
    addCancel(du(100, 72, 40, 14));
    // A sub-step of 0 shows the first button.
    steps_.select(subStep == 0 ? 0 : subStep - 1);
}

void StepDialog::storeValues() {
    // Without a selection the sub-step stays as it was and the document unmodified.
    const int button = steps_.selected();
    if (button >= 0 && store_)
        store_(button + 1);
}

} // namespace kovo
