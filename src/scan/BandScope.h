#pragma once
#include <cstdint>

#include "data/CKovo5Doc.h"
#include "scan/ViewSink.h"

namespace kovo {

// The band scope's arithmetic: span, step and window derived from the tuned
// step and the scope range, and the sweep across the window's points.
// Drawing is the view's; it reads `window()` after `resetScope`.
class BandScope {
public:
    struct Window {
        int fractional = 0; // the step is 6.25 or 12.5 kHz: fractional spans
        std::uint32_t stepHz = 100;
        std::uint32_t spanHz = 20000;
        std::uint32_t centre = 0;
        std::uint32_t start = 0;
        std::uint32_t end = 0;
        int points = 200;     // N: the sweep visits points 0 to N
        int barHalfWidth = 1; // 200 / N pixels
        int sweepIndex = 0;
    };

    static constexpr int kSmallestStepIndex = 2; // 100 Hz
    static constexpr int kLargestStepIndex = 13; // 100 kHz
    static constexpr std::uint32_t kLowestStart = 100000;
    static constexpr std::uint32_t kHighestStart = 2036000000;

    BandScope(CKovo5Doc& doc, ViewSink& view);

    const Window& window() const { return window_; }

    // Recompute span and window from the main record's step (raising the step
    // to 100 Hz at least) and the scope range.
    void recomputeFromStep();
    // Recompute from span-list row `row` (0 to 6), moving the step into the
    // range the span accepts.
    void recomputeFromSpan(int row);
    // Keeps the window's start inside 0.1 .. 2036 MHz, then derives end,
    // points and bar width.
    void limitWindow();

    // Entering a scope mode: centre on the tuned frequency, recompute, reset
    // the display; the active scope restarts its sweep.
    void enter(bool active);
    // The span list changed in a scope mode.
    void spanChosen(int row, bool active);

    void restartSweep();
    void nextPoint();
    void tuneToPoint(int index);

private:
    int clampedRange() const;

    CKovo5Doc& doc_;
    ViewSink& view_;
    Window window_;
};

} // namespace kovo
