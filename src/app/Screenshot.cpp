#include "Screenshot.h"

#include "MainWindow.h"
#include "Program.h"
#include "ui/CKovo5View.h"
#include "ui/PanelScreenshots.h"

#include <QApplication>
#include <QDir>
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
    return written;
}

} // namespace kovo
