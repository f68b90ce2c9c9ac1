#pragma once
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>

#include <functional>
#include <optional>

#include "ipc/WindowBus.h"

namespace kovo::ipc {

// The program's window on the bus takes KovoControl and is titled
// "<document> - KOVO3000".
inline constexpr const char* kProgramTitleEnd = " - KOVO3000";
// What the program offers besides the window interface: Activate() brings
// its window to the front (a second start hands over to it this way).
inline constexpr const char* kProgramInterface = "org.fennelworks.Program1";

// The first other window on the bus that is the program's.
std::optional<WindowHandle> findProgramWindow(WindowBus& bus);

// Asks the program behind `window` to bring its window to the front; true
// when it did so within `timeoutMs`.
bool activateProgram(const QDBusConnection& connection, WindowHandle window, int timeoutMs);

// The program's side, exported on its window object beside the window interface.
class ProgramAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fennelworks.Program1")
public:
    ProgramAdaptor(WindowBus& bus, std::function<void()> activate)
        : QDBusAbstractAdaptor(&bus), activate_(std::move(activate)) {}

public slots:
    void Activate() {
        if (activate_)
            activate_();
    }

private:
    std::function<void()> activate_;
};

} // namespace kovo::ipc
