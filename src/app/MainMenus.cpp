#include "app/MainMenus.h"

#include "app/MainWindow.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kovo {

namespace {

enum class Row { Menu, Submenu, EndSubmenu, Command, Separator, RecentFiles, Languages };

struct MenuRow {
    Row row;
    const char* text = nullptr;
    int command = 0;
    QKeySequence::StandardKey keys = QKeySequence::UnknownKey; // the hint after a tab is text
};

#define MENU_TEXT(text) QT_TRANSLATE_NOOP("MainWindow", text)

// A tab in a text makes the menu show what follows it as the key hint, so
// "Ctrl+T" appears although no key is bound to the export.
constexpr MenuRow kMenus[] = {
    {Row::Menu, MENU_TEXT("&File")},
    {Row::Command, MENU_TEXT("&New \tCtrl+N"), MainWindow::CommandNew, QKeySequence::New},
    {Row::Command, MENU_TEXT("&Open...\tCtrl+O"), MainWindow::CommandOpen, QKeySequence::Open},
    {Row::Command, MENU_TEXT("&Save\tCtrl+S"), MainWindow::CommandSave, QKeySequence::Save},
    {Row::Command, MENU_TEXT("S&ave as..."), MainWindow::CommandSaveAs},
    {Row::Separator},
    {Row::Command, MENU_TEXT("&Import channels…"), MainWindow::CommandImportChannels},
    {Row::Submenu, MENU_TEXT("Expor&t text \tCtrl+T")},
    {Row::Command, MENU_TEXT("Memory data"), MainWindow::CommandExportMemory},
    {Row::Command, MENU_TEXT("Log data"), MainWindow::CommandExportLog},
    {Row::Command, MENU_TEXT("Channels for CHIRP (CSV)…"), MainWindow::CommandExportChirp},
    {Row::EndSubmenu},
    {Row::RecentFiles},
    {Row::Separator},
    {Row::Command, MENU_TEXT("&Exit"), MainWindow::CommandExit},

    {Row::Menu, MENU_TEXT("Configuration&s")},
    {Row::Command, MENU_TEXT("COM &port"), MainWindow::CommandComPort},
    {Row::Command, MENU_TEXT("Display Preference(&T)"), MainWindow::CommandDisplayPreference},
    {Row::Command, MENU_TEXT("&Sub-Step size"), MainWindow::CommandSubStep},
    {Row::Separator},
    {Row::Command, MENU_TEXT("CW Pitch"), MainWindow::CommandCwPitch},
    {Row::Command, MENU_TEXT("Default Band Width"), MainWindow::CommandDefaultBandWidth},
    {Row::Command, MENU_TEXT("AF Gain Range"), MainWindow::CommandAfGainRange},
    {Row::Command, MENU_TEXT("Power Control"), MainWindow::CommandPowerControl},
    {Row::Command, MENU_TEXT("Options"), MainWindow::CommandOptions},
    {Row::Command, MENU_TEXT("&Hamlib network server"), MainWindow::CommandRigctl},
    {Row::Command, MENU_TEXT("Web remote…"), MainWindow::CommandWebRemote},
    {Row::Languages, MENU_TEXT("Language")},

    {Row::Menu, MENU_TEXT("&View")},
    {Row::Command, MENU_TEXT("&History\tCtrl+H"), MainWindow::CommandHistory},

    {Row::Menu, MENU_TEXT("&Help ")},
    {Row::Command, MENU_TEXT("Contents"), MainWindow::CommandHelpContents},
    {Row::Command, MENU_TEXT("О программе..."), MainWindow::CommandAbout},
};

struct LanguageItem {
    int command;
    const char* text;
    LanguageChoice choice;
};

// Each language is named in itself, so a user who cannot read the current
// one still finds their own.
constexpr LanguageItem kLanguageItems[] = {
    {MainWindow::CommandLanguageSystem, MENU_TEXT("System"), LanguageChoice::System},
    {MainWindow::CommandLanguageJapanese, "日本語", LanguageChoice::Japanese},
    {MainWindow::CommandLanguageEnglish, "English", LanguageChoice::English},
};

#undef MENU_TEXT

QString translated(const char* text) {
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

MainMenus::MainMenus(QMainWindow& window, std::function<void(int)> run)
    : window_(window), run_(std::move(run)) {}

QAction* MainMenus::addCommand(QMenu* menu, const QString& text, int command,
                               const QKeySequence& keys) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    if (!keys.isEmpty()) {
        action->setShortcut(keys);
        // The window holds the action too: a hidden menu bar (the bare front
        // panel) takes its menus' shortcuts with it.
        window_.addAction(action);
    }
    QObject::connect(action, &QAction::triggered, &window_, [this, command] { run_(command); });
    return action;
}

void MainMenus::build(LanguageChoice language) {
    QMenu* menu = nullptr;
    QMenu* submenu = nullptr;
    for (const MenuRow& row : kMenus) {
        QMenu* into = submenu ? submenu : menu;
        switch (row.row) {
        case Row::Menu:
            menu = window_.menuBar()->addMenu(translated(row.text));
            if (!fileMenu_)
                fileMenu_ = menu;
            break;
        case Row::Submenu:
            submenu = menu->addMenu(translated(row.text));
            break;
        case Row::EndSubmenu:
            submenu = nullptr;
            break;
        case Row::Command:
            addCommand(into, translated(row.text), row.command,
                       row.command == MainWindow::CommandHistory
                           ? QKeySequence(Qt::CTRL | Qt::Key_H)
                           : QKeySequence(row.keys));
            break;
        case Row::Separator:
            into->addSeparator();
            break;
        case Row::RecentFiles:
            recentSeparator_ = into->addSeparator();
            break;
        case Row::Languages: {
            QMenu* languages = into->addMenu(translated(row.text));
            auto* group = new QActionGroup(languages);
            for (const LanguageItem& item : kLanguageItems) {
                QAction* action = addCommand(languages, translated(item.text), item.command, {});
                action->setCheckable(true);
                action->setChecked(item.choice == language);
                group->addAction(action);
            }
            break;
        }
        }
    }
}

std::optional<LanguageChoice> MainMenus::languageOf(int command) {
    for (const LanguageItem& item : kLanguageItems)
        if (item.command == command)
            return item.choice;
    return std::nullopt;
}

void MainMenus::showRecentFiles(const QStringList& files) {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();
    QList<QAction*> actions;
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), fileMenu_);
        const int command = MainWindow::CommandRecentFirst + i;
        action->setData(command);
        QObject::connect(action, &QAction::triggered, &window_, [this, command] { run_(command); });
        actions.append(action);
    }
    if (actions.isEmpty()) {
        auto* placeholder = new QAction(QStringLiteral("Recent File"), fileMenu_);
        placeholder->setEnabled(false);
        actions.append(placeholder);
    }
    // Recent files sit between the export submenu and Exit.
    const QList<QAction*> all = fileMenu_->actions();
    QAction* before = all.value(all.indexOf(recentSeparator_) + 1);
    fileMenu_->insertActions(before, actions);
    recentActions_ = actions;
}

} // namespace kovo
