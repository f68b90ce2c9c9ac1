#pragma once
#include <QPoint>

#include <functional>
#include <memory>

class QMenu;

namespace kovo {

class CKovo5Doc;
class CoreCommands;
class FrameHost;
class SettingsWriter;

// The display panel's right-button menu: the program's main menu while the
// title strip is hidden. It carries out the operating-mode, panel and
// bank-link commands and hands every other command to the main window.
class DisplayMenuPresenter {
public:
    struct Ports {
        CKovo5Doc& doc;
        SettingsWriter& settings;
        CoreCommands& core;
        FrameHost& frame;
        // Shows or hides panel i (0 title strip, 1 and 2 control panels,
        // 3 database panel).
        std::function<void(int)> togglePanel;
        // Makes bank-link set k the current one.
        std::function<void(int)> chooseLinkSet;
    };

    explicit DisplayMenuPresenter(Ports ports) : ports_(std::move(ports)) {}

    // The menu, filled for the current state.
    std::unique_ptr<QMenu> build();
    // Opens the menu at a screen position and runs what is chosen.
    void popUp(QPoint at);
    // A menu command by its number.
    void run(int commandId);

private:
    Ports ports_;
};

} // namespace kovo
