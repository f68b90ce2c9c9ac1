#include "Screenshot.h"

#include "MainWindow.h"
#include "ui/CKovo5View.h"
#include "ui/PanelStack.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <array>

namespace kovo {

namespace {

constexpr std::array<const char*, kPanelSlotCount> panelFileNames{
    "display", "control1", "control2", "ctcss", "telm", "decoder", "bandscope", "database"};

} // namespace

QStringList Screenshot::writeAll(MainWindow& window, const QString& directory, QString* error) {
    QStringList written;
    if (!QDir().mkpath(directory)) {
        *error = directory;
        return written;
    }
    QApplication::processEvents();
    const QDir dir(directory);
    const auto save = [&](QWidget& widget, const QString& name) {
        const QString path = dir.filePath(name);
        if (!widget.grab().save(path, "PNG")) {
            *error = path;
            return false;
        }
        written << path;
        return true;
    };
    if (!save(window, QStringLiteral("kovo3000.png")))
        return written;
    PanelStack& stack = window.view().stack();
    for (int slot = 0; slot < kPanelSlotCount; ++slot) {
        const QString name = QStringLiteral("panel-%1.png").arg(QLatin1String(panelFileNames[std::size_t(slot)]));
        if (!save(stack.panel(PanelSlot(slot)), name))
            return written;
    }
    return written;
}

} // namespace kovo
