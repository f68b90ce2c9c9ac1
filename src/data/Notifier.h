#pragma once
#include <functional>
#include <string>

namespace kovo {

// Modal messages to the user. The application shows message boxes; tests record.
// Texts are UTF-8.
class Notifier {
public:
    virtual ~Notifier() = default;
    // An information or error message with a single OK button.
    virtual void showMessage(const std::string& text) = 0;
    // The same, and `closed` runs once the user has dismissed it. Without an
    // override that is at once.
    virtual void showMessageThen(const std::string& text, std::function<void()> closed) {
        showMessage(text);
        closed();
    }
    // Takes back a message that no longer holds (a lost connection that has
    // come back): closed if it is still on screen. Without an override,
    // nothing happens.
    virtual void withdrawMessage(const std::string& text) { (void)text; }
    // A question with Yes/No buttons; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;

    enum class Answer { Yes, No, Cancel };
    // A question with Yes/No/Cancel buttons (for example "save the changes?"
    // before a document is replaced). Without an override it offers Yes/No only.
    virtual Answer askYesNoCancel(const std::string& text) {
        return askYesNo(text) ? Answer::Yes : Answer::No;
    }
};

} // namespace kovo
