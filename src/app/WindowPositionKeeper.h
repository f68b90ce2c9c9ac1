#pragma once
#include "link/TimerService.h"

#include <memory>
#include <optional>

namespace kovo {

class AppSettingsWriter;

// Stores where the window ends up once it stops moving. A drag moves the
// window pixel by pixel, and writing the settings file at each step would
// write it hundreds of times a second; the window system says nothing when a
// drag ends, so the position is stored once no move has come for a moment,
// or at once when asked (before the window is laid out anew or closes).
class WindowPositionKeeper {
public:
    static constexpr int kTimerId = 1;
    static constexpr int kSettleMs = 400;

    WindowPositionKeeper(AppSettingsWriter& writer, std::unique_ptr<TimerService> timers);
    ~WindowPositionKeeper();
    WindowPositionKeeper(const WindowPositionKeeper&) = delete;
    WindowPositionKeeper& operator=(const WindowPositionKeeper&) = delete;

    // The window is now at x, y.
    void moved(int x, int y);
    // Stores a position still waiting, if it differs from the stored one.
    void storeNow();

private:
    AppSettingsWriter& writer_;
    std::unique_ptr<TimerService> timers_;
    struct Position {
        int x;
        int y;
    };
    std::optional<Position> waiting_;
};

} // namespace kovo
