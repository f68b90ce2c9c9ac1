#pragma once

namespace kovo {

// What other programs on the desktop hear of this one's life: the window
// bus follows these.
enum class ProgramEvent {
    // Once, when the front panel exists.
    Announced,
    // After every start of the view (start-up, New, Open).
    ViewReady,
    // The main window is going away.
    WindowClosing,
};

struct ProgramNotice {
    ProgramEvent event;
};

// Asked at every start of the view: whether a program that wants the
// receiver in VFO is running. The window bus answers; without one, none is.
class PeerPresence {
public:
    virtual ~PeerPresence() = default;
    virtual bool vfoPeerPresent() = 0;
};

} // namespace kovo
