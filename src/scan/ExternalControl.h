#pragma once

namespace kovo {

// Other programs on the desktop that follow or drive this one. The window
// bus implements it; without one, nobody is told anything.
class ExternalControl {
public:
    virtual ~ExternalControl() = default;
    // Once, when the front panel exists.
    virtual void announceProgram() = 0;
    // After every start of the view (start-up, New, Open).
    virtual void viewReady() = 0;
    // A program that wants the receiver in VFO at start is running.
    virtual bool vfoPeerPresent() = 0;
    // The receiver's squelch opened or closed.
    virtual void squelchChanged(bool /*open*/) {}
    // The main window is going away.
    virtual void windowClosing() {}
};

} // namespace kovo
