// Renders the front panel in a few typical states to PNG files, so the
// artwork can be looked at: kovo_ui_screens OUTPUT_DIR (QT_SCALE_FACTOR=2 for 2x).
#include "fakes/ViewFakes.h"

#include "data/Cp932.h"
#include "ui/PanelScreenshots.h"
#include "ui/PanelStack.h"

#include <QApplication>

#include <cstdio>

using namespace kovo;
using namespace kovo::test;

namespace {

struct Demo : ViewRig {
    Demo() {
        settings.showControl2 = 1;
        settings.elm = 1;
        settings.dtmf = 1;
        doc.controlParams.ctcssSwitch = 1;
        doc.memoryBanks[3].name = utf8ToCp932("エアバンド");
        for (std::uint32_t f = 144'900'000; f <= 145'100'000; f += 20'000)
            addChannel(f, 1, int((f / 20'000) % 13) + 1);
        doc.mainRecord.bankMask = 1 << 3;
        doc.mainRecord.bankNumber = 12;
        doc.mainRecord.mode = 2;
        doc.mainRecord.step = 8;
        doc.mainRecord.ctcss = 13;
        doc.mainRecord.tElm = 128;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kovo_ui_screens OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    Demo demo;
    demo.view->stack().show();
    // VFO on a channel of a named bank, with a signal.
    demo.doc.mainRecord.frequency = 118'100'000;
    demo.doc.mainRecord.comment = utf8ToCp932("東京タワー 管制");
    demo.view->refreshAll();
    demo.view->showSignal(true, 7);
    const QStringList files = renderPanelsToPng(demo.view->stack(), dir);
    for (const QString& f : files)
        std::printf("%s\n", qPrintable(f));
    // A pass of the active sweep with a few signals.
    demo.core.setOperatingMode(3);
    BandScope& scope = *demo.core.scope;
    for (int i = 0; i <= scope.window().points; ++i) {
        const int level = (i % 7 == 3) ? 3 + i % 12 : (i % 5 == 0 ? 1 : 0);
        demo.view->plotScopePoint(level > 0, level);
        scope.nextPoint();
    }
    renderPanelsToPng(demo.view->stack(), dir + QStringLiteral("/active"));
    // The static scope as well, and a closed squelch.
    demo.core.setOperatingMode(4);
    demo.view->showSignal(false, 0);
    renderPanelsToPng(demo.view->stack(), dir + QStringLiteral("/static"));
    return files.isEmpty() ? 1 : 0;
}
