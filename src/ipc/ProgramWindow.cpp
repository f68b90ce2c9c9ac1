#include "ipc/ProgramWindow.h"

#include <QDBusMessage>

namespace kovo::ipc {

std::optional<WindowHandle> findProgramWindow(WindowBus& bus) {
    constexpr std::string_view control = messageName(Message::KovoControl);
    const QString controlName = QString::fromLatin1(control.data(), qsizetype(control.size()));
    for (WindowHandle w : bus.otherWindows())
        if (bus.handlesOf(w).contains(controlName) &&
            bus.titleOf(w).endsWith(QLatin1String(kProgramTitleEnd)))
            return w;
    return std::nullopt;
}

bool activateProgram(const QDBusConnection& connection, WindowHandle window, int timeoutMs) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        WindowBus::serviceName(window), QString::fromLatin1(WindowBus::kPath),
        QString::fromLatin1(kProgramInterface), QStringLiteral("Activate"));
    return connection.call(call, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace kovo::ipc
