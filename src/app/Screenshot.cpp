#include "Screenshot.h"

#include "MainWindow.h"
#include "Program.h"
#include "ui/CKovo5View.h"
#include "ui/PanelScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

namespace kovo {

QStringList Screenshot::writeAll(Program& program, const QString& directory, QString* error) {
    QStringList written;
    const QString path = QDir(directory).filePath(QStringLiteral("kovo3000.png"));
    QApplication::processEvents();
    if (!QDir().mkpath(directory) || !program.window().grab().save(path, "PNG")) {
        *error = path;
        return written;
    }
    written << path << renderPanelsToPng(program.view().stack(), directory);
    if (written.size() == 1)
        *error = directory;
    written << writeMenus(program.window(), directory);
    return written;
}

// Each menu of the menu bar as it opens, "menu-1.png" for the first.
QStringList Screenshot::writeMenus(QMainWindow& window, const QString& directory) {
    QStringList written;
    int number = 0;
    for (QAction* action : window.menuBar()->actions()) {
        QMenu* menu = action->menu();
        if (menu == nullptr)
            continue;
        menu->ensurePolished();
        menu->adjustSize();
        const QString path = QDir(directory).filePath(QStringLiteral("menu-%1.png").arg(++number));
        if (menu->grab().save(path, "PNG"))
            written << path;
    }
    return written;
}

} // namespace kovo
