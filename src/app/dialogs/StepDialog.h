#pragma once
#include "app/dialogs/KovoDialog.h"
#include "app/dialogs/RadioGroup.h"

#include <functional>

namespace kovo {

// "  STEP": the sub-step of right-button tuning, 1..15 a row of the step
// table, 16 ten times the main step. The chosen value goes to `store` on OK
// (the caller puts it in the document and marks the document modified).
class StepDialog final : public KovoDialog {
    Q_OBJECT
public:
    StepDialog(int subStep, std::function<void(int subStep)> store, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    std::function<void(int)> store_;
    RadioGroup steps_;
};

} // namespace kovo
