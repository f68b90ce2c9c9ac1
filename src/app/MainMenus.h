#pragma once
#include "app/Language.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QKeySequence;
class QMainWindow;
class QMenu;

namespace kovo {

// The main window's menu bar, built from one table: the menus and their
// commands, the recent files between the export submenu and Exit, and the
// language choice. A chosen item runs its command number.
class MainMenus {
public:
    MainMenus(QMainWindow& window, std::function<void(int command)> run);

    // Builds the menus once, the language item of `language` checked.
    void build(LanguageChoice language);
    // The recent files, numbered, in place of the ones shown before.
    void showRecentFiles(const QStringList& files);
    // The language a language item's command chooses; none for other commands.
    static std::optional<LanguageChoice> languageOf(int command);

private:
    QAction* addCommand(QMenu* menu, const QString& text, int command, const QKeySequence& keys);

    QMainWindow& window_;
    std::function<void(int)> run_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
};

} // namespace kovo
