#include "ui/KeypadPresenter.h"

#include "scan/ReceiverOperations.h"
#include "scan/TuningRules.h"
#include "ui/ControlPanel2.h"
#include "ui/DisplayPresenter.h"
#include "ui/PanelEdit.h"
#include "ui/ViewInterfaces.h"

#include <cstdio>

namespace kovo {

void KeypadPresenter::onKey(int pad) {
    if (!ports_.core.operations().takesKeypadFrequency())
        return;
    switch (pad) {
    case ControlPanel2::Clear:
        entryText_.clear();
        ports_.display.refreshText();
        return;
    case ControlPanel2::Enter:
    case ControlPanel2::Kilohertz:
        tune(pad);
        return;
    default:
        append(pad);
        return;
    }
}

void KeypadPresenter::tune(int pad) {
    const std::uint64_t unit = pad == ControlPanel2::Enter ? kMegahertz : kKilohertz;
    // An empty entry is 0 Hz (the lowest frequency); a lone point is no
    // number and stays to be corrected. The entry is gone before the panels
    // show the new frequency.
    const std::string entry = entryText_.empty() ? "0" : entryText_;
    entryText_.clear();
    if (!ports_.core.operations().tuneToTyped(entry, unit)) {
        entryText_ = entry == "0" ? std::string() : entry;
        ports_.frequencyField.flashRefusal();
    }
}

void KeypadPresenter::append(int pad) {
    const char c = pad == ControlPanel2::Point ? '.' : char('0' + pad);
    // The entry stays a number that fits the frequency window: a second
    // point or a twelfth character is refused.
    const bool secondPoint = c == '.' && entryText_.find('.') != std::string::npos;
    if (secondPoint || entryText_.size() >= kMaxEntry) {
        ports_.frequencyField.flashRefusal();
        return;
    }
    entryText_ += c;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%11s", entryText_.c_str());
    ports_.frequencyField.showText(QString::fromLatin1(buf));
}

} // namespace kovo
