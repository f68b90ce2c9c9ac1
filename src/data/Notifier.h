#pragma once
#include <string>

namespace kovo {

// Modal messages to the user. The application shows message boxes; tests record.
// Texts are UTF-8.
class Notifier {
public:
    virtual ~Notifier() = default;
    // An information or error message with a single OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A question with Yes/No buttons; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

} // namespace kovo
