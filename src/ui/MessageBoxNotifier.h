#pragma once
#include "data/Notifier.h"

#include <QList>
#include <QPointer>

class QMessageBox;
class QWidget;

namespace kovo {

// The caption of the program's window and of its message boxes.
inline constexpr const char* kProgramTitle = "KOVO3000";

// Message boxes over the main window. The texts are UTF-8.
//
// A message is shown without waiting for OK: the receiver link and the scan
// report problems from inside their own handlers, and a box that ran its own
// event loop there would let them be entered again before they are done. A
// text already on screen is not shown twice. Questions wait for the answer;
// only the user's own commands ask them.
class MessageBoxNotifier final : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text) override;
    void showMessageThen(const std::string& text, std::function<void()> closed) override;
    void withdrawMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

    // The message boxes on screen, oldest first.
    QList<QMessageBox*> openMessages() const;

private:
    QMessageBox* show(const std::string& text);

    QWidget* parent_;
    QList<QPointer<QMessageBox>> messages_;
};

} // namespace kovo
