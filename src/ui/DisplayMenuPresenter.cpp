#include "ui/DisplayMenuPresenter.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "ui/ViewInterfaces.h"

#include <QCoreApplication>
#include <QMenu>

#include <cstdio>

namespace kovo {
namespace {

constexpr int kFirstModeCommand = 32775;
constexpr int kFirstPanelCommand = 32771;
constexpr int kFirstLinkSetCommand = 32947;

struct MenuItem {
    int command;
    const char* text;
};

// Items the main window carries out.
constexpr MenuItem kFileItems[] = {{57600, "&New \tCtrl+N"},
                                   {57601, "&Open...\tCtrl+O"},
                                   {57603, "&Save\tCtrl+S"},
                                   {57604, "S&ave as..."}};
constexpr MenuItem kExportItems[] = {{32946, "Memory Data"}, {32967, "Log Data"}};
constexpr MenuItem kHelpItems[] = {
    {57667, "Contents"},
    {57664, QT_TRANSLATE_NOOP("MainWindow",
                              "\u041E \u043F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u0435...")}};
constexpr int kExitCommand = 57665;

} // namespace

std::unique_ptr<QMenu> DisplayMenuPresenter::build() {
    CKovo5Doc& d = ports_.doc;
    auto menu = std::make_unique<QMenu>();
    auto add = [this](QMenu* m, int command, const QString& text, bool checked = false,
                      bool checkable = false) {
        QAction* a = m->addAction(text);
        a->setData(command);
        // Only the item that carries a check mark is made checkable: styles
        // draw an empty box beside every other checkable item.
        if (checkable && checked) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        QObject::connect(a, &QAction::triggered, a, [this, command] { run(command); });
        return a;
    };
    static const char* const kModes[] = {
        "Memory scan", "Search", "1MHz scan", "Active Band Scope", "Static Band Scope", "VFO"};
    for (int m = 0; m < 6; ++m)
        add(menu.get(), kFirstModeCommand + m, QString::fromLatin1(kModes[m]),
            toStored(d.controlParams.mode()) == m, true);
    menu->addSeparator();
    QMenu* link = menu->addMenu(QStringLiteral("Memory Bank Link"));
    for (int k = 0; k < kLinkSetCount; ++k) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d : ", k);
        const QString text = QString::fromLatin1(buf) +
                             QString::fromStdString(cp932ToUtf8(d.linkSetNames[std::size_t(k)]));
        add(link, kFirstLinkSetCommand + k, text, d.controlParams.currentLinkSet == k, true);
    }
    menu->addSeparator();
    const AppSettings& s = ports_.settings.settings();
    QMenu* display = menu->addMenu(QStringLiteral("&Display"));
    const std::pair<const char*, int> panels[] = {{"Title Panel", s.showTitle},
                                                  {"Control Panel 1", s.showControl1},
                                                  {"Control Panel 2", s.showControl2},
                                                  {"Data Base Panel", s.showDataBase}};
    for (int i = 0; i < 4; ++i)
        add(display, kFirstPanelCommand + i, QString::fromLatin1(panels[i].first),
            panels[i].second == 1, true);
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    for (const MenuItem& item : kFileItems)
        add(file, item.command, QString::fromLatin1(item.text));
    QMenu* exportMenu = file->addMenu(QStringLiteral("Export T&ext \tCtrl+T"));
    for (const MenuItem& item : kExportItems)
        add(exportMenu, item.command, QString::fromLatin1(item.text));
    QMenu* config = menu->addMenu(QStringLiteral("Configuration&s"));
    add(config, 32787, QStringLiteral("COM &Port "));
    config->addSeparator();
    add(config, 32885, QStringLiteral("Panel"));
    add(config, 32882, QStringLiteral("&Step"));
    QMenu* help = menu->addMenu(QStringLiteral("&Help "));
    for (const MenuItem& item : kHelpItems)
        add(help, item.command, QCoreApplication::translate("MainWindow", item.text));
    menu->addSeparator();
    add(menu.get(), kExitCommand, QStringLiteral("E&xit"));
    return menu;
}

void DisplayMenuPresenter::popUp(QPoint at) {
    if (auto menu = build())
        menu->exec(at);
}

void DisplayMenuPresenter::run(int command) {
    if (command >= kFirstModeCommand && command < kFirstModeCommand + 6) {
        ports_.core.setOperatingMode(static_cast<OperatingMode>(command - kFirstModeCommand));
    } else if (command >= kFirstPanelCommand && command < kFirstPanelCommand + 4) {
        ports_.togglePanel(command - kFirstPanelCommand);
    } else if (command >= kFirstLinkSetCommand && command < kFirstLinkSetCommand + kLinkSetCount) {
        ports_.chooseLinkSet(command - kFirstLinkSetCommand);
    } else {
        ports_.frame.runCommand(command);
    }
}

} // namespace kovo
