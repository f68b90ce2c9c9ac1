#pragma once
#include <cstddef>
#include <string>

namespace kovo {

class CoreCommands;
class DisplayPresenter;
class PanelEdit;

// The keypad of control panel 2: digits and a point build an entry shown in
// the frequency window, MHz and kHz tune to it, CLR drops it.
class KeypadPresenter {
public:
    struct Ports {
        // The frequency window, where the entry is shown.
        PanelEdit& frequencyField;
        CoreCommands& core;
        DisplayPresenter& display;
    };

    explicit KeypadPresenter(Ports ports) : ports_(ports) {}

    // A key of the pad (ControlPanel2::Pad values: digits, point, MHz, kHz,
    // CLR).
    void onKey(int pad);
    const std::string& entryText() const { return entryText_; }
    // "2040.000000": the longest entry the frequency window shows.
    static constexpr std::size_t kMaxEntry = 11;

private:
    void tune(int pad);
    void append(int pad);

    Ports ports_;
    std::string entryText_;
};

} // namespace kovo
