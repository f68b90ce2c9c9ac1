#pragma once
#include "data/Notifier.h"

class QWidget;

namespace kovo {

// Modal message boxes over the main window. The texts are UTF-8.
class MessageBoxNotifier final : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace kovo
