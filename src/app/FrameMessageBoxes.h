#pragma once
#include "data/Notifier.h"
#include "ui/MessageBoxNotifier.h"

#include <string>

class QWidget;

namespace kovo {

// The frame's message boxes: the front panel's, plus the Yes/No/Cancel
// question asked before a modified document is replaced or the program ends.
class FrameMessageBoxes final : public Notifier {
public:
    explicit FrameMessageBoxes(QWidget* parent) : boxes_(parent), parent_(parent) {}
    void showMessage(const std::string& text) override { boxes_.showMessage(text); }
    void withdrawMessage(const std::string& text) override { boxes_.withdrawMessage(text); }
    bool askYesNo(const std::string& text) override { return boxes_.askYesNo(text); }
    Answer askYesNoCancel(const std::string& text) override;

private:
    MessageBoxNotifier boxes_;
    QWidget* parent_;
};

} // namespace kovo
