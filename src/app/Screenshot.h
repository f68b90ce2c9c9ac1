#pragma once
#include <QString>
#include <QStringList>

class QMainWindow;

namespace kovo {

class Program;

// Pictures of the program for documentation and review: the whole window
// and each panel of the front panel on its own, as PNG files.
class Screenshot {
public:
    // Writes "kovo3000.png", the front panel as "stack.png" and every panel
    // ("display.png", "control1.png", ...) and each menu of the menu bar
    // ("menu-1.png", ...) into
    // `directory` (created if missing). Returns the files written; on a
    // failure *error names the file that could not be written.
    static QStringList writeAll(Program& program, const QString& directory, QString* error);

private:
    static QStringList writeMenus(QMainWindow& window, const QString& directory);
};

} // namespace kovo
